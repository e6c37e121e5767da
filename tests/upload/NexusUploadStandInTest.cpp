// The upload against the repository stand-in over real HTTPS on loopback.

#include "tests/upload/DebugMessages.h"
#include "tests/upload/StandIn.h"

#include "upload/ProductionArtifactsNexusRepo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <iostream>

namespace {

const QString user = QString::fromUtf8(deploymentCredentialsInClear());

class StandInUpload : public ::testing::Test {
protected:
    QString writeLog(const QString& name, const QByteArray& bytes)
    {
        QFile file(directory.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }

    QTemporaryDir directory;
    DebugMessages messages;
};

// User plus system CPU time of this process in seconds (fields 14 and 15).
double cpuSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() < 13 ? -1
                              : static_cast<double>(fields.at(11).toULongLong() + fields.at(12).toULongLong())
                                    / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

TEST_F(StandInUpload, StoresTheExactBytesUnderTheBoardsDirectory)
{
    StandIn standIn({"--user", user});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    // Both line ends, a NUL, high bytes and a delimiter look-alike.
    static const char raw[] = "Dynelle Test Log\n~~~~\r\n--boundary_.oOo._\r\n\0\xC3\xA4\xFF PASSED  - x\n";
    const QByteArray content(raw, sizeof raw - 1);
    const QString name = QStringLiteral("dynelle_test_1234-20261205-101010.txt");

    ProductionArtifactsNexusRepo repo;
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url(), writeLog(name, content),
                            repo.generateTargetDir("TR417", "1234", "dynelle_test")));
    EXPECT_EQ(messages.upload(), QStringList{QStringLiteral("nexusUpload() successful")});
    EXPECT_TRUE(keysWiped(repo));

    QFile stored(standIn.storedPath(QStringLiteral("TR417/1234/dynelle_test/") + name));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << stored.fileName().toStdString();
    EXPECT_EQ(stored.readAll(), content);
    // Parts in order, the file's name on the asset (part 1) and in part 3, which names the stored file.
    const QStringList output = standIn.output();
    EXPECT_TRUE(output.contains(QStringLiteral("stored kw_production_artifacts/TR417/1234/dynelle_test/%1 "
                                               "parts=raw.asset1,raw.directory,raw.asset1.filename "
                                               "asset-filename=%1").arg(name)))
        << output.join('\n').toStdString();
    EXPECT_EQ(output.filter(QStringLiteral("-> 204 agent=dynelle_test/" DYNELLE_PROJECT_VERSION)).size(), 1);
}

TEST_F(StandInUpload, RefusedOrBrokenAnswersGiveThreeTriesThenAbort)
{
    const QString wrong = user.left(user.indexOf(':') + 1) + "not-the-password";
    const struct {
        QStringList arguments;
        const char* error;
    } cases[] = {
        {{"--user", wrong}, "Host requires authentication"},
        {{"--user", user, "--fail", "500"}, "server replied"},
        {{"--user", user, "--fail", "close"}, "closed"},
    };
    const QString path = writeLog("log.txt", "results\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        StandIn standIn(c.arguments);
        ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
        DebugMessages perCase;
        ProductionArtifactsNexusRepo repo;
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
        // Qt may resend once on a connection closed unanswered.
        EXPECT_GE(standIn.output().filter("request POST").size(), 3);
    }
}

// One try: the bound is the same for each of the three.
TEST_F(StandInUpload, SilentServerEndsTheTryAfterTheBoundWithoutSpinning)
{
    StandIn standIn({"--user", user, "--fail", "silent"});
    ASSERT_TRUE(standIn.error.isEmpty()) << standIn.error.toStdString();
    const QString path = writeLog("log.txt", "results\n");

    NexusUpload upload;
    upload.createKeys();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(upload.uploadSingleTry(ProductionArtifactsNexusRepo::credentials(), standIn.url(), path, "/TR417/1/x/"));
    const double seconds = static_cast<double>(elapsed.elapsed()) / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    upload.wipeKeys();

    EXPECT_EQ(messages.upload(), QStringList{QStringLiteral("nexusUpload() upload timeout.")});
    EXPECT_GE(seconds, 10.0);
    EXPECT_LT(seconds, 12.0);
    EXPECT_EQ(standIn.output().filter("request POST").size(), 1);
    EXPECT_LT(cpu, 1.0); // passes that never wait would burn the whole ten seconds
    std::cout << "waited " << seconds << " s for a silent server using " << cpu << " s of CPU" << std::endl;
}
