#include "platform/MtdParts.h"

#include "platform/PlatformRoot.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::string withoutChar(std::string text, char unwanted)
{
    text.erase(std::remove(text.begin(), text.end(), unwanted), text.end());
    return text;
}

} // namespace

std::map<std::string, procEntry> parseMtdPartsText(const std::string& text, FILE* messages)
{
    std::map<std::string, procEntry> parts;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line); // column header
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> tokens{std::istream_iterator<std::string>(fields),
                                        std::istream_iterator<std::string>()};
        if (tokens.size() != 4) {
            if (messages)
                std::fprintf(messages, "Could not find enough tokens (found: %zu wanted: 4)\n", tokens.size());
            continue;
        }
        procEntry entry{withoutChar(tokens[0], ':'),
                        withoutChar(tokens[3], '"'),
                        static_cast<uint32_t>(std::stoi(tokens[1], nullptr, 16)),
                        static_cast<uint32_t>(std::stoi(tokens[2], nullptr, 16))};
        parts[entry.partition] = entry;
    }
    return parts;
}

std::map<std::string, procEntry> parseMtdParts()
{
    std::ifstream file(platformPath("/proc/mtd"));
    if (!file) {
        std::fprintf(stderr, "Failed to get mtp parts\n");
        return {};
    }
    // /proc files report no size: read them as a stream.
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return parseMtdPartsText(text, stderr);
}

std::string getDevNodeName(const char* partitionName)
{
    return parseMtdParts().at(partitionName).node;
}
