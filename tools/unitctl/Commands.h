#pragma once

#include <string>
#include <vector>

namespace unitctl {

struct Options {
    bool json = false;
    bool yes = false;
    int watchSeconds = 0;  // 0: print once
    std::vector<std::string> arguments;  // after the command name
};

// Each returns the process exit status: 0 done, 1 failed, 2 bad usage.
int versionCommand(const Options& options);
int identCommand(const Options& options);
int setSerialCommand(const Options& options);
int ledCommand(const Options& options);
int watchdogCommand(const Options& options);
int sensorsCommand(const Options& options);

} // namespace unitctl
