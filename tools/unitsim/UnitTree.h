#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The host unit's files under a root directory, where the platform layer
// finds them on the unit: the flash partitions, the board-id GPIO lines, the
// LED's PWM channels, the watchdog and the boot-loader tool.
namespace UnitTree {

struct Partition {
    int number;
    std::string name;
    uint32_t size, eraseSize;
};

// write makes the folders on the way and throws std::runtime_error when it
// cannot; read gives "" for a missing file.
void write(const std::string& root, const std::string& relative, const std::string& bytes);
std::string read(const std::string& root, const std::string& relative);

// /proc/mtd lists the partitions; each dev/mtdN is a regular file of the
// partition's size, filled with `fill`.
void addPartitions(const std::string& root, const std::vector<Partition>& partitions, char fill);

// A line's value file, relative to the root.
std::string gpio(unsigned line);

// kind: 0 main board, 1 mezzanine, 2 front panel, 3 main-board ECN; the
// lines carry the id most significant bit first.
void setBoardId(const std::string& root, int kind, unsigned id);

// A boot-loader tool that appends its arguments to fw_setenv.args in the
// root and exits with `status`.
void setFwSetenvStatus(const std::string& root, int status);

void setFpgaStatus(const std::string& root, const std::string& version, unsigned designId);

// An erased identity partition (mtd3), board ids 0 on every line, three PWM
// channels, a watchdog file and a boot-loader tool that succeeds.
void addHostUnit(const std::string& root);

} // namespace UnitTree
