#include "tools/unit-flash/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace UnitFlash {

const char* const usageText =
    "usage: unit-flash [options] COMMAND ...\n"
    "  parts                          list the flash partitions of /proc/mtd\n"
    "  erase DEVICE [SIZE [OFFSET]]   erase a partition, or SIZE bytes from OFFSET\n"
    "  copy SOURCE DEST [SIZE [OFFSET]]\n"
    "                                 copy between files and partitions; OFFSET is\n"
    "                                 where to write flash, else where to read;\n"
    "                                 flash is read back and compared afterwards\n"
    "  verify SOURCE DEST [SIZE [OFFSET]]\n"
    "                                 compare DEST from OFFSET with SOURCE\n"
    "  header FILE                    show the header of a .bit or .jed file\n"
    "  fuses FILE.jed --bits-per-row N [OUT]\n"
    "                                 write the fuse rows as binary (default: stdout)\n"
    "A DEVICE, SOURCE or DEST is a file, an MTD device, mtd:NAME for the partition\n"
    "of that name, or - for standard input or output. SIZE and OFFSET are bytes,\n"
    "decimal, 0x hexadecimal, or with a K or M suffix.\n"
    "options:\n"
    "  --progress       percentages, one a line, on standard error\n"
    "  --noisy          messages and an in-place percentage on standard error\n"
    "  --no-erase       copy to flash without erasing it first\n"
    "  --no-verify      do not read flash back after a copy\n"
    "  --root DIR       work on the simulated unit in DIR\n"
    "  --help           this text\n"
    "Exit status: 0 on success, else the negated code of the step that failed;\n"
    "6 when verification finds a difference, 64 for a command-line mistake.\n";

bool parseAmount(const std::string& text, long& amount)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str())
        return false;
    long long scale = 1;
    const std::string suffix(end);
    if (suffix == "K" || suffix == "k")
        scale = 1024;
    else if (suffix == "M" || suffix == "m")
        scale = 1024 * 1024;
    else if (!suffix.empty())
        return false;
    if (value > LONG_MAX / scale)
        return false;
    amount = static_cast<long>(value * scale);
    return true;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    const struct {
        const char* name;
        bool CommandLine::*flag;
    } switches[] = {{"--progress", &CommandLine::progress}, {"--noisy", &CommandLine::noisy},
                    {"--no-erase", &CommandLine::noErase},  {"--no-verify", &CommandLine::noVerify},
                    {"--help", &CommandLine::help},         {"-h", &CommandLine::help}};
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool matched = false;
        for (const auto& entry : switches)
            if (argument == entry.name) {
                line.*entry.flag = true;
                matched = true;
            }
        if (matched)
            continue;
        if (argument == "--root" || argument == "--bits-per-row") {
            if (i + 1 == arguments.size()) {
                line.error = argument + " needs a value";
                return line;
            }
            const std::string& value = arguments[++i];
            long bits = 0;
            if (argument == "--root")
                line.root = value;
            else if (parseAmount(value, bits) && bits > 0 && bits <= INT_MAX)
                line.bitsPerRow = static_cast<int>(bits);
            else {
                line.error = "--bits-per-row wants a positive number, not \"" + value + "\"";
                return line;
            }
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            line.error = "unknown option " + argument;
            return line;
        } else if (line.command.empty()) {
            line.command = argument;
        } else {
            line.operands.push_back(argument);
        }
    }
    if (line.command.empty() && !line.help)
        line.error = "no command given";
    return line;
}

} // namespace UnitFlash
