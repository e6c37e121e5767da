#include "tools/unit-flash/Commands.h"

#include "platform/Flash.h"
#include "platform/MtdParts.h"
#include "platform/MtdSeam.h"
#include "platform/PlatformRoot.h"
#include "platform/ProgrammingFiles.h"
#include "platform/SystemErrorText.h"
#include "tools/unit-flash/Verify.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace UnitFlash {

namespace {

constexpr int verifyFailedStatus = 6;

// One line on standard error: what failed, on which file, and the system's
// reason when there is one.
void complain(const std::string& what, const std::string& file, bool withSystemError)
{
    if (withSystemError && errno != 0)
        std::fprintf(stderr, "unit-flash: %s %s: %s\n", what.c_str(), file.c_str(), systemErrorText());
    else
        std::fprintf(stderr, "unit-flash: %s %s\n", what.c_str(), file.c_str());
}

int usage(const std::string& problem)
{
    std::fprintf(stderr, "unit-flash: %s\n%s", problem.c_str(), usageText);
    return usageStatus;
}

// A command-line file operand as the flash layer takes it: "" for standard
// input or output, the partition's node under the root for mtd:NAME.
struct Operand {
    std::string path;
    std::string shown; // as the operator wrote it
};

struct UnknownPartition : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Operand resolve(const std::string& operand)
{
    if (operand == "-")
        return {"", "standard input/output"};
    if (operand.compare(0, 4, "mtd:") != 0)
        return {operand, operand};
    const auto parts = parseMtdParts();
    const auto found = parts.find(operand.substr(4));
    if (found == parts.end())
        throw UnknownPartition(operand.substr(4));
    return {platformPath("/dev/") + found->second.node, operand};
}

bool isFlash(const std::string& path)
{
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0
           && (S_ISCHR(status.st_mode) || MtdSeam::isSimulatedPartition(path.c_str()));
}

// SIZE and OFFSET operands from `first` on; -1 and 0 when absent.
bool sizeAndOffset(const std::vector<std::string>& operands, size_t first, long& size, long& offset)
{
    size = -1;
    offset = 0;
    if (operands.size() > first + 2)
        return false;
    if (operands.size() > first && !parseAmount(operands[first], size))
        return false;
    return operands.size() <= first + 1 || parseAmount(operands[first + 1], offset);
}

int listParts()
{
    if (::access(platformPath("/proc/mtd").c_str(), R_OK) != 0) {
        complain("cannot read", platformPath("/proc/mtd"), true);
        return 2;
    }
    auto parts = parseMtdParts();
    std::vector<procEntry> rows;
    for (const auto& [name, entry] : parts)
        rows.push_back(entry);
    // In the kernel's order, mtd0 first.
    std::sort(rows.begin(), rows.end(), [](const procEntry& a, const procEntry& b) {
        return std::make_pair(a.node.size(), a.node) < std::make_pair(b.node.size(), b.node);
    });
    std::printf("%-20s %-8s %10s %10s\n", "name", "node", "size", "erasesize");
    for (const auto& [node, name, size, eraseSize] : rows)
        std::printf("%-20s %-8s 0x%08x 0x%08x\n", name.c_str(), node.c_str(), size, eraseSize);
    return 0;
}

int erase(const CommandLine& line)
{
    long size = -1;
    long offset = 0;
    if (line.operands.empty() || !sizeAndOffset(line.operands, 1, size, offset))
        return usage("erase wants DEVICE [SIZE [OFFSET]]");
    const Operand device = resolve(line.operands[0]);
    errno = 0;
    const int result = flashErase(device.path.c_str(), size, offset);
    if (result == -2)
        complain("cannot open", device.shown, true);
    else if (result != 0)
        complain("cannot erase", device.shown, true);
    return -result;
}

int reportVerify(const VerifyResult& verified, const Operand& source, const Operand& destination)
{
    switch (verified.code) {
    case 0:
        std::fprintf(stderr, "unit-flash: verified %ld bytes of %s\n", verified.compared, destination.shown.c_str());
        return 0;
    case -6:
        std::fprintf(stderr, "unit-flash: %s differs from %s at offset 0x%lx\n", destination.shown.c_str(),
                     source.shown.c_str(), verified.differsAt);
        return verifyFailedStatus;
    case -2:
        complain("cannot open", source.shown, true);
        break;
    case -3:
        complain("cannot read back", destination.shown, true);
        break;
    default:
        complain("cannot read", source.shown + " or " + destination.shown, true);
    }
    return -verified.code;
}

// Standard input can be read once only: keep what came in for the read-back.
struct Spool {
    FILE* file = nullptr;
    ~Spool()
    {
        if (file)
            std::fclose(file);
    }
};

bool spoolStandardInput(Spool& spool, std::string& path)
{
    spool.file = std::tmpfile();
    if (!spool.file)
        return false;
    std::vector<char> block(64 * 1024);
    size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), stdin)) > 0)
        if (std::fwrite(block.data(), 1, got, spool.file) != got)
            return false;
    if (std::ferror(stdin) || std::fflush(spool.file) != 0)
        return false;
    path = "/proc/self/fd/" + std::to_string(fileno(spool.file));
    return true;
}

int copy(const CommandLine& line)
{
    long size = -1;
    long offset = 0;
    if (line.operands.size() < 2 || !sizeAndOffset(line.operands, 2, size, offset))
        return usage("copy wants SOURCE DEST [SIZE [OFFSET]]");
    Operand source = resolve(line.operands[0]);
    const Operand destination = resolve(line.operands[1]);
    const bool verify = !line.noVerify && isFlash(destination.path);
    Spool spool;
    if (verify && source.path.empty() && !spoolStandardInput(spool, source.path)) {
        complain("cannot keep", "standard input", true);
        return 1;
    }
    errno = 0;
    const int result = flashCopy(source.path.c_str(), destination.path.c_str(), size, offset);
    switch (result) {
    case 0:
        break;
    case -1:
        complain("out of memory copying", source.shown, true);
        break;
    case -2:
        complain("cannot open", source.shown, true);
        break;
    case -3:
        complain("cannot open", destination.shown, true);
        break;
    case -4:
        if (errno != 0)
            complain("cannot read", source.shown, true);
        else
            complain("size too large for", destination.shown, false);
        break;
    default:
        complain("cannot erase or write", destination.shown, true);
    }
    if (result != 0)
        return -result;
    if (!verify)
        return 0;
    if (spool.file)
        ::lseek(fileno(spool.file), 0, SEEK_SET);
    return reportVerify(verifyCopy(source.path, destination.path, size, offset), source, destination);
}

int verifyOnly(const CommandLine& line)
{
    long size = -1;
    long offset = 0;
    if (line.operands.size() < 2 || !sizeAndOffset(line.operands, 2, size, offset) || line.operands[1] == "-")
        return usage("verify wants SOURCE DEST [SIZE [OFFSET]]");
    const Operand source = resolve(line.operands[0]);
    const Operand destination = resolve(line.operands[1]);
    errno = 0;
    return reportVerify(verifyCopy(source.path, destination.path, size, offset), source, destination);
}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

File openInput(const std::string& path)
{
    return File(std::fopen(path.c_str(), "rb"), &std::fclose);
}

int header(const CommandLine& line)
{
    if (line.operands.size() != 1)
        return usage("header wants FILE");
    const std::string& path = line.operands[0];
    File file = openInput(path);
    if (!file) {
        complain("cannot open", path, true);
        return 2;
    }
    // A JEDEC file starts with STX; anything else is taken for a bitstream.
    const int first = std::fgetc(file.get());
    std::rewind(file.get());
    const bool jedec = first == 0x02;
    const int result = jedec ? jedParseHeader(file.get(), 0) : bitfileParseHeader(file.get(), 1);
    if (result >= 0)
        return 0;
    std::fprintf(stderr, "unit-flash: %s: not a valid %s header (code %d)\n", path.c_str(),
                 jedec ? "JEDEC" : "bitstream", result);
    return -result;
}

int fuses(const CommandLine& line)
{
    if (line.operands.empty() || line.operands.size() > 2 || line.bitsPerRow <= 0)
        return usage("fuses wants FILE.jed --bits-per-row N [OUT]");
    const std::string& path = line.operands[0];
    File in = openInput(path);
    if (!in) {
        complain("cannot open", path, true);
        return 2;
    }
    const bool toStandardOutput = line.operands.size() == 1 || line.operands[1] == "-";
    File out(toStandardOutput ? stdout : std::fopen(line.operands[1].c_str(), "wb"),
             toStandardOutput ? [](FILE*) { return 0; } : &std::fclose);
    if (!out) {
        complain("cannot create", line.operands[1], true);
        return 3;
    }
    // Quietly up to the first fuse block, then its rows.
    const int position = jedParseHeader(in.get(), 1);
    if (position < 0) {
        std::fprintf(stderr, "unit-flash: %s: not a valid JEDEC file (code %d)\n", path.c_str(), position);
        return -position;
    }
    const int rows = jedDumpBinaryFuseData(in.get(), line.bitsPerRow, out.get());
    if (rows < 0) {
        std::fprintf(stderr, "unit-flash: %s: no complete fuse block (code %d)\n", path.c_str(), rows);
        return -rows;
    }
    if (std::fflush(out.get()) != 0) {
        complain("cannot write", toStandardOutput ? std::string("standard output") : line.operands[1], true);
        return 3;
    }
    std::fprintf(stderr, "unit-flash: %d rows of %d bits\n", rows, line.bitsPerRow);
    return 0;
}

struct Command {
    const char* name;
    int (*run)(const CommandLine&);
};

const Command commands[] = {
    {"parts", [](const CommandLine&) { return listParts(); }},
    {"erase", erase},
    {"copy", copy},
    {"verify", verifyOnly},
    {"header", header},
    {"fuses", fuses},
};

} // namespace

int runCommand(const CommandLine& line)
{
    if (line.help) {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (!line.error.empty())
        return usage(line.error);
    if (!line.root.empty()) {
        std::unique_ptr<char, void (*)(void*)> root(::realpath(line.root.c_str(), nullptr), &std::free);
        if (!root) {
            complain("cannot use root", line.root, true);
            return 2;
        }
        platform_set_root(root.get());
    }
    // --progress clears --noisy in the flash layer; both together keep both.
    if (line.progress)
        setProgress(true);
    if (line.noisy)
        setNoisy(true);
    setNoErase(line.noErase);
    for (const Command& command : commands)
        if (line.command == command.name) {
            try {
                return command.run(line);
            } catch (const UnknownPartition& unknown) {
                std::fprintf(stderr, "unit-flash: no partition named %s in %s\n", unknown.what(),
                             platformPath("/proc/mtd").c_str());
                return 2;
            } catch (const std::logic_error&) { // std::stoi's invalid_argument and out_of_range
                std::fprintf(stderr, "unit-flash: %s: a size is not a 32-bit hexadecimal number\n",
                             platformPath("/proc/mtd").c_str());
                return 1;
            }
        }
    return usage("unknown command " + line.command);
}

} // namespace UnitFlash
