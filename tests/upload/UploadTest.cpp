#include "tests/upload/UploadFixture.h"
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <gtest/gtest.h>

TEST_F(Upload, MissingFileSucceedsAfterOneTryWithoutContactingTheServer)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(),
                            QStringLiteral("https://127.0.0.1:%1/service/rest/v1/components").arg(server.serverPort()),
                            directory.filePath("absent.txt"), "/TR417/1/x/"));
    EXPECT_EQ(messages, QStringList{"Could not open file"});
    EXPECT_FALSE(server.waitForNewConnection(300));
}

// The account's password must not be recoverable with `strings`.
TEST(BuiltProgram, HoldsTheCredentialsOnlyEncrypted)
{
    const QByteArray clear = openCredentials(ProductionArtifactsNexusRepo::credentials());
    const int colon = clear.indexOf(':');
    ASSERT_GT(colon, 0);
    ASSERT_TRUE(QFile::exists(DYNELLE_UPLOAD_ARCHIVE));
    for (const char* path : {DYNELLE_UPLOAD_ARCHIVE, DYNELLE_PROGRAM_BINARY}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue; // the program may not be linked yet
        const QByteArray bytes = file.readAll();
        // Finding the block proves the scan reads the file that carries it.
        EXPECT_TRUE(bytes.contains(ProductionArtifactsNexusRepo::credentials())) << path;
        for (const QByteArray& needle : {clear.left(colon), clear.mid(colon + 1), clear.toBase64()})
            EXPECT_FALSE(bytes.contains(needle)) << path;
    }
}
