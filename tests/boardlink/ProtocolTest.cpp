#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "tests/support/CapturingLogger.h"
#include "tests/support/FakeBoardDevice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Lines = std::vector<std::string>;
using Link = DynelleUSBProtocolLowLevel;

class Protocol : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.openPort()); }

    void receive(const QByteArray& bytes)
    {
        board.sendInOneRead(bytes);
        ASSERT_TRUE(link.servicePort());
    }

    CapturingLogger log;
    FakeBoardDevice board;
    Link link{board};
};

TEST_F(Protocol, EachLetterSetsItsReadingAndAShortLineIsAnError)
{
    const struct {
        char letter;
        int Link::*reading;
        const char* handler;
    } cases[] = {
        {'A', &Link::analogFuelGauge, "RXAnalogFuelGauge"}, {'B', &Link::batteryInterface, "RXBatteryInterface"},
        {'C', &Link::batteryCapacity, "RXBatteryCapacity"}, {'G', &Link::batteryVoltage, "RXBatteryVoltage"},
        {'P', &Link::powerSource, "RXPowerSource"},         {'S', &Link::systemVoltage, "RXSystemVoltage"},
        {'T', &Link::timeToEmpty, "RXTimeToEmpty"},
    };
    for (const auto& c : cases) {
        const QByteArray letter(1, c.letter);
        receive(letter + " 3x\n");
        EXPECT_EQ(link.*c.reading, 0) << c.letter; // a malformed number is no error
        receive(letter + " -12\r\n");
        EXPECT_EQ(link.*c.reading, -12) << c.letter;

        log.clear();
        EXPECT_FALSE(link.processReceivedLine(letter + ' '));
        EXPECT_EQ(link.*c.reading, -12) << c.letter;
        EXPECT_EQ(log.lines(), Lines{"error: bool DynelleUSBProtocolLowLevel::" + std::string(c.handler)
                                     + "(const QString&):  Expecting at least 3 chars in message \"" + c.letter
                                     + " \""});
    }
}

TEST_F(Protocol, SystemVoltageKeepsItsExtremesUntilTheyAreReset)
{
    receive("S 13500\nS 12000\nS 14100\nS\n"); // a short line takes no part
    EXPECT_EQ(link.systemVoltageMin, 12000);
    EXPECT_EQ(link.systemVoltageMax, 14100);

    link.systemVoltageMin = link.systemVoltageMax = link.noReading;
    receive("S 13000\n");
    EXPECT_EQ(link.systemVoltageMin, 13000);
    EXPECT_EQ(link.systemVoltageMax, 13000);
}

TEST_F(Protocol, SplitAndEmptyLinesAndTheWholeVersionLine)
{
    receive("\n\nV 2\xb0\r\nS 120");
    EXPECT_EQ(link.version, QString::fromLatin1("V 2\xb0\r"));
    EXPECT_EQ(link.systemVoltage, link.noReading);
    receive("34\n\nT 1");
    EXPECT_EQ(link.systemVoltage, 12034);
    EXPECT_EQ(link.timeToEmpty, link.noReading);
    EXPECT_EQ(std::string(link.readQueue.begin(), link.readQueue.end()), "T 1");
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(Protocol, QuietAndUnknownLines)
{
    receive("D 41\nH 1 2\nX 1\ns 5\n");
    EXPECT_EQ(link.systemVoltage, link.noReading); // letters are case-sensitive
    EXPECT_EQ(log.lines(), (Lines{"info: bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString&): \"X 1\"",
                                  "info: bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString&): \"s 5\""}));
}

TEST_F(Protocol, OnlyTheFivePieceFuelGaugeCommentSetsTheRawFigure)
{
    receive("# getAnalogFuelGauge() = 12 345\n# getAnalogFuelGauge() =  12 999\n# getAnalogFuelGauge() = 12\n");
    EXPECT_EQ(link.rawAnalogFuelGauge, 345);
    EXPECT_TRUE(log.lines().empty());
}

} // namespace
