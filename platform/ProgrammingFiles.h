#pragma once

// Headers of FPGA bitstream (.bit) and JEDEC fuse (.jed) files, JEDEC fuse
// rows as binary, and the big-endian byte readers they are built on.
// Summaries go to standard output, diagnostics to standard error.

#include <stdint.h>
#include <stdio.h>

extern "C" {
int bitfileParseHeader(FILE* file, int verbose);
int jedParseHeader(FILE* file, int quiet);
int jedDumpBinaryFuseData(FILE* in, int bitsPerRow, FILE* out);
int skipBytes(FILE* file, int count); /* non-zero at end of file */
uint16_t readTwoBytes(FILE* file);
uint32_t readFourBytes(FILE* file);
}
