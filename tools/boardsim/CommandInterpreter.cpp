#include "CommandInterpreter.h"

#include "BenchModel.h"
#include "BoardLine.h"
#include "Escape.h"
#include "ReplyShaper.h"
#include "RequestRecorder.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace {

CommandInterpreter::Result failure(const std::string& text)
{
    CommandInterpreter::Result result;
    result.error = text;
    return result;
}

CommandInterpreter::Result success(std::vector<std::string> lines = {})
{
    CommandInterpreter::Result result;
    result.lines = std::move(lines);
    return result;
}

std::vector<std::string> splitWords(const std::string& text)
{
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// Everything after the command word and the blank that follows it, as typed.
std::string restOfLine(const std::string& command)
{
    const size_t start = command.find_first_not_of(" \t");
    const size_t gap = command.find_first_of(" \t", start);
    if (gap == std::string::npos)
        return {};
    return command.substr(gap + 1);
}

bool parseInteger(const std::string& text, int& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || parsed < -1000000000L || parsed > 1000000000L)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// "14", "14.0" or "14.0V": volts to millivolts, rounded.
bool parseVolts(std::string text, int& millivolts)
{
    if (!text.empty() && (text.back() == 'V' || text.back() == 'v'))
        text.pop_back();
    if (text.empty())
        return false;
    char* end = nullptr;
    const double volts = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(volts) || volts < 0.0 || volts > 60.0)
        return false;
    millivolts = static_cast<int>(std::lround(volts * 1000.0));
    return true;
}

bool onOff(const std::vector<std::string>& words, size_t index, bool& value)
{
    if (words.size() <= index) {
        value = true;
        return true;
    }
    if (words[index] == "on") {
        value = true;
        return true;
    }
    if (words[index] == "off") {
        value = false;
        return true;
    }
    return false;
}

} // namespace

std::string CommandInterpreter::Result::text() const
{
    std::string out;
    for (const auto& line : lines)
        out += line + "\n";
    out += error.empty() ? "ok\n" : "error " + error + "\n";
    return out;
}

struct CommandInterpreter::Command {
    const char* section; // the heading help lists the command under
    const char* verb;
    std::string usage;   // the arguments after the verb
    const char* help;    // may run over several lines
    Result (CommandInterpreter::*handler)(const Command&, const Words&, const std::string& line);
    void (BenchModel::*setting)(int) = nullptr; // for the plain integer settings
};

const std::vector<CommandInterpreter::Command>& CommandInterpreter::commands()
{
    using C = CommandInterpreter;
    static const std::vector<Command> table = {
        {"Bench", "j1", "<volts>", "set the supply on J1 (ACDC), e.g. j1 14.0", &C::setInput},
        {"Bench", "j2", "<volts>", "set the supply on J2 (DC)", &C::setInput},
        {"Bench", "j3", "<volts>", "set the supply on J3 (battery)", &C::setInput},
        {"Bench", "drop", "<millivolts>", "drop from the supplying input to the system rail (default 100)", &C::drop},
        {"Bench", "plate", choicesOf(plateNames), "fit a G plate (single wire), a V plate (SMB) or none", &C::plate},
        {"Bench", "protocol", choicesOf(protocolNames), "the fitted battery's protocol", &C::protocol},
        {"Bench", "battery", "<volts>", "the battery's voltage", &C::battery},
        {"Bench", "capacity", "<integer>", "the battery's capacity in %", &C::setInteger, &BenchModel::setCapacity},
        {"Bench", "gauge", "<integer>", "the analog fuel gauge in %", &C::setInteger, &BenchModel::setGauge},
        {"Bench", "raw", "<integer>", "the raw fuel gauge figure", &C::setInteger, &BenchModel::setRawGauge},
        {"Bench", "runtime", "<integer>", "minutes a full battery lasts", &C::setInteger, &BenchModel::setFullRuntime},
        {"Bench", "version", "<text>", "the text after V in the version reply", &C::version},
        {"Bench", "set", "<A|B|C|G|P|S|T> <text>", "the board answers \"<letter> <text>\" whatever the bench says",
         &C::setOverride},
        {"Bench", "unset", "<letter>|all", "back to the bench's own figures", &C::unsetOverride},
        {"Faults", "fault", "[" + choicesOf(faultNames) + " [on|off] | overlong [n] | vanish | clear]",
         "alone: the faults that are on; a fault's name switches it on, or off with off;\n"
         "overlong sends one line of n characters (default 1024); vanish closes the\n"
         "board's side, as if unplugged; clear switches every fault off",
         &C::fault},
        {"Faults", "lock", "on|off", "hold the device's exclusive lock, as kw_server does", &C::lock},
        {"Faults", "send", "<text>", "send a line (escapes \\r \\n \\0 \\xHH)", &C::send},
        {"Faults", "sendraw", "<text>", "send bytes as they are (the same escapes)", &C::send},
        {"Inspection", "status", "", "the bench, the faults and the line", &C::status},
        {"Inspection", "readings", "", "the board's reply to every request letter", &C::readings},
        {"Inspection", "record", "[count|clear|dump [file]]", "request lines received, as \"<monotonic ms> <line>\"",
         &C::record},
        {"Inspection", "now", "", "the monotonic clock in ms", &C::now},
        {"Inspection", "help", "", "this list", &C::help},
        {"Inspection", "quit", "", "end the simulator", &C::quit},
        {"Inspection", "exit", "", "the same as quit", &C::quit},
    };
    return table;
}

std::string CommandInterpreter::helpText()
{
    constexpr size_t column = 28;
    std::string text;
    const char* section = "";
    for (const Command& command : commands()) {
        if (std::string(section) != command.section) {
            section = command.section;
            text += std::string(section) + ":\n";
        }
        std::string left = "  " + std::string(command.verb) + (command.usage.empty() ? "" : " " + command.usage);
        left += left.size() < column ? std::string(column - left.size(), ' ') : "\n" + std::string(column, ' ');
        std::istringstream help(command.help);
        for (std::string helpLine; std::getline(help, helpLine); left = std::string(column, ' '))
            text += left + helpLine + "\n";
    }
    return text;
}

CommandInterpreter::Result CommandInterpreter::usageError(const Command& command)
{
    return failure("usage: " + std::string(command.verb) + (command.usage.empty() ? "" : " " + command.usage));
}

CommandInterpreter::CommandInterpreter(BenchModel& benchModel, ReplyShaper& replyShaper,
                                       RequestRecorder& requestRecorder, BoardLine& boardLine)
    : model(benchModel), shaper(replyShaper), recorder(requestRecorder), line(boardLine)
{
}

CommandInterpreter::Result CommandInterpreter::execute(const std::string& command)
{
    const Words words = splitWords(command);
    if (words.empty())
        return success();
    for (const Command& entry : commands())
        if (words[0] == entry.verb)
            return (this->*entry.handler)(entry, words, command);
    return failure("unknown command \"" + escapeBytes(words[0]) + "\" (try help)");
}

CommandInterpreter::Result CommandInterpreter::help(const Command&, const Words&, const std::string&)
{
    std::vector<std::string> lines;
    std::istringstream text(helpText());
    for (std::string helpLine; std::getline(text, helpLine);)
        lines.push_back(helpLine);
    return success(lines);
}

CommandInterpreter::Result CommandInterpreter::readings(const Command&, const Words&, const std::string&)
{
    std::vector<std::string> lines;
    for (const char* request : {"S", "P", "C", "T", "A", "B", "G", "V"})
        for (const auto& reply : model.answer(request))
            lines.push_back(escapeBytes(reply));
    return success(lines);
}

CommandInterpreter::Result CommandInterpreter::setInput(const Command& command, const Words& words, const std::string&)
{
    if (words.size() != 2)
        return usageError(command);
    int millivolts = 0;
    if (!parseVolts(words[1], millivolts))
        return failure("not a voltage between 0 and 60: " + words[1]);
    model.setInputVoltage(command.verb[1] - '1', millivolts);
    return success();
}

CommandInterpreter::Result CommandInterpreter::drop(const Command& command, const Words& words, const std::string&)
{
    int value = 0;
    if (words.size() != 2 || !parseInteger(words[1], value) || value < 0)
        return usageError(command);
    model.setDrop(value);
    return success();
}

CommandInterpreter::Result CommandInterpreter::plate(const Command& command, const Words& words, const std::string&)
{
    BenchModel::Plate plate{};
    if (words.size() != 2 || !valueOf(plateNames, words[1], plate))
        return usageError(command);
    model.setPlate(plate);
    return success();
}

CommandInterpreter::Result CommandInterpreter::protocol(const Command& command, const Words& words, const std::string&)
{
    BenchModel::Protocol protocol{};
    if (words.size() != 2 || !valueOf(protocolNames, words[1], protocol))
        return usageError(command);
    model.setProtocol(protocol);
    return success();
}

CommandInterpreter::Result CommandInterpreter::battery(const Command& command, const Words& words, const std::string&)
{
    int millivolts = 0;
    if (words.size() != 2 || !parseVolts(words[1], millivolts))
        return usageError(command);
    model.setBatteryVoltage(millivolts);
    return success();
}

CommandInterpreter::Result CommandInterpreter::setInteger(const Command& command, const Words& words, const std::string&)
{
    int value = 0;
    if (words.size() != 2 || !parseInteger(words[1], value))
        return usageError(command);
    (model.*command.setting)(value);
    return success();
}

CommandInterpreter::Result CommandInterpreter::version(const Command&, const Words&, const std::string& text)
{
    model.setVersion(restOfLine(text));
    return success();
}

CommandInterpreter::Result CommandInterpreter::setOverride(const Command& command, const Words& words,
                                                           const std::string& text)
{
    static const std::string letters = "ABCGPST";
    if (words.size() < 3 || words[1].size() != 1 || letters.find(words[1][0]) == std::string::npos)
        return usageError(command);
    model.setOverride(words[1][0], restOfLine(restOfLine(text)));
    return success();
}

CommandInterpreter::Result CommandInterpreter::unsetOverride(const Command& command, const Words& words,
                                                             const std::string&)
{
    if (words.size() != 2)
        return usageError(command);
    if (words[1] == "all")
        model.clearOverrides();
    else if (words[1].size() != 1 || !model.clearOverride(words[1][0]))
        return failure("no override for " + words[1]);
    return success();
}

CommandInterpreter::Result CommandInterpreter::fault(const Command& command, const Words& words, const std::string&)
{
    if (words.size() == 1) {
        std::string names;
        for (const auto& name : shaper.activeFaults())
            names += (names.empty() ? "" : " ") + name;
        return success({names.empty() ? "faults: none" : "faults: " + names});
    }
    const std::string& name = words[1];
    if (name == "clear") {
        shaper.faults = ReplyShaper::Faults{};
        line.transmit(shaper.flushHeld());
        return success();
    }
    if (name == "vanish") {
        line.vanish();
        return success();
    }
    if (name == "overlong") {
        int length = 1024;
        if (words.size() > 2 && (!parseInteger(words[2], length) || length < 1 || length > 1000000))
            return usageError(command);
        line.transmit("X" + std::string(static_cast<size_t>(length - 1), 'x') + "\n");
        return success();
    }
    bool ReplyShaper::Faults::*flag = nullptr;
    bool on = true;
    if (!valueOf(faultNames, name, flag) || words.size() > 3 || !onOff(words, 2, on))
        return usageError(command);
    shaper.faults.*flag = on;
    if (flag == &ReplyShaper::Faults::split && !on)
        line.transmit(shaper.flushHeld());
    return success();
}

CommandInterpreter::Result CommandInterpreter::lock(const Command& command, const Words& words, const std::string&)
{
    bool locked = false;
    if (words.size() != 2 || !onOff(words, 1, locked))
        return usageError(command);
    std::string error;
    if (!line.setLocked(locked, error))
        return failure(error);
    return success();
}

CommandInterpreter::Result CommandInterpreter::send(const Command& command, const Words&, const std::string& text)
{
    std::string bytes;
    if (!unescapeBytes(restOfLine(text), bytes))
        return failure("bad escape in " + std::string(command.verb));
    line.transmit(std::string(command.verb) == "send" ? bytes + "\n" : bytes);
    return success();
}

CommandInterpreter::Result CommandInterpreter::record(const Command& command, const Words& words, const std::string&)
{
    if (words.size() == 1 || (words[1] == "dump" && words.size() == 2)) {
        std::vector<std::string> lines;
        for (const auto& entry : recorder.all())
            lines.push_back(RequestRecorder::format(entry));
        return success(lines);
    }
    if (words[1] == "count" && words.size() == 2)
        return success({std::to_string(recorder.all().size())});
    if (words[1] == "clear" && words.size() == 2) {
        recorder.clear();
        return success();
    }
    if (words[1] == "dump" && words.size() == 3) {
        std::string error;
        if (!recorder.dumpTo(words[2], error))
            return failure(error);
        return success();
    }
    return usageError(command);
}

CommandInterpreter::Result CommandInterpreter::now(const Command&, const Words&, const std::string&)
{
    return success({std::to_string(monotonicMilliseconds())});
}

CommandInterpreter::Result CommandInterpreter::quit(const Command&, const Words&, const std::string&)
{
    line.requestQuit();
    return success();
}

CommandInterpreter::Result CommandInterpreter::status(const Command&, const Words&, const std::string&)
{
    std::vector<std::string> lines = model.describe();
    lines.push_back("version \"V" + escapeBytes(model.version()) + "\"");
    std::string names;
    for (const auto& name : shaper.activeFaults())
        names += " " + name;
    lines.push_back("faults:" + (names.empty() ? std::string(" none") : names));
    for (const auto& item : line.lineStatus())
        lines.push_back(item);
    lines.push_back("requests recorded: " + std::to_string(recorder.all().size()));
    return success(lines);
}
