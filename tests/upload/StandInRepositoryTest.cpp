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

struct Request {
    const char* name;
    QByteArray credentials; // clear "user:password"; empty: none
    QByteArray userAgent;   // empty: Qt's own
    QByteArray csrfToken;   // header; empty: none
    QByteArray csrfCookie;  // empty: none
    QByteArray directory;
    int status;
};

// Returns the status and the WWW-Authenticate header.
std::pair<int, QByteArray> post(StandIn& standIn, const Request& r)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(standIn.url()));
    if (!r.credentials.isEmpty())
        request.setRawHeader("Authorization", "Basic " + r.credentials.toBase64());
    if (!r.userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, r.userAgent);
    if (!r.csrfToken.isEmpty())
        request.setRawHeader("X-Anti-CSRF-Token", r.csrfToken);
    if (!r.csrfCookie.isEmpty())
        request.setRawHeader("Cookie", "X-Anti-CSRF-Token=" + r.csrfCookie);
    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    for (const auto& [disposition, body] : {std::pair<QString, QByteArray>{"name=\"raw.asset1\"; filename=\"log.txt\"", "x\n"},
                                            {"name=\"raw.directory\"", r.directory},
                                            {"name=\"raw.asset1.filename\"", "log.txt"}}) {
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader, "form-data; " + disposition);
        part.setBody(body);
        form->append(part);
    }
    std::unique_ptr<QNetworkReply> reply(manager.post(request, form));
    form->setParent(reply.get());
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
    StandIn standIn({"--user", QString::fromUtf8(writer), "--read-only-user", QString::fromUtf8(reader)});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();

    const QByteArray own = "dynelle_test/1";
    const Request cases[] = {
        // Anti-CSRF: a browser-like agent needs a token matching its cookie.
        {"Qt's own agent", writer, {}, {}, {}, "/b/", 403},
        {"token not the cookie's", writer, "Mozilla/5.0 (X11)", "abc", "abd", "/b/", 403},
        {"token and cookie", writer, "Mozilla/5.0 (X11)", "abc", "abc", "/b/", 204},
        {"own agent", writer, own, {}, {}, "//a///x//", 204},
        {"same path again", writer, own, {}, {}, "/a/x/", 400},
        {"no credentials", {}, own, {}, {}, "/e/", 401},
        {"no write permission", reader, own, {}, {}, "/e/", 403},
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
