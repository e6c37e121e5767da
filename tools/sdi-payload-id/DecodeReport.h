#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

#include <QJsonObject>
#include <QString>

namespace SdiPayloadIdTool {

// Everything the tool says about one identifier, as text and as JSON.
struct DecodeReport {
    QString text;
    QJsonObject json;
    bool clean; // no reserved bit set and every check passed
};

// `className` is the interface class that read the word ("1080_3g"), empty
// when its code names none.
DecodeReport describeIdentifier(Tessaly::Sdi::PayloadIdentifierBase& identifier, const QString& className);

} // namespace SdiPayloadIdTool
