#include "tests/upload/StandIn.h"

#include <QFile>

#include <gtest/gtest.h>

// The tool's exit code (-1 when it did not finish) and standard output.
static std::pair<int, QByteArray> runTool(const QStringList& arguments, const QByteArray& input)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(DYNELLE_CREDENTIALS_TOOL, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    const bool finished = tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit;
    return {finished ? tool.exitCode() : -1, tool.readAllStandardOutput()};
}

TEST(CredentialsToolRoundTrip, BlockOpensWithTheProgramsKeysToTheGivenAccount)
{
    if (!*DYNELLE_CREDENTIALS_TOOL)
        GTEST_SKIP() << "the tools are not built";
    const QByteArray password = "s3cr:et p\xC3\xA4ssword";
    const auto [status, out] = runTool({"encrypt", "operator-7"}, password + "\n");
    ASSERT_EQ(status, 0);
    unsigned char key[NexusUpload::keySize], iv[NexusUpload::ivSize];
    KeyDerivation::derive(NexusDeployment::seed, NexusDeployment::discard, key, sizeof key, iv, sizeof iv);
    QByteArray clear;
    EXPECT_TRUE(CredentialsCipher::decrypt(QByteArray::fromHex(out.trimmed()), key, iv, clear));
    EXPECT_EQ(clear, "operator-7:" + password);
    // A user name with a colon could not be told from the password.
    EXPECT_EQ(runTool({"encrypt", "a:b"}, "password\n"), std::make_pair(1, QByteArray()));
}

// The account's password must not be recoverable with `strings`.
TEST(BuiltProgram, HoldsTheCredentialsOnlyEncrypted)
{
    const QByteArray clear = deploymentCredentialsInClear();
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
        for (const QByteArray& needle : {clear, clear.left(colon), clear.mid(colon + 1), clear.toBase64()})
            EXPECT_FALSE(bytes.contains(needle)) << path;
    }
}
