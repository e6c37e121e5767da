#pragma once

#include <string>

extern "C" {
// Every fixed path of the platform layer resolves under this directory: an
// absolute path without a trailing '/'. NULL or "/" restores the real root.
void platform_set_root(const char* dir);
}

// The fixed path as it is to be opened now, e.g. "/proc/mtd" or
// "<root>/proc/mtd". Resolved at every use: the root may change between calls.
std::string platformPath(const char* fixedPath);

// True while the real root "/" is in force (the target, not a simulated unit).
bool platformRootIsDefault();
