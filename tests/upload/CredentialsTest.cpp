#include "tests/upload/StandIn.h"

#include "upload/CredentialsCipher.h"
#include "upload/KeyDerivation.h"
#include "upload/NexusDeployment.h"
#include "upload/ProductionArtifactsNexusRepo.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
};

ToolRun runTool(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    ToolRun run;
#ifdef DYNELLE_CREDENTIALS_TOOL
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral(DYNELLE_CREDENTIALS_TOOL), arguments);
    tool.write(input);
    tool.closeWriteChannel();
    if (tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit)
        run.exitCode = tool.exitCode();
    run.out = tool.readAllStandardOutput();
#else
    Q_UNUSED(arguments)
    Q_UNUSED(input)
#endif
    return run;
}

} // namespace

TEST(CredentialsToolRoundTrip, BlockOpensWithTheProgramsKeysToTheGivenAccount)
{
#ifndef DYNELLE_CREDENTIALS_TOOL
    GTEST_SKIP() << "the tools are not built";
#endif
    const QByteArray password = "s3cr:et p\xC3\xA4ssword";
    const ToolRun made = runTool({QStringLiteral("encrypt"), QStringLiteral("operator-7")}, password + "\n");
    ASSERT_EQ(made.exitCode, 0);
    const QByteArray hex = made.out.trimmed();
    unsigned char key[32], iv[16];
    KeyDerivation::derive(NexusDeployment::seed, NexusDeployment::discard, key, sizeof key, iv, sizeof iv);
    QByteArray clear;
    EXPECT_TRUE(CredentialsCipher::decrypt(QByteArray::fromHex(hex), key, iv, clear));
    EXPECT_EQ(clear, "operator-7:" + password);

    const ToolRun opened = runTool({QStringLiteral("decrypt"), QString::fromLatin1(hex)});
    EXPECT_EQ(opened.exitCode, 0);
    EXPECT_EQ(opened.out, "operator-7:" + password + "\n");

    const char* refused[][2] = {{"encrypt", "a:b"}, {"encrypt", ""}, {"decrypt", "zz"}, {"decrypt", "00112233"}};
    for (const auto& r : refused) {
        const ToolRun run = runTool({QString::fromLatin1(r[0]), QString::fromLatin1(r[1])}, "password\n");
        EXPECT_NE(run.exitCode, 0) << r[0] << ' ' << r[1];
        EXPECT_TRUE(run.out.isEmpty()) << r[0] << ' ' << r[1];
    }
}

// The account's password must not be recoverable with `strings`.
TEST(BuiltProgram, HoldsTheCredentialsOnlyEncrypted)
{
    const QByteArray clear = deploymentCredentialsInClear();
    const int colon = clear.indexOf(':');
    ASSERT_GT(colon, 0);
    const QByteArray needles[] = {clear, clear.left(colon), clear.mid(colon + 1), clear.toBase64()};
    int scanned = 0;
    for (const char* path : {DYNELLE_UPLOAD_ARCHIVE, DYNELLE_PROGRAM_BINARY}) {
        QFile file(QString::fromLocal8Bit(path));
        // The program may not link yet while other folders are in progress.
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++scanned;
        const QByteArray bytes = file.readAll();
        // Finding the block proves the scan reads the file that carries it.
        EXPECT_TRUE(bytes.contains(ProductionArtifactsNexusRepo::credentials())) << path;
        for (const QByteArray& needle : needles)
            EXPECT_FALSE(bytes.contains(needle)) << path;
    }
    EXPECT_GE(scanned, 1);
    EXPECT_TRUE(QFile::exists(QStringLiteral(DYNELLE_UPLOAD_ARCHIVE)));
}
