#include "app/RunLevel.h"

#include <utmp.h>

#include <iostream>

std::optional<int> readRunLevelRecord()
{
    std::optional<int> result;
    setutent();
    while (const struct utmp* record = getutent()) {
        if (record->ut_type == RUN_LVL) {
            result = record->ut_pid;
            break;
        }
    }
    endutent();
    return result;
}

bool checkRunLevel(std::optional<int> runLevelRecord, std::ostream& out)
{
    if (!runLevelRecord)
        return true;
    if (*runLevelRecord % 256 <= '4')
        return true;
    out << "dynelle_test will conflict with kw_server\nPlease run program_fpga_selftest.sh before running this test app."
        << std::flush;
    return false;
}

bool checkRunLevel()
{
    return checkRunLevel(readRunLevelRecord(), std::cout);
}
