#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

#include <QString>

#include <memory>
#include <vector>

namespace Tessaly {
namespace Sdi {

// One interface class: its code, its name without the common prefix
// ("1080_3g") and how to read a word with it.
struct PayloadIdentifierClass {
    int payloadCode;
    const char* name;
    std::shared_ptr<PayloadIdentifierBase> (*make)(unsigned int word);
};

// The fourteen interface classes, in payload-code order.
const std::vector<PayloadIdentifierClass>& payloadIdentifierClasses();

// The class whose code is the word's first byte reads the word; a word of
// any other code is read by the base, whose checks reject it.
std::shared_ptr<PayloadIdentifierBase> makePayloadIdentifier(unsigned int word);

// The class of a name ("1080_3g", case ignored) or code ("0x89", "137");
// null when none matches.
const PayloadIdentifierClass* findPayloadIdentifierClass(const QString& nameOrCode);

} // namespace Sdi
} // namespace Tessaly
