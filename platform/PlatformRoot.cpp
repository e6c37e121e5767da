#include "platform/PlatformRoot.h"

#include <mutex>

namespace {

std::mutex rootMutex;
std::string root; // empty: the real root

} // namespace

void platform_set_root(const char* dir)
{
    std::lock_guard<std::mutex> lock(rootMutex);
    if (dir == nullptr || std::string(dir) == "/")
        root.clear();
    else
        root = dir;
}

std::string platformPath(const char* fixedPath)
{
    std::lock_guard<std::mutex> lock(rootMutex);
    return root + fixedPath;
}

bool platformRootIsDefault()
{
    std::lock_guard<std::mutex> lock(rootMutex);
    return root.empty();
}
