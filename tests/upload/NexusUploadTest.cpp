#include "tests/upload/DebugMessages.h"

#include "upload/NexusUpload.h"
#include "upload/ProductionArtifactsNexusRepo.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString urlOnLoopback(quint16 port)
{
    return QStringLiteral("https://127.0.0.1:%1/service/rest/v1/components?repository=kw_production_artifacts").arg(port);
}

} // namespace

TEST(NexusUpload, MissingFileSucceedsAfterOneTryWithoutContactingTheServer)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTemporaryDir directory;
    DebugMessages messages;
    ProductionArtifactsNexusRepo repo;
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(), urlOnLoopback(server.serverPort()),
                            directory.filePath(QStringLiteral("absent.txt")), QStringLiteral("/TR417/1/x/")));
    EXPECT_EQ(messages.upload(), QStringList{QStringLiteral("Could not open file")});
    EXPECT_FALSE(server.waitForNewConnection(300));
    EXPECT_TRUE(keysWiped(repo));
}

TEST(NexusUpload, UnreachableServerOrBadCredentialsAreRetriedThriceThenAborted)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString unreachable = urlOnLoopback(closed.serverPort());
    closed.close();
    QTemporaryDir directory;
    QFile file(directory.filePath(QStringLiteral("log.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const QByteArray deployed = ProductionArtifactsNexusRepo::credentials();
    QByteArray damaged = deployed;
    damaged[damaged.size() - 1] = static_cast<char>(damaged.at(damaged.size() - 1) ^ 0x5A);
    const struct {
        QByteArray credentials;
        const char* perTry;
    } cases[] = {
        {deployed, "nexusUpload() failed: Connection refused"},
        {damaged, "nexusUpload() failed"}, // does not decrypt
        {deployed.left(20), "nexusUpload() failed"}, // not whole blocks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.perTry);
        DebugMessages messages;
        NexusUpload upload;
        EXPECT_FALSE(upload.upload(c.credentials, unreachable, file.fileName(), QStringLiteral("/TR417/1/x/")));
        const QString retry = QStringLiteral("nexusUpload() failed - retrying");
        EXPECT_EQ(messages.upload(), QStringList({c.perTry, retry, c.perTry, retry, c.perTry, retry,
                                                  QStringLiteral("nexusUpload() failed - aborting")}));
        EXPECT_TRUE(keysWiped(upload));
    }
}

TEST(ProductionArtifactsNexusRepo, TargetDirectory)
{
    EXPECT_EQ(ProductionArtifactsNexusRepo::generateTargetDir("TR417", "1234", "dynelle_test"),
              QStringLiteral("/TR417/1234/dynelle_test/"));
    // A placeholder typed as the serial is not filled in again.
    EXPECT_EQ(ProductionArtifactsNexusRepo::generateTargetDir("TR417", "%3%1", "dynelle_test"),
              QStringLiteral("/TR417/%3%1/dynelle_test/"));
}
