#include "tests/upload/StandIn.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

// The upload's own messages on Qt's debug channel while alive, without Qt's own warnings.
class DebugMessages {
public:
    DebugMessages() : previous(qInstallMessageHandler(capture)) { upload().clear(); }
    ~DebugMessages() { qInstallMessageHandler(previous); }
    static QStringList& upload()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void capture(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        if (message.startsWith(QLatin1String("nexusUpload()")) || message == QLatin1String("Could not open file"))
            upload().append(message);
    }
    QtMessageHandler previous;
};

bool keysWiped(const NexusUpload& upload)
{
    auto zero = [](unsigned char b) { return b == 0; };
    return std::all_of(upload.key.begin(), upload.key.end(), zero) && std::all_of(upload.iv.begin(), upload.iv.end(), zero);
}

const QString user = QString::fromUtf8(deploymentCredentialsInClear());

class Upload : public ::testing::Test {
protected:
    QString writeLog(const QString& name, const QByteArray& bytes)
    {
        QFile file(directory.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }

    QTemporaryDir directory;
    DebugMessages messages;
    ProductionArtifactsNexusRepo repo;
};
using StandInUpload = Upload;

TEST_F(Upload, MissingFileSucceedsAfterOneTryWithoutContactingTheServer)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(),
                            QStringLiteral("https://127.0.0.1:%1/service/rest/v1/components").arg(server.serverPort()),
                            directory.filePath("absent.txt"), "/TR417/1/x/"));
    EXPECT_EQ(messages.upload(), QStringList{"Could not open file"});
    EXPECT_FALSE(server.waitForNewConnection(300));
    EXPECT_TRUE(keysWiped(repo));
}

TEST_F(StandInUpload, StoresTheExactBytesUnderTheBoardsDirectory)
{
    StandIn standIn({"--user", user});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    // Both line ends, a NUL, high bytes and a delimiter look-alike.
    static const char raw[] = "Dynelle Test Log\n~~~~\r\n--boundary_.oOo._\r\n\0\xC3\xA4\xFF PASSED  - x\n";
    const QByteArray content(raw, sizeof raw - 1);
    const QString name = "dynelle_test_1234-20261205-101010.txt";

    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url(), writeLog(name, content),
                            repo.generateTargetDir("TR417", "1234", "dynelle_test")));
    EXPECT_EQ(messages.upload(), QStringList{"nexusUpload() successful"});
    EXPECT_TRUE(keysWiped(repo));
    QFile stored(standIn.storedPath("TR417/1234/dynelle_test/" + name));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << stored.fileName().toStdString();
    EXPECT_EQ(stored.readAll(), content);
    // The file's name on the asset (part 1) and in part 3, which names the stored file; our own agent.
    const QStringList output = standIn.output();
    EXPECT_TRUE(output.contains(QStringLiteral("stored kw_production_artifacts/TR417/1234/dynelle_test/%1 parts=raw.asset1,"
                                               "raw.directory,raw.asset1.filename asset-filename=%1").arg(name)))
        << output.join('\n').toStdString();
    EXPECT_EQ(output.filter("-> 204 agent=dynelle_test/" DYNELLE_PROJECT_VERSION).size(), 1);
}

TEST_F(StandInUpload, RefusedOrBrokenAnswersGiveThreeTriesThenAbort)
{
    const QString wrong = user.left(user.indexOf(':') + 1) + "not-the-password";
    const struct {
        QStringList arguments;
        const char* error;
    } cases[] = {{{"--user", wrong}, "Host requires authentication"},
                 {{"--user", user, "--fail", "500"}, "server replied"},
                 {{"--user", user, "--fail", "close"}, "closed"}};
    const QString path = writeLog("log.txt", "results\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        StandIn standIn(c.arguments);
        ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
        DebugMessages perCase;
        EXPECT_FALSE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url(), path, "/TR417/1/dynelle_test/"));
        const QStringList seen = perCase.upload();
        ASSERT_EQ(seen.size(), 7) << seen.join('|').toStdString();
        for (int attempt = 0; attempt < 3; ++attempt) {
            EXPECT_TRUE(seen.at(2 * attempt).startsWith("nexusUpload() failed: ") && seen.at(2 * attempt).contains(c.error))
                << seen.at(2 * attempt).toStdString();
            EXPECT_EQ(seen.at(2 * attempt + 1), "nexusUpload() failed - retrying");
        }
        EXPECT_EQ(seen.at(6), "nexusUpload() failed - aborting");
        EXPECT_TRUE(keysWiped(repo));
        EXPECT_GE(standIn.output().filter("request POST").size(), 3); // Qt may resend once on a connection closed unanswered
    }
}

TEST_F(StandInUpload, SilentServerEndsTheTryAfterTenSecondsWithoutSpinning)
{
    StandIn standIn({"--user", user, "--fail", "silent"});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    const QString path = writeLog("log.txt", "results\n");
    repo.createKeys();
    const std::clock_t cpuBefore = std::clock(); // all threads of the process
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(repo.uploadSingleTry(ProductionArtifactsNexusRepo::credentials(), standIn.url(), path, "/TR417/1/x/"));
    const double seconds = double(elapsed.elapsed()) / 1000.0, cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    repo.wipeKeys();

    EXPECT_EQ(messages.upload(), QStringList{"nexusUpload() upload timeout."});
    EXPECT_GE(seconds, 10.0);
    EXPECT_LT(seconds, 12.0);
    EXPECT_EQ(standIn.output().filter("request POST").size(), 1);
    EXPECT_LT(cpu, 1.0) << seconds << " s waited"; // a wait that polls would burn the whole ten seconds
}

// Qt's own agent is a browser's to the repository: the reason the upload sends its own.
TEST(StandInRepository, AntiCsrfCheckRefusesBrowserAgentsWithoutAMatchingToken)
{
    StandIn standIn({"--user", user});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    const struct {
        const char* name;
        QByteArray userAgent, token, cookie; // empty: Qt's own agent; none
        int status;
    } cases[] = {{"Qt's own agent", {}, {}, {}, 403},
                 {"token not the cookie's", "Mozilla/5.0 (X11)", "abc", "abd", 403},
                 {"token and cookie", "Mozilla/5.0 (X11)", "abc", "abc", 400}}; // past the check, an empty form
    for (const auto& c : cases) {
        QNetworkAccessManager manager;
        QNetworkRequest request{QUrl(standIn.url())};
        request.setRawHeader("Authorization", "Basic " + user.toUtf8().toBase64());
        if (!c.userAgent.isEmpty())
            request.setHeader(QNetworkRequest::UserAgentHeader, c.userAgent);
        request.setRawHeader("X-Anti-CSRF-Token", c.token);
        request.setRawHeader("Cookie", "X-Anti-CSRF-Token=" + c.cookie);
        request.setHeader(QNetworkRequest::ContentTypeHeader, "multipart/form-data; boundary=b");
        std::unique_ptr<QNetworkReply> reply(manager.post(request, QByteArray("--b--\r\n")));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), c.status) << c.name;
    }
}

} // namespace
