#include "upload/NexusUpload.h"

#include "upload/CredentialsCipher.h"
#include "upload/KeyDerivation.h"
#include "upload/NexusDeployment.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QHttpPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#include <openssl/crypto.h>

#include <memory>

namespace {

// Clear credentials live only as long as one try, whichever way it ends.
class WipedOnExit {
public:
    explicit WipedOnExit(QByteArray& secret) : bytes(secret) {}
    ~WipedOnExit() { CredentialsCipher::wipe(bytes); }
    WipedOnExit(const WipedOnExit&) = delete;
    WipedOnExit& operator=(const WipedOnExit&) = delete;

private:
    QByteArray& bytes;
};

QHttpPart formPart(const QString& disposition)
{
    QHttpPart part;
    part.setHeader(QNetworkRequest::ContentDispositionHeader, disposition);
    return part;
}

} // namespace

NexusUpload::NexusUpload()
{
    wipeKeys();
}

NexusUpload::~NexusUpload()
{
    wipeKeys();
}

void NexusUpload::createKeys()
{
    KeyDerivation::derive(NexusDeployment::seed, NexusDeployment::discard,
                          key.data(), key.size(), iv.data(), iv.size());
}

void NexusUpload::wipeKeys()
{
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(iv.data(), iv.size());
}

bool NexusUpload::uploadSingleTry(const QByteArray& credentials, const QString& url,
                                  const QString& filePath, const QString& directory)
{
    QByteArray clear;
    WipedOnExit clearWiper(clear);
    if (!CredentialsCipher::decrypt(credentials, key.data(), iv.data(), clear)) {
        qDebug() << "nexusUpload() failed";
        return false;
    }

    // Declared before the manager so that it outlives the reply streaming it.
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "Could not open file";
        return true;
    }
    const QString fileName = QFileInfo(filePath).fileName();

    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart asset = formPart(
        QStringLiteral("form-data; name=\"raw.asset1\"; filename=\"%1\"").arg(fileName));
    asset.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain"));
    asset.setBodyDevice(&file);
    multiPart->append(asset);
    QHttpPart directoryPart = formPart(QStringLiteral("form-data; name=\"raw.directory\""));
    directoryPart.setBody(directory.toUtf8());
    multiPart->append(directoryPart);
    QHttpPart fileNamePart = formPart(QStringLiteral("form-data; name=\"raw.asset1.filename\""));
    fileNamePart.setBody(fileName.toUtf8());
    multiPart->append(fileNamePart);

    QByteArray authorization = "Basic " + clear.toBase64();
    WipedOnExit authorizationWiper(authorization);

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply;
    {
        QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        request.setSslConfiguration(tls);
        request.setHeader(QNetworkRequest::UserAgentHeader, QString(NexusDeployment::userAgent));
        request.setRawHeader("Authorization", authorization);
        reply.reset(manager.post(request, multiPart));
    }
    if (!reply) {
        delete multiPart;
        qDebug() << "nexusUpload() manager.post(request, multiPart) == 0";
        return false;
    }
    multiPart->setParent(reply.get());

    // Wait inside Qt's event processing, bounded by the try's time limit; the
    // thread sleeps until the network or the timer has something to say.
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    bound.setTimerType(Qt::PreciseTimer);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!reply->isFinished()) {
        if (elapsed.elapsed() > tryTimeoutMs) {
            qDebug() << "nexusUpload() upload timeout.";
            QObject::disconnect(reply.get(), nullptr, &loop, nullptr);
            reply->abort();
            return false;
        }
        bound.start(static_cast<int>(tryTimeoutMs + 1 - elapsed.elapsed()));
        loop.exec();
    }

    file.close();
    if (reply->error() == QNetworkReply::NoError) {
        qDebug() << "nexusUpload() successful";
        return true;
    }
    qDebug().noquote() << "nexusUpload() failed:" << reply->errorString();
    return false;
}

bool NexusUpload::upload(const QByteArray& credentials, const QString& url,
                         const QString& filePath, const QString& directory)
{
    createKeys();
    for (int attempt = 1; attempt <= maxTries; ++attempt) {
        if (uploadSingleTry(credentials, url, filePath, directory)) {
            wipeKeys();
            return true;
        }
        qDebug() << "nexusUpload() failed - retrying";
    }
    wipeKeys();
    qDebug() << "nexusUpload() failed - aborting";
    return false;
}
