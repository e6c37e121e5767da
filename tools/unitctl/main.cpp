// unitctl: the host unit's identity, LED, watchdog, version report and
// health sensors from the command line, on the unit or a simulated one.

#include "platform/PlatformRoot.h"
#include "tools/unitctl/Commands.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Command {
    const char* name;
    int (*run)(const unitctl::Options&);
    const char* usage;
};

const Command commands[] = {
    {"version", unitctl::versionCommand, "version [--json]          software, board and FPGA versions"},
    {"ident", unitctl::identCommand, "ident                     serial number, MAC address and board ids"},
    {"set-serial", unitctl::setSerialCommand, "set-serial N [--yes]      write the identity record and verify it"},
    {"led", unitctl::ledCommand, "led R G B | led off       set the front LED (0 to 255 each)"},
    {"watchdog", unitctl::watchdogCommand, "watchdog TIMEOUT          arm, kick and disarm the watchdog"},
    {"sensors", unitctl::sensorsCommand, "sensors [--watch SECONDS] [--json]  health sensor readings"},
};

int usage(FILE* out, int status)
{
    std::fprintf(out, "Usage: unitctl [--root DIR] COMMAND [ARGS]\n  --root DIR                a simulated unit in DIR\n");
    for (const Command& command : commands)
        std::fprintf(out, "  %s\n", command.usage);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    unitctl::Options options;
    const Command* chosen = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            return usage(stdout, 0);
        } else if (arg == "--root" && hasValue) {
            platform_set_root(argv[++i]);
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--yes") {
            options.yes = true;
        } else if (arg == "--watch" && hasValue) {
            char* end = nullptr;
            const long seconds = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || seconds < 1 || seconds > 86400) {
                std::fprintf(stderr, "--watch needs 1 to 86400 seconds\n");
                return 2;
            }
            options.watchSeconds = static_cast<int>(seconds);
        } else if (arg.size() > 1 && arg[0] == '-' && arg.find_first_not_of("0123456789", 1) != std::string::npos) {
            std::fprintf(stderr, "Unknown option %s\n", arg.c_str());
            return usage(stderr, 2);
        } else if (chosen == nullptr) {
            for (const Command& command : commands)
                if (arg == command.name)
                    chosen = &command;
            if (chosen == nullptr) {
                std::fprintf(stderr, "Unknown command %s\n", arg.c_str());
                return usage(stderr, 2);
            }
        } else {
            options.arguments.push_back(arg);
        }
    }
    if (chosen == nullptr)
        return usage(stderr, 2);
    return chosen->run(options);
}
