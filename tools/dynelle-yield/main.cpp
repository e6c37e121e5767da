// dynelle-yield: how many boards passed, which test fails most and which
// boards are still open, from the results logs alone.
#include "tools/dynelle-yield/ReportOutput.h"
#include "tools/dynelle-yield/ResultsLog.h"
#include "tools/dynelle-yield/YieldReport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

using namespace Tessaly;
namespace fs = std::filesystem;

namespace {

const char* const usage =
    "Usage: dynelle-yield [--since YYYY-MM-DD] [--until YYYY-MM-DD] [--csv | --json] [LOG|FOLDER...]\n"
    "Counts passes and failures per test and yields per board from results logs.\n"
    "Folders are searched for *.txt files; the default is /home/transfer/log/.\n"
    "  --since, --until  only runs started on or after / on or before that day\n"
    "  --csv             the test table and the board table as CSV\n"
    "  --json            everything as one JSON object\n"
    "Files that are not results logs are listed with the reason and skipped.\n";

// No results log comes near this; anything larger is not one.
constexpr off_t kLargestLog = 1 << 20;

std::string systemError(int error)
{
    return std::strerror(error);
}

// Reads a whole file into `buffer` (reused between files); false with the
// reason otherwise.
bool readFile(const std::string& path, std::string& buffer, std::string& reason)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = systemError(errno);
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0;
    if (!ok) {
        reason = systemError(errno);
    } else if (info.st_size > kLargestLog) {
        reason = "too large for a results log (" + std::to_string(info.st_size) + " bytes)";
        ok = false;
    } else {
        buffer.resize(size_t(info.st_size) + 1);
        size_t filled = 0;
        for (ssize_t n; (n = read(fd, &buffer[filled], buffer.size() - filled)) != 0;) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                reason = systemError(errno);
                ok = false;
                break;
            }
            filled += size_t(n);
            if (filled == buffer.size() && filled <= size_t(kLargestLog))
                buffer.resize(filled * 2);
            if (filled > size_t(kLargestLog)) {
                reason = "too large for a results log";
                ok = false;
                break;
            }
        }
        buffer.resize(filled);
    }
    close(fd);
    return ok;
}

void collect(const std::string& path, std::vector<std::string>& files, std::vector<SkippedFile>& skipped)
{
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        files.push_back(path);
        return;
    }
    for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && it->path().extension() == ".txt")
            files.push_back(it->path().string());
    }
    if (error)
        skipped.push_back({path, error.message()});
}

} // namespace

int main(int argc, char** argv)
{
    enum class Format { Text, Csv, Json } format = Format::Text;
    int64_t since = 0, until = 99999999;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--csv") {
            format = Format::Csv;
        } else if (argument == "--json") {
            format = Format::Json;
        } else if (argument == "--since" || argument == "--until") {
            if (i + 1 == argc || !parseIsoDate(argv[i + 1], argument == "--since" ? since : until)) {
                std::cerr << "dynelle-yield: " << argument << " takes a date as YYYY-MM-DD\n" << usage;
                return 1;
            }
            ++i;
        } else if (argument == "-h" || argument == "--help") {
            std::cout << usage;
            return 0;
        } else if (argument.size() > 1 && argument[0] == '-') {
            std::cerr << "dynelle-yield: unknown option " << argument << "\n" << usage;
            return 1;
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.empty())
        paths.push_back("/home/transfer/log/");

    std::vector<std::string> files;
    std::vector<SkippedFile> skipped;
    for (const std::string& path : paths)
        collect(path, files, skipped);

    YieldReport report;
    std::string buffer, reason;
    ResultsLog log;
    for (const std::string& file : files) {
        if (!readFile(file, buffer, reason) || !parseResultsLog(buffer, log, reason)) {
            skipped.push_back({file, reason});
            continue;
        }
        const int64_t day = log.started / 10000;
        if (day >= since && day <= until)
            report.add(log, file);
    }
    std::sort(skipped.begin(), skipped.end(), [](const SkippedFile& a, const SkippedFile& b) { return a.file < b.file; });

    switch (format) {
    case Format::Text: writeTextReport(std::cout, report, skipped); break;
    case Format::Csv: writeCsvReport(std::cout, report); break;
    case Format::Json: writeJsonReport(std::cout, report, skipped); break;
    }
    if (format == Format::Csv)
        for (const SkippedFile& f : skipped)
            std::cerr << "dynelle-yield: skipped " << f.file << ": " << f.reason << "\n";
    return 0;
}
