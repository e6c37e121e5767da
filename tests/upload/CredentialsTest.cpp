#include "tests/upload/StandIn.h"
#include <QFile>
#include <gtest/gtest.h>

TEST(CredentialsToolRoundTrip, BlockOpensWithTheProgramsKeysToTheGivenAccount)
{
    if (!*DYNELLE_CREDENTIALS_TOOL)
        GTEST_SKIP() << "the tools are not built";
    QProcess tool;
    tool.start(DYNELLE_CREDENTIALS_TOOL, {"encrypt", "operator-7"});
    tool.write("s3cr:et p\xC3\xA4ssword\n");
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0);
    EXPECT_EQ(openCredentials(QByteArray::fromHex(tool.readAllStandardOutput().trimmed())), "operator-7:s3cr:et p\xC3\xA4ssword");
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
