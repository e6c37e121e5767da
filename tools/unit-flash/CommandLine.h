#pragma once

#include <string>
#include <vector>

namespace UnitFlash {

// What the operator asked for: switches, then the command and its operands.
struct CommandLine {
    bool progress = false;
    bool noisy = false;
    bool noErase = false;
    bool noVerify = false;
    bool help = false;
    std::string root;      // empty: the unit's own root
    int bitsPerRow = 0;    // fuses only
    std::string command;
    std::vector<std::string> operands;
    std::string error;     // set when the line cannot be understood
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// A size or offset: decimal, 0x hexadecimal, or with a K or M suffix
// (KiB, MiB). False for anything else, negative numbers included.
bool parseAmount(const std::string& text, long& amount);

extern const char* const usageText;

} // namespace UnitFlash
