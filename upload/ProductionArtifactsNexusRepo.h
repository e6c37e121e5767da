#pragma once

#include "upload/NexusUpload.h"

#include <QByteArray>
#include <QString>

// The production artifact repository: its endpoint and upload account are
// fixed when the program is built (upload/CMakeLists.txt).
class ProductionArtifactsNexusRepo : public NexusUpload {
public:
    using NexusUpload::upload;

    // "/<model>/<serial>/<program>/"
    static QString generateTargetDir(const QString& model, const QString& serial,
                                     const QString& program);
    bool upload(const QString& filePath, const QString& directory);

    static QString endpoint();
    // The encrypted credentials block.
    static QByteArray credentials();
};
