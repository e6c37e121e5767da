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

CommandInterpreter::CommandInterpreter(BenchModel& benchModel, ReplyShaper& replyShaper,
                                       RequestRecorder& requestRecorder, BoardLine& boardLine)
    : model(benchModel), shaper(replyShaper), recorder(requestRecorder), line(boardLine)
{
}

const char* CommandInterpreter::helpText()
{
    return "Bench:\n"
           "  j1 <V> | j2 <V> | j3 <V>   set the supply on J1 (ACDC), J2 (DC) or J3 (battery), e.g. j1 14.0\n"
           "  drop <mV>                  drop from the supplying input to the system rail (default 100)\n"
           "  plate g|v|none             fit a G plate (single wire), a V plate (SMB) or none\n"
           "  protocol single|smb|i2c|none   the fitted battery's protocol\n"
           "  battery <V> | capacity <%> | gauge <%> | raw <n> | runtime <min>\n"
           "  version <text>             the text after V in the version reply\n"
           "  set <A|B|C|G|P|S|T> <text> the board answers \"<letter> <text>\" whatever the bench says\n"
           "  unset <letter>|all         back to the bench's own figures\n"
           "Faults:\n"
           "  fault <silence|noversion|crlf|nul|garbage|split> [on|off]\n"
           "  fault overlong [n]         send one line of n characters (default 1024)\n"
           "  fault vanish               close the board's side, as if unplugged\n"
           "  fault clear                all faults off\n"
           "  lock on|off                hold the device's exclusive lock, as kw_server does\n"
           "  send <text> | sendraw <text>  send a line (escapes \\r \\n \\0 \\xHH) / bytes as they are\n"
           "Inspection:\n"
           "  status | readings | fault\n"
           "  record [count|clear|dump [file]]   request lines received, as \"<monotonic ms> <line>\"\n"
           "  now                        the monotonic clock in ms\n"
           "  quit\n";
}

CommandInterpreter::Result CommandInterpreter::execute(const std::string& command)
{
    const std::vector<std::string> words = splitWords(command);
    if (words.empty())
        return success();
    const std::string& verb = words[0];
    int value = 0;

    if (verb == "help") {
        std::vector<std::string> lines;
        std::istringstream help(helpText());
        for (std::string text; std::getline(help, text);)
            lines.push_back(text);
        return success(lines);
    }
    if (verb == "status")
        return status();
    if (verb == "readings") {
        std::vector<std::string> lines;
        for (const char* request : {"S", "P", "C", "T", "A", "B", "G", "V"})
            for (const auto& reply : model.answer(request))
                lines.push_back(escapeBytes(reply));
        return success(lines);
    }
    if (verb == "j1" || verb == "j2" || verb == "j3")
        return words.size() == 2 ? setInput(verb[1] - '1', words[1]) : failure("usage: " + verb + " <volts>");
    if (verb == "drop") {
        if (words.size() != 2 || !parseInteger(words[1], value) || value < 0)
            return failure("usage: drop <millivolts>");
        model.setDrop(value);
        return success();
    }
    if (verb == "plate") {
        if (words.size() == 2 && words[1] == "g")
            model.setPlate(BenchModel::Plate::G);
        else if (words.size() == 2 && words[1] == "v")
            model.setPlate(BenchModel::Plate::V);
        else if (words.size() == 2 && words[1] == "none")
            model.setPlate(BenchModel::Plate::None);
        else
            return failure("usage: plate g|v|none");
        return success();
    }
    if (verb == "protocol") {
        if (words.size() == 2 && words[1] == "single")
            model.setProtocol(BenchModel::Protocol::SingleWire);
        else if (words.size() == 2 && words[1] == "smb")
            model.setProtocol(BenchModel::Protocol::Smb);
        else if (words.size() == 2 && words[1] == "i2c")
            model.setProtocol(BenchModel::Protocol::I2c);
        else if (words.size() == 2 && words[1] == "none")
            model.setProtocol(BenchModel::Protocol::None);
        else
            return failure("usage: protocol single|smb|i2c|none");
        return success();
    }
    if (verb == "battery") {
        if (words.size() != 2 || !parseVolts(words[1], value))
            return failure("usage: battery <volts>");
        model.setBatteryVoltage(value);
        return success();
    }
    if (verb == "capacity" || verb == "gauge" || verb == "raw" || verb == "runtime") {
        if (words.size() != 2 || !parseInteger(words[1], value))
            return failure("usage: " + verb + " <integer>");
        if (verb == "capacity")
            model.setCapacity(value);
        else if (verb == "gauge")
            model.setGauge(value);
        else if (verb == "raw")
            model.setRawGauge(value);
        else
            model.setFullRuntime(value);
        return success();
    }
    if (verb == "version") {
        model.setVersion(restOfLine(command));
        return success();
    }
    if (verb == "set") {
        static const std::string letters = "ABCGPST";
        if (words.size() < 3 || words[1].size() != 1 || letters.find(words[1][0]) == std::string::npos)
            return failure("usage: set <A|B|C|G|P|S|T> <text>");
        model.setOverride(words[1][0], restOfLine(restOfLine(command)));
        return success();
    }
    if (verb == "unset") {
        if (words.size() != 2)
            return failure("usage: unset <letter>|all");
        if (words[1] == "all")
            model.clearOverrides();
        else if (words[1].size() != 1 || !model.clearOverride(words[1][0]))
            return failure("no override for " + words[1]);
        return success();
    }
    if (verb == "fault")
        return fault(words);
    if (verb == "lock") {
        bool locked = false;
        if (words.size() != 2 || !onOff(words, 1, locked))
            return failure("usage: lock on|off");
        std::string error;
        if (!line.setLocked(locked, error))
            return failure(error);
        return success();
    }
    if (verb == "send" || verb == "sendraw") {
        std::string bytes;
        if (!unescapeBytes(restOfLine(command), bytes))
            return failure("bad escape in " + verb);
        line.transmit(verb == "send" ? bytes + "\n" : bytes);
        return success();
    }
    if (verb == "record")
        return record(words);
    if (verb == "now")
        return success({std::to_string(monotonicMilliseconds())});
    if (verb == "quit" || verb == "exit") {
        line.requestQuit();
        return success();
    }
    return failure("unknown command \"" + escapeBytes(verb) + "\" (try help)");
}

CommandInterpreter::Result CommandInterpreter::setInput(int input, const std::string& argument)
{
    int millivolts = 0;
    if (!parseVolts(argument, millivolts))
        return failure("not a voltage between 0 and 60: " + argument);
    model.setInputVoltage(input, millivolts);
    return success();
}

CommandInterpreter::Result CommandInterpreter::fault(const std::vector<std::string>& words)
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
            return failure("usage: fault overlong [length]");
        line.transmit("X" + std::string(static_cast<size_t>(length - 1), 'x') + "\n");
        return success();
    }
    bool* flag = nullptr;
    if (name == "silence")
        flag = &shaper.faults.silence;
    else if (name == "noversion")
        flag = &shaper.faults.noVersion;
    else if (name == "crlf")
        flag = &shaper.faults.crlf;
    else if (name == "nul")
        flag = &shaper.faults.nul;
    else if (name == "garbage")
        flag = &shaper.faults.garbage;
    else if (name == "split")
        flag = &shaper.faults.split;
    bool on = true;
    if (flag == nullptr || words.size() > 3 || !onOff(words, 2, on))
        return failure("usage: fault silence|noversion|crlf|nul|garbage|split [on|off], "
                       "fault overlong [n], fault vanish, fault clear");
    *flag = on;
    if (flag == &shaper.faults.split && !on)
        line.transmit(shaper.flushHeld());
    return success();
}

CommandInterpreter::Result CommandInterpreter::record(const std::vector<std::string>& words)
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
    return failure("usage: record [count|clear|dump [file]]");
}

CommandInterpreter::Result CommandInterpreter::status() const
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
