#pragma once

#include <initializer_list>
#include <string>

// A host unit in a temporary directory, made the platform root while alive:
// GPIO value files, PWM channels, an identity partition of 64 KiB listed in
// /proc/mtd, a boot-loader tool that records its arguments, a watchdog file
// and the FPGA status file.
class SimulatedHostUnit {
public:
    SimulatedHostUnit();
    ~SimulatedHostUnit();
    SimulatedHostUnit(const SimulatedHostUnit&) = delete;
    SimulatedHostUnit& operator=(const SimulatedHostUnit&) = delete;

    const std::string& root() const { return m_root; }
    std::string path(const std::string& fixedPath) const { return m_root + fixedPath; }

    // Lines listed most significant first; bits as the characters '0'/'1'.
    void setGpio(std::initializer_list<unsigned> lines, const std::string& bits);
    void setBoardId(int kind, unsigned id);
    void removeGpio(unsigned line);
    void writeFile(const std::string& fixedPath, const std::string& content) const;
    std::string readFile(const std::string& fixedPath) const;
    void remove(const std::string& fixedPath) const;
    // The boot-loader tool exits with this status.
    void setFwSetenvStatus(int status) const;

private:
    std::string m_root;
};
