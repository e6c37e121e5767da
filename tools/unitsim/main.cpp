// Makes a simulated host unit for the engineers' tools (their --root), or runs
// a program over simulated hardware monitors.

#include "tools/unitsim/SensorNamespace.h"
#include "tools/unitsim/UnitTree.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char usage[] =
    "usage: unitsim host ROOT [--board-ids MAIN,MEZZANINE,FRONT,ECN] [--fpga VERSION,DESIGN_ID]\n"
    "       unitsim partitions ROOT FILL NUMBER:NAME:SIZE:ERASESIZE...\n"
    "       unitsim sensors CONFIG DEVICE/ATTRIBUTE=CONTENT... -- PROGRAM [ARGUMENT...]\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

unsigned long number(const std::string& text)
{
    std::size_t end = 0;
    unsigned long value = 0;
    try {
        if (!text.empty() && text[0] != '-')
            value = std::stoul(text, &end, 0);
    } catch (const std::logic_error&) {
        end = 0;
    }
    if (end == 0 || end != text.size())
        throw UsageError("not a number: " + text);
    return value;
}

void host(const std::vector<std::string>& args)
{
    UnitTree::addHostUnit(args.at(0));
    for (std::size_t i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            throw UsageError(args[i] + " needs a value");
        const auto values = split(args[i + 1], ',');
        if (args[i] == "--board-ids" && values.size() == 4) {
            for (int kind = 0; kind < 4; ++kind)
                UnitTree::setBoardId(args[0], kind, static_cast<unsigned>(number(values[kind])));
        } else if (args[i] == "--fpga" && values.size() == 2) {
            UnitTree::setFpgaStatus(args[0], values[0], static_cast<unsigned>(number(values[1])));
        } else {
            throw UsageError("bad option " + args[i] + " " + args[i + 1]);
        }
    }
}

void partitions(const std::vector<std::string>& args)
{
    std::vector<UnitTree::Partition> list;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const auto fields = split(args[i], ':');
        if (fields.size() != 4)
            throw UsageError("bad partition " + args[i]);
        list.push_back({static_cast<int>(number(fields[0])), fields[1], static_cast<uint32_t>(number(fields[2])),
                        static_cast<uint32_t>(number(fields[3]))});
    }
    UnitTree::addPartitions(args.at(0), list, static_cast<char>(number(args.at(1))));
}

int sensors(const std::vector<std::string>& args, char** program)
{
    HwmonTree tree;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto slash = args[i].find('/'), equals = args[i].find('=');
        if (slash == std::string::npos || equals == std::string::npos || equals < slash)
            throw UsageError("bad attribute " + args[i]);
        tree[args[i].substr(0, slash)][args[i].substr(slash + 1, equals - slash - 1)] = args[i].substr(equals + 1);
    }
    if (const std::string failed = enterSensorNamespace(tree, args.at(0)); !failed.empty())
        throw std::runtime_error(failed);
    ::execvp(program[0], program);
    throw std::runtime_error(std::string("cannot run ") + program[0] + ": " + std::strerror(errno));
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args;
    int programAt = argc; // what follows "--"
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            programAt = i + 1;
            break;
        }
        args.emplace_back(argv[i]);
    }
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "host" && !args.empty() && programAt == argc)
            host(args);
        else if (command == "partitions" && args.size() >= 2 && programAt == argc)
            partitions(args);
        else if (command == "sensors" && !args.empty() && programAt < argc)
            return sensors(args, argv + programAt);
        else
            throw UsageError("");
    } catch (const UsageError& error) {
        std::fprintf(stderr, "%s%s%s", error.what(), *error.what() ? "\n" : "", usage);
        return 64;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "unitsim: %s\n", error.what());
        return 1;
    }
    return 0;
}
