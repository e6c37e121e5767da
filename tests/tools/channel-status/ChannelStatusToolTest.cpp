#include "tools/channel-status/ChannelStatusInput.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <initializer_list>
#include <string>

using namespace Tessaly;

namespace {

// Runs the tool and expects its exit status and every text given in its output. Inputs are hex, blanks and '#'
// only, so printf passes them through as they are.
void expectRun(const std::string& arguments, const std::string& input, int status,
               std::initializer_list<const char*> texts)
{
    const std::string command = "printf '" + input + "' | " + CHANNEL_STATUS_TOOL + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int ended = pclose(pipe);
    EXPECT_EQ(WIFEXITED(ended) ? WEXITSTATUS(ended) : -1, status) << out;
    for (const char* text : texts)
        EXPECT_NE(out.find(text), std::string::npos) << text << " in\n" << out;
}

// Professional, 48 kHz, 24-bit words, origin "ST01", CRC valid.
const char* const goodBlock = "85 00 2C 00 00 00 53 54 30 31 00 00 00 00 00 00 00 00 00 00 00 00 00 15";

} // namespace

TEST(ChannelStatusInput, ReadsHexInEveryUsualShape)
{
    // Spaced pairs and a short line: the tool runs below.
    std::string error;
    EXPECT_EQ(parseChannelStatusHex("852c" + std::string(44, '0'), error).value()[1], 0x2C);
    EXPECT_EQ(parseChannelStatusHex("0x85,0x1,2:3-4 5 6 7 8 9 a b c d e f 10 11 12 13 14 15 16 17", error).value()[1], 0x01);

    for (const char* bad : {"85 00 2C 00 00 00 53 54 30 31 00 00 00 00 00 00 00 00 00 00 00 00 00 A6 00",
                            "zz", "123 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", ""})
        EXPECT_FALSE(parseChannelStatusHex(bad, error)) << bad; // that a refusal says why is the fuzz oracle's
    EXPECT_EQ(printableText(QStringLiteral("A") + QChar(0) + QChar(0x1B) + QStringLiteral("\\") + QChar(0xB5)),
              "A\\x00\\x1B\\x5C\xC2\xB5");
}

TEST(ChannelStatusTool, DecodesABlockWithItsCrc)
{
    expectRun(goodBlock, "", 0,
              {"status: CRCC Ok\n", "frequency: 48\n", "wordLength: 24/24\n", "origin: ST01\n",
               "crc: computed 0x15, received 0x15: match\n"});
    std::string corrupted = goodBlock;
    corrupted.replace(corrupted.size() - 2, 2, "16");
    expectRun(corrupted, "", 2, {"status: CRCC Bad\n", "MISMATCH"});
}

TEST(ChannelStatusTool, ReadsManyLinesAndWritesJson)
{
    const std::string consumer = "04 01 00 02 0B 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    expectRun("--json", std::string("# captured on input 3\n") + goodBlock + "\n\n" + consumer + "\n", 0,
              {"\"frequency\":\"48\"", "\"matches\":true", "\"category\":\"0x01 Laser optical\"",
               "\"copyright\":\"No copyright asserted\"", "\"wordLength\":\"24/24\""});
    // Channel mode code 3 is unassigned; the CRC itself is right.
    expectRun("-", "01 03 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 57\n", 2, {});
    expectRun("-", "85 00\n", 1, {"line 1: expected 24 bytes, got 2"});
    expectRun("--frobnicate", "", 1, {});
}
