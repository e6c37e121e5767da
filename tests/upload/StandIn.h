#pragma once

#include "upload/CredentialsCipher.h"
#include "upload/NexusDeployment.h"
#include "upload/ProductionArtifactsNexusRepo.h"
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The repository stand-in on a free loopback port with fresh storage, or an
// `error`. The first makes a throw-away authority that Qt's TLS then trusts.
struct StandIn {
    explicit StandIn(const QStringList& arguments)
    {
        static const QTemporaryDir authority;
        static const QString authorityError = trust(authority.path());
        if (!(error = authorityError).isEmpty())
            return;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(DYNELLE_PYTHON3, QStringList{DYNELLE_STANDIN_SCRIPT, "--port", "0", "--storage", storage.path(),
                                                   "--cert", authority.filePath("server.pem"), "--key",
                                                   authority.filePath("server.key")} + arguments);
        while (!printed.contains('\n') && process.waitForReadyRead(10000))
            printed += process.readAllStandardOutput();
        const QByteArray first = printed.left(printed.indexOf('\n'));
        const int port = first.startsWith("listening on ") ? first.mid(13).toInt() : 0;
        url = QStringLiteral("https://localhost:%1/service/rest/v1/components?repository=kw_production_artifacts").arg(port);
        if (port <= 0)
            error = "the stand-in did not come up: " + process.errorString() + ' ' + QString::fromUtf8(first);
    }
    ~StandIn() { process.kill(); process.waitForFinished(5000); }
    QStringList output() // all printed so far, once it has settled
    {
        while (process.waitForReadyRead(200))
            printed += process.readAllStandardOutput();
        return QString::fromUtf8(printed + process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    QString error, url;
    static QString trust(const QString& directory)
    {
        QProcess openssl;
        openssl.start("/bin/sh", {DYNELLE_TEST_CA_SCRIPT, directory, QString(NexusDeployment::host).section(':', 0, 0)});
        const bool made = openssl.waitForFinished(60000) && openssl.exitCode() == 0;
        const QList<QSslCertificate> authority = QSslCertificate::fromPath(directory + "/ca.pem");
        if (!made || authority.isEmpty())
            return "making the test authority failed: " + QString::fromLocal8Bit(openssl.readAllStandardError());
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(tls.caCertificates() + authority);
        QSslConfiguration::setDefaultConfiguration(tls);
        return {};
    }
    QTemporaryDir storage; // the repository's files under kw_production_artifacts/
    QProcess process;
    QByteArray printed;
};

// A credentials block opened with the program's own keys.
inline QByteArray openCredentials(const QByteArray& block)
{
    NexusUpload keys;
    keys.createKeys();
    QByteArray clear;
    CredentialsCipher::decrypt(block, keys.key.data(), keys.iv.data(), clear);
    return clear;
}

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
