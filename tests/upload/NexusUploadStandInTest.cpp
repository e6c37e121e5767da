// The upload against the repository stand-in over real HTTPS on loopback.

#include "tests/upload/DebugMessages.h"
#include "tests/upload/StandIn.h"

#include "upload/ProductionArtifactsNexusRepo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

QString writeFile(const QTemporaryDir& directory, const QString& name, const QByteArray& bytes)
{
    QFile file(directory.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

// User plus system CPU time of this process in seconds (fields 14 and 15).
double cpuSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return static_cast<double>(fields.at(11).toULongLong() + fields.at(12).toULongLong())
        / static_cast<double>(sysconf(_SC_CLK_TCK));
}

const QStringList deployedUser = {QStringLiteral("--user"), QString::fromUtf8(deploymentCredentialsInClear())};

} // namespace

TEST(StandInUpload, StoresTheExactBytesUnderTheBoardsDirectory)
{
    StandIn standIn(deployedUser);
    QString error;
    ASSERT_TRUE(standIn.start(error)) << error.toStdString();
    QTemporaryDir directory;
    // Both line ends, a NUL, high bytes and a delimiter look-alike.
    static const char raw[] = "Dynelle Test Log\n~~~~\r\n--boundary_.oOo._\r\n\0\xC3\xA4\xFF PASSED  - x\n";
    const QByteArray content(raw, sizeof raw - 1);
    const QString name = QStringLiteral("dynelle_test_1234-20261205-101010.txt");

    DebugMessages messages;
    ProductionArtifactsNexusRepo repo;
    EXPECT_TRUE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url(),
                            writeFile(directory, name, content),
                            repo.generateTargetDir(QStringLiteral("TR417"), QStringLiteral("1234"),
                                                   QStringLiteral("dynelle_test"))));
    EXPECT_EQ(messages.upload(), QStringList{QStringLiteral("nexusUpload() successful")});
    EXPECT_TRUE(keysWiped(repo));

    QFile stored(standIn.storedPath(QStringLiteral("TR417/1234/dynelle_test/") + name));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly)) << stored.fileName().toStdString();
    EXPECT_EQ(stored.readAll(), content);
    // Parts in order, and the file's name both on the asset (part 1) and in
    // the file name field (part 3, which names the stored file).
    const QStringList output = standIn.output();
    EXPECT_TRUE(output.contains(QStringLiteral("stored kw_production_artifacts/TR417/1234/dynelle_test/%1 "
                                               "parts=raw.asset1,raw.directory,raw.asset1.filename "
                                               "asset-filename=%1").arg(name)))
        << output.join('\n').toStdString();
    EXPECT_EQ(output.filter(QStringLiteral("-> 204 agent=dynelle_test/" DYNELLE_PROJECT_VERSION)).size(), 1);
}

TEST(StandInUpload, RefusedOrBrokenAnswersGiveThreeTriesThenAbort)
{
    QByteArray wrong = deploymentCredentialsInClear();
    wrong = wrong.left(wrong.indexOf(':') + 1) + "not-the-password";
    const struct {
        const char* name;
        QStringList arguments;
        const char* error;
    } cases[] = {
        {"wrong credentials", {QStringLiteral("--user"), QString::fromUtf8(wrong)}, "Host requires authentication"},
        {"server error", deployedUser + QStringList{QStringLiteral("--fail"), QStringLiteral("500")}, "server replied"},
        {"connection closed", deployedUser + QStringList{QStringLiteral("--fail"), QStringLiteral("close")}, "closed"},
    };
    QTemporaryDir directory;
    const QString path = writeFile(directory, QStringLiteral("log.txt"), "results\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StandIn standIn(c.arguments);
        QString error;
        ASSERT_TRUE(standIn.start(error)) << error.toStdString();

        DebugMessages messages;
        ProductionArtifactsNexusRepo repo;
        EXPECT_FALSE(repo.upload(ProductionArtifactsNexusRepo::credentials(), standIn.url(), path,
                                 QStringLiteral("/TR417/1/dynelle_test/")));
        const QStringList seen = messages.upload();
        ASSERT_EQ(seen.size(), 7) << seen.join('|').toStdString();
        for (int attempt = 0; attempt < 3; ++attempt) {
            EXPECT_TRUE(seen.at(2 * attempt).startsWith(QLatin1String("nexusUpload() failed: ")));
            EXPECT_TRUE(seen.at(2 * attempt).contains(QLatin1String(c.error))) << seen.at(2 * attempt).toStdString();
            EXPECT_EQ(seen.at(2 * attempt + 1), QLatin1String("nexusUpload() failed - retrying"));
        }
        EXPECT_EQ(seen.at(6), QLatin1String("nexusUpload() failed - aborting"));
        EXPECT_TRUE(keysWiped(repo));
        // Qt may resend once on a connection closed unanswered.
        EXPECT_GE(standIn.output().filter(QStringLiteral("request POST")).size(), 3);
    }
}

// One try only: the bound is the same for each of the three.
TEST(StandInUpload, SilentServerEndsTheTryAfterTheBoundWithoutSpinning)
{
    StandIn standIn(deployedUser + QStringList{QStringLiteral("--fail"), QStringLiteral("silent")});
    QString error;
    ASSERT_TRUE(standIn.start(error)) << error.toStdString();
    QTemporaryDir directory;
    const QString path = writeFile(directory, QStringLiteral("log.txt"), "results\n");

    DebugMessages messages;
    NexusUpload upload;
    upload.createKeys();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(upload.uploadSingleTry(ProductionArtifactsNexusRepo::credentials(), standIn.url(), path,
                                        QStringLiteral("/TR417/1/dynelle_test/")));
    const double seconds = static_cast<double>(elapsed.elapsed()) / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    upload.wipeKeys();

    EXPECT_EQ(messages.upload(), QStringList{QStringLiteral("nexusUpload() upload timeout.")});
    EXPECT_GE(seconds, 10.0);
    EXPECT_LT(seconds, 12.0);
    EXPECT_EQ(standIn.output().filter(QStringLiteral("request POST")).size(), 1);
    // Passes that never wait would burn the whole ten seconds.
    EXPECT_LT(cpu, 1.0);
    std::cout << "waited " << seconds << " s for a silent server using " << cpu << " s of CPU" << std::endl;
}
