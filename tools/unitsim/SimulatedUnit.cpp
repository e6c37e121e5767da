#include "tools/unitsim/SimulatedUnit.h"

#include "platform/PlatformRoot.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

std::string temporaryDirectory()
{
    char pattern[] = "/tmp/simulated-unitXXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("cannot make a directory for the simulated unit");
    return pattern;
}

} // namespace

SimulatedUnit::SimulatedUnit(const std::vector<UnitTree::Partition>& partitions, char fill)
    : root(temporaryDirectory())
{
    UnitTree::addPartitions(root, partitions, fill);
    platform_set_root(root.c_str());
}

SimulatedUnit::~SimulatedUnit()
{
    platform_set_root(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void SimulatedUnit::remove(const std::string& relative) const { std::filesystem::remove_all(path(relative)); }

SimulatedHostUnit::SimulatedHostUnit()
    : SimulatedUnit({})
{
    UnitTree::addHostUnit(root);
}
