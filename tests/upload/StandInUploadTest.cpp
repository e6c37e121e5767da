#include "tests/upload/StandIn.h"
#include <QElapsedTimer>
#include <QRegularExpression>
#include <ctime>

using StandInUpload = Upload;

TEST_F(StandInUpload, StoresTheExactBytesUnderTheBoardsDirectory)
{
    StandIn standIn({"--user", user});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    // Both line ends, a NUL, high bytes and a delimiter look-alike.
    static const char raw[] = "Dynelle Test Log\n~~~~\r\n--boundary_.oOo._\r\n\0\xC3\xA4\xFF PASSED  - x\n";
    const QByteArray content(raw, sizeof raw - 1);
    const QString name = "dynelle_test_1234-20261205-101010.txt";
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url, writeLog(name, content),
                            repo.generateTargetDir("TR417", "1234", "dynelle_test")));
    EXPECT_EQ(messages, QStringList{"nexusUpload() successful"});
    EXPECT_TRUE(keysWiped(repo));
    QFile stored(standIn.storage.filePath("kw_production_artifacts/TR417/1234/dynelle_test/" + name));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << stored.fileName().toStdString();
    EXPECT_EQ(stored.readAll(), content);
    // The file's name on the asset and in the part that names the stored file; our own agent.
    const QStringList output = standIn.output();
    EXPECT_TRUE(output.contains(QStringLiteral("stored kw_production_artifacts/TR417/1234/dynelle_test/%1 parts=raw.asset1,"
                                               "raw.directory,raw.asset1.filename asset-filename=%1").arg(name)))
        << output.join('\n').toStdString();
    EXPECT_EQ(output.filter("-> 204 agent=dynelle_test/" DYNELLE_PROJECT_VERSION).size(), 1);
}

TEST_F(StandInUpload, RefusedAnswerGivesThreeTriesThenAborts)
{
    StandIn standIn({"--user", user, "--fail", "500"});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    EXPECT_FALSE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url, writeLog("log.txt", "results\n"),
                             "/TR417/1/dynelle_test/"));
    const QString refused = "failed: server replied", again = "nexusUpload() failed - retrying";
    QStringList shown = messages; // the reply's own text is Qt's
    shown.replaceInStrings(QRegularExpression("^nexusUpload\\(\\) failed: .*server replied.*"), refused);
    EXPECT_EQ(shown, (QStringList{refused, again, refused, again, refused, again, "nexusUpload() failed - aborting"}))
        << messages.join('\n').toStdString();
    EXPECT_TRUE(keysWiped(repo));
    EXPECT_EQ(standIn.output().filter("request POST").size(), 3);
}

TEST_F(StandInUpload, SilentServerEndsTheTryAfterTenSecondsWithoutSpinning)
{
    StandIn standIn({"--user", user, "--fail", "silent"});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    repo.createKeys();
    const std::clock_t cpuBefore = std::clock(); // all threads of the process
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(repo.uploadSingleTry(ProductionArtifactsNexusRepo::credentials(), standIn.url, writeLog("log.txt", "x\n"),
                                      "/TR417/1/x/"));
    const double seconds = double(elapsed.elapsed()) / 1000.0, cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    repo.wipeKeys();
    EXPECT_EQ(messages, QStringList{"nexusUpload() upload timeout."});
    EXPECT_TRUE(seconds >= 10.0 && seconds < 12.0) << seconds;
    EXPECT_EQ(standIn.output().filter("request POST").size(), 1);
    EXPECT_LT(cpu, 1.0); // a wait that polls would burn the whole ten seconds
}

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
