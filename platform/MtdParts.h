#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

// One line of "/proc/mtd".
struct procEntry {
    std::string node;      // device node name, e.g. "mtd3"
    std::string partition; // partition name
    uint32_t size;
    uint32_t eraseSize;
};

// The partitions of "/proc/mtd" (under the platform root) by name; empty when
// the file cannot be read. Throws std::invalid_argument or std::out_of_range
// ("stoi") for a size that is not a 32-bit hexadecimal number.
std::map<std::string, procEntry> parseMtdParts();

// The same from the text of the file. Lines that do not have four fields are
// reported to `messages` (nothing is written when it is null) and skipped.
std::map<std::string, procEntry> parseMtdPartsText(const std::string& text, FILE* messages);

// The device node of a partition, read afresh from "/proc/mtd". Throws
// std::out_of_range ("map::at") for a name the table does not list.
std::string getDevNodeName(const char* partitionName);
