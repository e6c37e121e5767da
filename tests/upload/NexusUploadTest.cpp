#include "tests/upload/DebugMessages.h"

#include "upload/NexusDeployment.h"
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
    return QStringLiteral("https://127.0.0.1:%1/service/rest/v1/components?repository=kw_production_artifacts")
        .arg(port);
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

TEST(NexusUpload, FailingTriesAreRetriedThriceThenAborted)
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
        const char* name;
        QByteArray credentials;
        const char* perTry; // the message each try ends with
    } cases[] = {
        {"server unreachable", deployed, "nexusUpload() failed: Connection refused"},
        {"credentials do not decrypt", damaged, "nexusUpload() failed"},
        {"no credentials", QByteArray(), "nexusUpload() failed"},
        {"credentials not whole blocks", deployed.left(20), "nexusUpload() failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DebugMessages messages;
        NexusUpload upload;
        EXPECT_FALSE(upload.upload(c.credentials, unreachable, file.fileName(), QStringLiteral("/TR417/1/x/")));
        const QString retry = QStringLiteral("nexusUpload() failed - retrying");
        EXPECT_EQ(messages.upload(), QStringList({c.perTry, retry, c.perTry, retry, c.perTry, retry,
                                                  QStringLiteral("nexusUpload() failed - aborting")}));
        EXPECT_TRUE(keysWiped(upload));
    }
}

TEST(ProductionArtifactsNexusRepo, TargetDirectoryAndEndpoint)
{
    const char* cases[][2] = {
        {"1234", "/TR417/1234/dynelle_test/"},
        {"Unassigned", "/TR417/Unassigned/dynelle_test/"},
        // A placeholder typed as the serial is not filled in again.
        {"%3%1", "/TR417/%3%1/dynelle_test/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProductionArtifactsNexusRepo::generateTargetDir(QStringLiteral("TR417"), QString::fromUtf8(c[0]),
                                                                  QStringLiteral("dynelle_test")),
                  QString::fromUtf8(c[1]));
    }
    EXPECT_EQ(ProductionArtifactsNexusRepo::endpoint(),
              QStringLiteral("https://") + NexusDeployment::host
                  + QStringLiteral("/service/rest/v1/components?repository=kw_production_artifacts"));
}
