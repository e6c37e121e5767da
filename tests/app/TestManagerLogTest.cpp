#include "tests/app/ManagerFixture.h"
#include "tests/app/ScriptedUnitTest.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

class TestManagerLog : public ManagerFixture {
};

TEST_F(TestManagerLog, ResultsLogMatchesTheGoldenTextByteForByte)
{
    manager.boardSerialNumber = "A1234";
    auto passed = std::make_shared<ScriptedUnitTest>("ACDC Input and LED Test", std::vector<ScriptedUnitTest::Outcome>{});
    passed->state = Passed;
    auto failed = std::make_shared<ScriptedUnitTest>("Group - Stage 5", std::vector<ScriptedUnitTest::Outcome>{});
    failed->state = Failed;
    auto skipped = std::make_shared<ScriptedUnitTest>("Battery", std::vector<ScriptedUnitTest::Outcome>{});
    skipped->state = Skipped;
    auto odd = std::make_shared<ScriptedUnitTest>("Odd", std::vector<ScriptedUnitTest::Outcome>{});
    odd->state = 7;
    auto notRun = std::make_shared<ScriptedUnitTest>("Later", std::vector<ScriptedUnitTest::Outcome>{});
    for (auto& test : {passed, failed, skipped, odd, notRun})
        manager.addUnitTest(test);

    ASSERT_TRUE(manager.createLogFile());
    manager.log("tr417 sw version: V1.07\n\n");
    manager.logUnitTestResults();

    const QString text = logText();
    const QRegularExpression started("Tests Started: (\\d\\d:\\d\\d \\d\\d/\\d\\d/\\d\\d\\d\\d)\n");
    const QRegularExpressionMatch match = started.match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    const QDateTime stamp = QDateTime::fromString(match.captured(1), "HH:mm dd/MM/yyyy");
    EXPECT_LE(std::abs(stamp.secsTo(QDateTime::currentDateTime())), 120);

    const QString golden = "Dynelle Test Log\n"
                           "~~~~~~~~~~~~~~~~~~~~\n"
                           "\n"
                           "Tests Started: " + match.captured(1) + "\n"
                           "Serial No: A1234\n"
                           "tr417 sw version: V1.07\n"
                           "\n"
                           "PASSED  - ACDC Input and LED Test\n"
                           "FAIL!!  - Group - Stage 5\n"
                           "SKIPPED - Battery\n"
                           "*ERROR* - Odd\n"
                           "Not Run - Later\n";
    EXPECT_EQ(text.toStdString(), golden.toStdString());
}

} // namespace
