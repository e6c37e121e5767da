#pragma once

#include "tools/unitsim/UnitTree.h"

#include <string>
#include <vector>

// A unit in a fresh temporary directory, made the platform root while alive;
// everything under it goes with it.
class SimulatedUnit {
public:
    explicit SimulatedUnit(const std::vector<UnitTree::Partition>& partitions, char fill = 0);
    ~SimulatedUnit();
    SimulatedUnit(const SimulatedUnit&) = delete;
    SimulatedUnit& operator=(const SimulatedUnit&) = delete;

    std::string path(const std::string& relative) const { return root + "/" + relative; }
    void write(const std::string& relative, const std::string& bytes) const { UnitTree::write(root, relative, bytes); }
    std::string read(const std::string& relative) const { return UnitTree::read(root, relative); }
    void remove(const std::string& relative) const;

    const std::string root;
};

// A whole host unit (see UnitTree::addHostUnit).
class SimulatedHostUnit : public SimulatedUnit {
public:
    SimulatedHostUnit();

    static std::string gpio(unsigned line) { return UnitTree::gpio(line); }
    void setBoardId(int kind, unsigned id) const { UnitTree::setBoardId(root, kind, id); }
    void setFwSetenvStatus(int status) const { UnitTree::setFwSetenvStatus(root, status); }
};
