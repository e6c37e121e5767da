// unit-flash: updates and inspects the host unit's flash partitions and FPGA
// programming files.
#include "tools/unit-flash/CommandLine.h"
#include "tools/unit-flash/Commands.h"

int main(int argc, char** argv)
{
    return UnitFlash::runCommand(UnitFlash::parseCommandLine({argv + 1, argv + argc}));
}
