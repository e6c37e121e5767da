// The stand-in must refuse what the real repository refuses, or the upload
// tests against it prove nothing. Above all its anti-CSRF check, which is why
// the upload sends its own User-Agent.

#include "tests/upload/StandIn.h"

#include <QEventLoop>
#include <QFile>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

enum class Form { Complete, NotMultipart, NoAsset, NoDirectory };

struct Request {
    const char* name;
    QByteArray query;
    QByteArray credentials; // clear "user:password"; empty: none
    QByteArray userAgent;   // empty: Qt's own
    QByteArray csrfToken;   // header value; empty: none
    QByteArray csrfCookie;  // empty: none
    Form form;
    QByteArray directory;
    int status;
};

void addPart(QHttpMultiPart* multiPart, const QString& disposition, const QByteArray& body)
{
    QHttpPart part;
    part.setHeader(QNetworkRequest::ContentDispositionHeader, disposition);
    part.setBody(body);
    multiPart->append(part);
}

// Returns the status and the WWW-Authenticate header.
std::pair<int, QByteArray> post(StandIn& standIn, const Request& r)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(standIn.url(QString::fromLatin1(r.query))));
    if (!r.credentials.isEmpty())
        request.setRawHeader("Authorization", "Basic " + r.credentials.toBase64());
    if (!r.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, r.userAgent);
    if (!r.csrfToken.isEmpty())
        request.setRawHeader("X-Anti-CSRF-Token", r.csrfToken);
    if (!r.csrfCookie.isEmpty())
        request.setRawHeader("Cookie", "X-Anti-CSRF-Token=" + r.csrfCookie);
    std::unique_ptr<QNetworkReply> reply;
    if (r.form == Form::NotMultipart) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/plain"));
        reply.reset(manager.post(request, QByteArray("content\n")));
    } else {
        auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        if (r.form != Form::NoAsset)
            addPart(multiPart, QStringLiteral("form-data; name=\"raw.asset1\"; filename=\"log.txt\""), "content\n");
        if (r.form != Form::NoDirectory)
            addPart(multiPart, QStringLiteral("form-data; name=\"raw.directory\""), r.directory);
        addPart(multiPart, QStringLiteral("form-data; name=\"raw.asset1.filename\""), "log.txt");
        reply.reset(manager.post(request, multiPart));
        multiPart->setParent(reply.get());
    }
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->rawHeader("WWW-Authenticate")};
}

} // namespace

TEST(StandInRepository, RefusesAsTheRealRepository)
{
    const QByteArray writer = deploymentCredentialsInClear();
    const QByteArray reader = "auditor:look-only";
    StandIn standIn({QStringLiteral("--user"), QString::fromUtf8(writer), QStringLiteral("--read-only-user"),
                     QString::fromUtf8(reader)});
    QString error;
    ASSERT_TRUE(standIn.start(error)) << error.toStdString();

    const QByteArray repo = "repository=kw_production_artifacts";
    const QByteArray own = "dynelle_test/1";
    const Request cases[] = {
        // Anti-CSRF: a browser-like agent needs a token matching its cookie.
        {"Qt's own agent", repo, writer, {}, {}, {}, Form::Complete, "/b/", 403},
        {"token not the cookie's", repo, writer, "Mozilla/5.0 (X11)", "abc", "abd", Form::Complete, "/b/", 403},
        {"token and cookie", repo, writer, "Mozilla/5.0 (X11)", "abc", "abc", Form::Complete, "/b/", 204},
        {"own agent", repo, writer, own, {}, {}, Form::Complete, "//a///x//", 204},
        {"same path again", repo, writer, own, {}, {}, Form::Complete, "/a/x/", 400},
        {"no credentials", repo, {}, own, {}, {}, Form::Complete, "/e/", 401},
        {"no write permission", repo, reader, own, {}, {}, Form::Complete, "/e/", 403},
        {"no repository", {}, writer, own, {}, {}, Form::Complete, "/e/", 422},
        {"unknown repository", "repository=other", writer, own, {}, {}, Form::Complete, "/e/", 404},
        {"not multipart", repo, writer, own, {}, {}, Form::NotMultipart, "/e/", 400},
        {"no asset", repo, writer, own, {}, {}, Form::NoAsset, "/e/", 400},
        {"no directory", repo, writer, own, {}, {}, Form::NoDirectory, "/e/", 400},
    };
    for (const Request& c : cases) {
        const auto [status, authenticate] = post(standIn, c);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(authenticate.startsWith("BASIC realm=\""), c.status == 401) << c.name;
    }
    EXPECT_TRUE(QFile::exists(standIn.storedPath(QStringLiteral("a/x/log.txt"))));
    EXPECT_FALSE(QFile::exists(standIn.storedPath(QStringLiteral("e/log.txt"))));
    EXPECT_EQ(standIn.output().filter(QRegularExpression(QStringLiteral("-> 403 agent=Mozilla/5.0$"))).size(), 1);
}
