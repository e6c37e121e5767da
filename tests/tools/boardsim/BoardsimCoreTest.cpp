#include "tools/boardsim/BenchModel.h"
#include "tools/boardsim/BoardLine.h"
#include "tools/boardsim/CommandInterpreter.h"
#include "tools/boardsim/ReplyShaper.h"
#include "tools/boardsim/RequestRecorder.h"
#include <gtest/gtest.h>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The line as the commands see it: what they send and ask for, kept.
struct RecordingLine : BoardLine {
    void transmit(const std::string& bytes) override { sent += bytes; }
    void vanish() override { vanished = true; }
    bool setLocked(bool on, std::string&) override
    {
        locked = on;
        return true;
    }
    std::vector<std::string> lineStatus() const override { return {"line: test"}; }
    void requestQuit() override { quit = true; }
    std::string sent;
    bool vanished = false, locked = false, quit = false;
};

class Bench : public ::testing::Test {
protected:
    // Runs blank-separated commands joined by ';', each of which must succeed.
    void run(const std::string& commands)
    {
        std::istringstream list(commands);
        for (std::string command; std::getline(list, command, ';');)
            ASSERT_EQ(interpreter.execute(command).text(), "ok\n") << command;
    }

    BenchModel model;
    ReplyShaper shaper;
    RequestRecorder recorder;
    RecordingLine line;
    CommandInterpreter interpreter{model, shaper, recorder, line};
};

// The supply's knob moves through the voltages in turn; after the last the input is live or not.
TEST_F(Bench, HysteresisEdgesAt104And107And173And178RisingAndFalling)
{
    const std::pair<const char*, bool> sweeps[] = {
        {"10.69", false}, {"10.7", true}, {"10.55", false}, {"14 10.55", true}, {"14 10.41", true}, {"14 10.4", false},
        {"17.79", true}, {"17.8", false}, {"14 17.55", true}, {"20 17.55", false}, {"20 17.31", false},
        {"20 17.3", true}, {"20 10.4", false}, {"0", false},
    };
    for (const auto& [sweep, live] : sweeps) {
        run("j2 0");
        std::istringstream volts(sweep);
        for (std::string step; volts >> step;)
            run("j2 " + step);
        EXPECT_EQ(model.input(1).live(), live) << sweep;
    }
}

// The other replies' values and letters are in the rail and battery table.
TEST_F(Bench, ReplyToEveryRequest)
{
    run("j1 14;plate g;set C 0x7;version 2.5 sim");
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"A", {"# getAnalogFuelGauge() = 78 2048", "A 78"}}, {"C", {"C 0x7"}}, {"V", {"V2.5 sim"}},
        {"S\r", {"S 13900"}}, {"D2", {"D2"}}, {"", {}}, {"\r", {}}, {"s", {"# unknown request \"s\""}},
        {"SP", {"# unknown request \"SP\""}}, {"\x01", {"# unknown request \"\\x01\""}},
    };
    for (const auto& [request, replies] : rows)
        EXPECT_EQ(model.answer(request), replies) << request;
    run("unset C");
    EXPECT_EQ(model.answer("C"), std::vector<std::string>{"C 80"});
}

// The live input of highest priority feeds the rail, less the drop (the plan's other inputs and pairs are shown
// end to end by the whole plan passing on the simulator).
TEST_F(Bench, RailBatteryPlateAndProtocolCombinations)
{
    // Bench commands, then the replies to S, P, B, C, T, A (its value line) and G.
    const std::pair<const char*, const char*> rows[] = {
        {"", "S 0|P 0|B -1|C -1|T -1|A -1|G -1"},
        {"j1 20;j2 12", "S 11900|P 2|B -1|C -1|T -1|A -1|G -1"},
        {"j1 14;j3 12", "S 13900|P 5|B -1|C -1|T -1|A -1|G -1"},
        {"j1 14;drop 500", "S 13500|P 1|B -1|C -1|T -1|A -1|G -1"},
        {"j1 14;drop 14500", "S 0|P 1|B -1|C -1|T -1|A -1|G -1"},
        {"j3 12;plate g", "S 11900|P 4|B 1|C 80|T 192|A 78|G 12600"},
        {"j3 12;plate g;capacity 50;runtime 100", "S 11900|P 4|B 1|C 50|T 50|A 78|G 12600"},
        {"j1 14;plate v;protocol i2c", "S 13900|P 1|B 3|C 80|T -2|A -1|G 12600"},
        {"j1 14;plate g;protocol smb;gauge 40;battery 11.9", "S 13900|P 1|B 2|C 80|T -2|A 40|G 11900"},
        {"j1 14;plate g;protocol none", "S 13900|P 1|B 0|C 80|T -2|A 78|G 12600"},
    };
    for (const auto& [bench, expected] : rows) {
        model = BenchModel{};
        run(bench);
        std::string replies;
        for (const char* request : {"S", "P", "B", "C", "T", "A", "G"})
            replies += (replies.empty() ? "" : "|") + model.answer(request).back();
        EXPECT_EQ(replies, expected) << bench;
    }
}

TEST_F(Bench, EachFaultShapesTheBytes)
{
    const std::vector<std::string> replies = {"S 13900", "V1.0 x"};
    run("fault crlf;fault nul");
    EXPECT_EQ(shaper.shape(replies), std::string("S 13900\r\n\0V1.0 x\r\n\0", 19));

    // Garbage (with crlf and nul cleared): a line of noise before every reply that starts with nothing the host
    // dispatches on.
    run("fault clear;fault garbage");
    std::istringstream lines(shaper.shape(replies));
    for (const char* reply : {"S 13900", "V1.0 x"}) {
        std::string noise, text;
        ASSERT_TRUE(std::getline(lines, noise) && std::getline(lines, text));
        EXPECT_TRUE(noise.size() >= 5 && noise[0] != '#' && !std::isupper(static_cast<unsigned char>(noise[0])) && noise.find('\0') == noise.npos)
            << noise;
        EXPECT_EQ(text, reply);
    }

    // Split: the last line's tail waits for the next batch, or goes out when the fault is switched off.
    run("fault clear;fault split");
    const std::string head = shaper.shape(replies);
    EXPECT_TRUE(head.size() > 8 && head.size() < 15 && head.compare(0, 8, "S 13900\n") == 0) << head;
    const std::string next = shaper.shape({"P 1"});
    EXPECT_EQ(head + next + shaper.flushHeld(), "S 13900\nV1.0 x\nP 1\n");
    const std::string again = shaper.shape(replies);
    run("fault split off");
    EXPECT_EQ(again + line.sent, "S 13900\nV1.0 x\n");
    EXPECT_FALSE(shaper.hasHeld());
}

// The usage texts come from one table through one formatter: one verb stands for all.
TEST_F(Bench, CommandAnswersUsageErrorsAndLineActions)
{
    const std::pair<const char*, const char*> rows[] = {
        {"", "ok\n"},
        {"fault", "faults: none\nok\n"},
        {"j1", "error usage: j1 <volts>\n"},
        {"j3 61", "error not a voltage between 0 and 60: 61\n"},
        {"drop -1", "error usage: drop <millivolts>\n"},
        {"set Q 1", "error usage: set <A|B|C|G|P|S|T> <text>\n"},
        {"unset S", "error no override for S\n"},
        {"fault hum", "error usage: fault [silence|noversion|crlf|nul|garbage|split [on|off] | overlong [n] | vanish | clear]\n"},
        {"send \\q", "error bad escape in send\n"},
        {"frob \x1b", "error unknown command \"frob\" (try help)\n"},
    };
    for (const auto& [command, text] : rows)
        EXPECT_EQ(interpreter.execute(command).text(), text) << command;
    run("fault split;fault crlf");
    EXPECT_EQ(interpreter.execute("fault").text(), "faults: crlf split\nok\n");

    run("send V1.0\\r;sendraw a\\x00b;fault overlong 5;lock on;fault vanish;quit");
    EXPECT_EQ(line.sent, std::string("V1.0\r\na\0bXxxxx\n", 15));
    EXPECT_TRUE(line.locked && line.vanished && line.quit);
}

} // namespace
