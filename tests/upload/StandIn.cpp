#include "tests/upload/StandIn.h"

#include "upload/CredentialsCipher.h"
#include "upload/KeyDerivation.h"
#include "upload/NexusDeployment.h"
#include "upload/NexusUpload.h"
#include "upload/ProductionArtifactsNexusRepo.h"

#include <QFile>
#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace {

struct TestAuthority {
    QTemporaryDir directory;
    QString error;

    TestAuthority()
    {
        QProcess openssl;
        openssl.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral(DYNELLE_TEST_CA_SCRIPT), directory.path(),
                       QString::fromLatin1(NexusDeployment::host).section(':', 0, 0)});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
            error = QStringLiteral("making the test authority failed: ")
                + QString::fromLocal8Bit(openssl.readAllStandardError());
            return;
        }
        const QList<QSslCertificate> authority = QSslCertificate::fromPath(path("ca.pem"));
        if (authority.isEmpty()) {
            error = QStringLiteral("no certificate in ") + path("ca.pem");
            return;
        }
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(tls.caCertificates() + authority);
        QSslConfiguration::setDefaultConfiguration(tls);
    }

    QString path(const char* name) const { return directory.filePath(QLatin1String(name)); }
};

const TestAuthority& testAuthority()
{
    static const TestAuthority authority;
    return authority;
}

} // namespace

StandIn::StandIn(const QStringList& extraArguments)
{
    const TestAuthority& authority = testAuthority();
    if (!authority.error.isEmpty()) {
        error = authority.error;
        return;
    }
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(DYNELLE_PYTHON3),
                  QStringList{QStringLiteral(DYNELLE_STANDIN_SCRIPT), QStringLiteral("--port"), QStringLiteral("0"),
                              QStringLiteral("--storage"), storage.path(), QStringLiteral("--cert"),
                              authority.path("server.pem"), QStringLiteral("--key"), authority.path("server.key")}
                      + extraArguments);
    while (!printed.contains('\n') && process.waitForReadyRead(10000))
        printed += process.readAllStandardOutput();
    const QByteArray first = printed.left(printed.indexOf('\n'));
    bool ok = false;
    port = first.startsWith("listening on ") ? first.mid(13).toInt(&ok) : 0;
    if (!ok || port <= 0)
        error = QStringLiteral("the stand-in did not come up: ") + process.errorString() + ' ' + QString::fromUtf8(first);
}

StandIn::~StandIn()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
}

QString StandIn::url(const QString& query) const
{
    return QStringLiteral("https://localhost:%1/service/rest/v1/components%2")
        .arg(port)
        .arg(query.isEmpty() ? QString() : QLatin1Char('?') + query);
}

QString StandIn::storedPath(const QString& pathInRepository) const
{
    return storage.filePath(QStringLiteral("kw_production_artifacts/") + pathInRepository);
}

QStringList StandIn::output()
{
    while (process.waitForReadyRead(200))
        printed += process.readAllStandardOutput();
    printed += process.readAllStandardOutput();
    return QString::fromUtf8(printed).split('\n', Qt::SkipEmptyParts);
}

QByteArray deploymentCredentialsInClear()
{
    unsigned char key[NexusUpload::keySize], iv[NexusUpload::ivSize];
    KeyDerivation::derive(NexusDeployment::seed, NexusDeployment::discard, key, sizeof key, iv, sizeof iv);
    QByteArray clear;
    CredentialsCipher::decrypt(ProductionArtifactsNexusRepo::credentials(), key, iv, clear);
    return clear;
}
