#include "tools/dynelle-yield/ResultsLog.h"

#include <array>
#include <cctype>
#include <utility>

namespace Tessaly {

namespace {

// Cuts the next line (without its line feed) off the front of `text`.
bool nextLine(std::string_view& text, std::string_view& line)
{
    if (text.empty())
        return false;
    const size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return true;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Reads `digits` decimal digits at `at`; false when any is not a digit.
bool number(std::string_view text, size_t at, size_t digits, int& value)
{
    if (at + digits > text.size())
        return false;
    value = 0;
    for (size_t i = at; i < at + digits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "Tests Started: HH:MM DD/MM/YYYY"
bool parseStarted(std::string_view line, int64_t& started)
{
    constexpr std::string_view prefix = "Tests Started: ";
    if (!startsWith(line, prefix) || line.size() != prefix.size() + 16)
        return false;
    const std::string_view when = line.substr(prefix.size());
    int hour, minute, day, month, year;
    if (!number(when, 0, 2, hour) || when[2] != ':' || !number(when, 3, 2, minute) || when[5] != ' ' ||
        !number(when, 6, 2, day) || when[8] != '/' || !number(when, 9, 2, month) || when[11] != '/' ||
        !number(when, 12, 4, year))
        return false;
    if (hour > 23 || minute > 59 || day < 1 || day > 31 || month < 1 || month > 12)
        return false;
    started = ((int64_t(year) * 100 + month) * 100 + day) * 10000 + hour * 100 + minute;
    return true;
}

constexpr std::array<std::pair<std::string_view, LoggedState>, 5> kStates = {{
    {"PASSED  - ", LoggedState::Passed},
    {"FAIL!!  - ", LoggedState::Failed},
    {"SKIPPED - ", LoggedState::Skipped},
    {"Not Run - ", LoggedState::NotRun},
    {"*ERROR* - ", LoggedState::Error},
}};

} // namespace

bool parseResultsLog(std::string_view text, ResultsLog& log, std::string& error)
{
    log = ResultsLog{};
    std::string_view line;
    int number = 0;
    const auto fail = [&](const char* what) {
        error = "line " + std::to_string(number) + ": " + what;
        return false;
    };

    ++number;
    if (!nextLine(text, line) || line != "Dynelle Test Log")
        return fail("not a results log (no \"Dynelle Test Log\" title)");
    ++number;
    if (!nextLine(text, line) || line != "~~~~~~~~~~~~~~~~~~~~")
        return fail("expected the line of twenty tildes");
    ++number;
    if (!nextLine(text, line) || !line.empty())
        return fail("expected an empty line");
    ++number;
    if (!nextLine(text, line) || !parseStarted(line, log.started))
        return fail("expected \"Tests Started: HH:MM DD/MM/YYYY\"");
    ++number;
    if (!nextLine(text, line) || !startsWith(line, "Serial No: "))
        return fail("expected \"Serial No: \"");
    log.serial = line.substr(11);

    ++number;
    if (!nextLine(text, line))
        return fail("cut short before the initialisation result");
    if (startsWith(line, "tr417 sw version: ")) {
        log.version = line.substr(18);
        ++number;
        if (!nextLine(text, line) || !line.empty())
            return fail("expected an empty line after the version");
        ++number;
        if (!nextLine(text, line) || line != "PASSED - Initialisation Tests")
            return fail("expected \"PASSED - Initialisation Tests\"");
    } else if (startsWith(line, "FAIL!! - ")) {
        log.initialisationFailure = line.substr(9);
        if (log.initialisationFailure.empty())
            return fail("initialisation failure without a reason");
    } else {
        return fail("expected the board's version or an initialisation failure");
    }

    while (++number, nextLine(text, line)) {
        bool known = false;
        for (const auto& [prefix, state] : kStates) {
            if (startsWith(line, prefix) && line.size() > prefix.size()) {
                log.results.push_back({line.substr(prefix.size()), state});
                known = true;
                break;
            }
        }
        if (!known)
            return fail("not a result line");
    }
    return true;
}

bool parseIsoDate(std::string_view text, int64_t& yyyymmdd)
{
    int year, month, day;
    if (text.size() != 10 || !number(text, 0, 4, year) || text[4] != '-' || !number(text, 5, 2, month) ||
        text[7] != '-' || !number(text, 8, 2, day) || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    yyyymmdd = (int64_t(year) * 100 + month) * 100 + day;
    return true;
}

} // namespace Tessaly
