#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/CapturingLogger.h"
#include "tests/support/FakeBoardDevice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Reading = int DynelleUSBProtocolLowLevel::*;

class Protocol : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.openPort()); }

    // What the board sends arrives in one read.
    void receive(const QByteArray& bytes)
    {
        board.sendInOneRead(bytes);
        ASSERT_TRUE(link.servicePort());
    }

    CapturingLogger log;
    FakeBoardDevice board;
    DynelleUSBProtocolLowLevel link{board};
};

struct ReplyCase {
    const char* line;
    Reading reading;
    int expected;
};

TEST_F(Protocol, EachLetterSetsItsReading)
{
    const ReplyCase cases[] = {
        {"A 57", &DynelleUSBProtocolLowLevel::analogFuelGauge, 57},
        {"A -1", &DynelleUSBProtocolLowLevel::analogFuelGauge, -1},
        {"B 2", &DynelleUSBProtocolLowLevel::batteryInterface, 2},
        {"C 88", &DynelleUSBProtocolLowLevel::batteryCapacity, 88},
        {"G 8123", &DynelleUSBProtocolLowLevel::batteryVoltage, 8123},
        {"P 5", &DynelleUSBProtocolLowLevel::powerSource, 5},
        {"S 12034", &DynelleUSBProtocolLowLevel::systemVoltage, 12034},
        {"T -2", &DynelleUSBProtocolLowLevel::timeToEmpty, -2},
        {"T +30", &DynelleUSBProtocolLowLevel::timeToEmpty, 30},
        {"S 12034\r", &DynelleUSBProtocolLowLevel::systemVoltage, 12034},
        {"S 12.0", &DynelleUSBProtocolLowLevel::systemVoltage, 0},
        {"C:abc", &DynelleUSBProtocolLowLevel::batteryCapacity, 0},
    };
    for (const auto& c : cases) {
        link.*c.reading = 4711;
        receive(QByteArray(c.line) + '\n');
        EXPECT_EQ(link.*c.reading, c.expected) << c.line;
    }
    EXPECT_EQ(log.count(), 0u); // a malformed number is not an error
}

struct ShortLineCase {
    const char* line;
    Reading reading;
    const char* handler;
};

TEST_F(Protocol, ShortNumericRepliesAreReportedAndChangeNothing)
{
    const ShortLineCase cases[] = {
        {"A", &DynelleUSBProtocolLowLevel::analogFuelGauge, "RXAnalogFuelGauge"},
        {"B ", &DynelleUSBProtocolLowLevel::batteryInterface, "RXBatteryInterface"},
        {"C", &DynelleUSBProtocolLowLevel::batteryCapacity, "RXBatteryCapacity"},
        {"G5", &DynelleUSBProtocolLowLevel::batteryVoltage, "RXBatteryVoltage"},
        {"P", &DynelleUSBProtocolLowLevel::powerSource, "RXPowerSource"},
        {"S", &DynelleUSBProtocolLowLevel::systemVoltage, "RXSystemVoltage"},
        {"T", &DynelleUSBProtocolLowLevel::timeToEmpty, "RXTimeToEmpty"},
    };
    for (const auto& c : cases) {
        log.clear();
        link.*c.reading = 4711;

        EXPECT_FALSE(link.processReceivedLine(QString::fromLatin1(c.line))) << c.line;

        EXPECT_EQ(link.*c.reading, 4711) << c.line;
        ASSERT_EQ(log.count(), 1u) << c.line;
        EXPECT_EQ(log.entries()[0].level, spdlog::level::err);
        EXPECT_EQ(log.texts()[0], std::string("bool DynelleUSBProtocolLowLevel::") + c.handler +
                                      "(const QString&):  Expecting at least 3 chars in message \"" + c.line + "\"");
    }
}

TEST_F(Protocol, SystemVoltageKeepsRunningExtremes)
{
    receive("S 13500\nS 12000\nS 14100\n");
    EXPECT_EQ(link.systemVoltage, 14100);
    EXPECT_EQ(link.systemVoltageMin, 12000);
    EXPECT_EQ(link.systemVoltageMax, 14100);

    // A malformed value counts as 0 and takes part.
    receive("S:abc\n");
    EXPECT_EQ(link.systemVoltage, 0);
    EXPECT_EQ(link.systemVoltageMin, 0);
    EXPECT_EQ(link.systemVoltageMax, 14100);

    // A bare letter touches neither the reading nor the extremes.
    receive("S\n");
    EXPECT_EQ(link.systemVoltage, 0);
    EXPECT_EQ(link.systemVoltageMin, 0);
    EXPECT_EQ(link.systemVoltageMax, 14100);
}

TEST_F(Protocol, ResetExtremesRestartFromTheNextReading)
{
    receive("S 9000\nS 15000\n");
    link.systemVoltageMin = link.noReading;
    link.systemVoltageMax = link.noReading;

    receive("S 12000\n");
    EXPECT_EQ(link.systemVoltageMin, 12000);
    EXPECT_EQ(link.systemVoltageMax, 12000);
}

TEST_F(Protocol, LineSplitAcrossReadsIsHandledOnceComplete)
{
    receive("S 120");
    EXPECT_EQ(link.systemVoltage, link.noReading);
    EXPECT_EQ(link.readQueue.size(), 5u);

    receive("34\nT 1");
    EXPECT_EQ(link.systemVoltage, 12034);
    EXPECT_EQ(link.timeToEmpty, link.noReading);
    EXPECT_EQ(std::string(link.readQueue.begin(), link.readQueue.end()), "T 1");
}

TEST_F(Protocol, AnIncompleteLineWaitsHoweverLongItGrows)
{
    const QByteArray noise(1000, 'x');
    board.sendUnrequested(noise);
    ASSERT_TRUE(link.servicePort());
    EXPECT_EQ(link.readQueue.size(), 1000u);
    EXPECT_EQ(log.count(), 0u);

    receive("\nS 1\n");
    EXPECT_TRUE(link.readQueue.empty());
    EXPECT_EQ(link.systemVoltage, 1);
    EXPECT_EQ(log.count(spdlog::level::info), 1u); // the x line is unknown
}

TEST_F(Protocol, VersionKeepsTheWholeLineIncludingCarriageReturn)
{
    receive("V1.2\r\nS 12034\r\n");
    EXPECT_EQ(link.version, QString("V1.2\r"));
    EXPECT_EQ(link.systemVoltage, 12034);

    // Bytes become characters of the same code, and a version is never short.
    receive("V 2\xb0\n");
    EXPECT_EQ(link.version, QString::fromLatin1("V 2\xb0"));
    EXPECT_EQ(link.version.at(3).unicode(), 0xb0);
    EXPECT_TRUE(link.processReceivedLine("V"));
    EXPECT_EQ(link.version, QString("V"));
    EXPECT_EQ(log.count(), 0u);
}

TEST_F(Protocol, EmptyLinesAreDroppedSilently)
{
    receive("\n\n\nS 7\n\n");
    EXPECT_EQ(link.systemVoltage, 7);
    EXPECT_TRUE(link.readQueue.empty());
    EXPECT_EQ(log.count(), 0u);
    EXPECT_TRUE(link.processReceivedLine(QString()));
}

TEST_F(Protocol, KnownQuietLinesAndUnknownLines)
{
    receive("D 41\nH\nH 1 2 3\n");
    EXPECT_EQ(log.count(), 0u);

    receive("X 1\ns 5\n");
    EXPECT_EQ(link.systemVoltage, link.noReading); // letters are case-sensitive
    ASSERT_EQ(log.count(), 2u);
    for (const auto& entry : log.entries())
        EXPECT_EQ(entry.level, spdlog::level::info);
    EXPECT_EQ(log.texts()[0], "bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString&): \"X 1\"");
    EXPECT_EQ(log.texts()[1], "bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString&): \"s 5\"");

    EXPECT_TRUE(link.processReceivedLine("D"));
    EXPECT_TRUE(link.processReceivedLine("?"));
}

TEST_F(Protocol, OnlyTheFivePieceFuelGaugeCommentSetsTheRawFigure)
{
    receive("# getAnalogFuelGauge() = 12 345\n");
    EXPECT_EQ(link.rawAnalogFuelGauge, 345);

    for (const char* ignored : {"# getAnalogFuelGauge() = 12", "# hello", "# getAnalogFuelGauge() =  12 999",
                                "#"}) {
        EXPECT_TRUE(link.processReceivedLine(QString::fromLatin1(ignored))) << ignored;
        EXPECT_EQ(link.rawAnalogFuelGauge, 345) << ignored;
    }
    EXPECT_EQ(log.count(), 0u);
}

} // namespace
