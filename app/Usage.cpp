#include "app/Usage.h"

void printUsage(std::ostream& out)
{
    out << "Usage: dynelle_test -h -? -f output/filename.txt" << std::endl;
    out << "Where:-" << std::endl;
    out << "  -? or -h      Prints ths help message" << std::endl;
    out << "  -f <filename> Writes the output to the passed filename instead of /home/transfer/log/dynelle_test_nnnnnn_nnnnnn.txt" << std::endl;
    out << "  -p            Creates a csv format output of the battery discharging (will run until Ctrl-C)" << std::endl;
}
