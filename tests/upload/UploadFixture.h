#pragma once

#include "tests/upload/StandIn.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline QStringList messages; // the upload's own, without Qt's warnings

inline bool keysWiped(const NexusUpload& u) { return u.key == decltype(u.key){} && u.iv == decltype(u.iv){}; }

inline const QString user = QString::fromUtf8(openCredentials(ProductionArtifactsNexusRepo::credentials()));

class Upload : public ::testing::Test {
protected:
    Upload()
    {
        messages.clear();
        previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            if (message.startsWith(QLatin1String("nexusUpload()")) || message == QLatin1String("Could not open file"))
                messages.append(message);
        });
    }
    ~Upload() override { qInstallMessageHandler(previous); }
    QString writeLog(const QString& name, const QByteArray& bytes)
    {
        QFile file(directory.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
    QtMessageHandler previous;
    QTemporaryDir directory;
    ProductionArtifactsNexusRepo repo;
};
