#pragma once

#include <ostream>

void printUsage(std::ostream& out);
