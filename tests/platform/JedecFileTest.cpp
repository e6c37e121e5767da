#include "platform/ProgrammingFiles.h"
#include "tests/platform/SimulatedUnit.h"

namespace {

// A fuse file as the vendor tool writes it; the second fuse block follows
// the end of the configuration data.
const std::string jedec = "\x02*\nNOTE Diamond (64-bit) 3.12.1.454 JEDEC Compatible Fuse File.*\nNOTE All Rights Reserved.*\n"
                          "NOTE DATE CREATED:\tThu Mar 14 09:05:07 2024*\nNOTE DESIGN NAME:\tpwr_ctrl_impl1.ncd*\n"
                          "NOTE DEVICE NAME:\tTLX-1200-4TG100*\nNOTE PIN ASSIGNMENTS*\nQP100*\nQF5120*\nG0*\nF0*\n"
                          "L000000\n1000000000000001\n0111111111111110\n*\nNOTE END CONFIG DATA*\n"
                          "L004096\n0000000000000000\n*\nC1234*\n"
                          "E0000000000000000000000000000000000000000000000000000000000000001\n1000000000000000*\n"
                          "U00000001000000100000001100000100*\n\x03" "A5C3\n";

struct Parsed {
    int result;
    std::string output, errors;
};

Parsed parse(const std::string& text, int quiet)
{
    FILE* file = memoryFile(text);
    CaptureStdout();
    CaptureStderr();
    const int result = jedParseHeader(file, quiet);
    std::fclose(file);
    return {result, GetCapturedStdout(), GetCapturedStderr()};
}

TEST(JedecFile, SummaryOfAVendorFile)
{
    const Parsed parsed = parse(jedec, 0);
    EXPECT_EQ(parsed.result, 16) << "16 times the rows of the last fuse block";
    EXPECT_EQ(parsed.output, "diamond: (64-bit) 3.12.1.454 \n"
                             "date: 2024/3/14\ntime:  9:05:07\n"
                             "design: pwr_ctrl_impl1.ncd\ndevice: TLX-1200-4TG100\n"
                             "size: 32\n"
                             "featurerow: 80 00 00 00 00 00 00 00\nfeaturebits: 00 01\nusercode: 01 02 03 04\n");
    EXPECT_EQ(parsed.errors, "");
    const Parsed quiet = parse(jedec, 1);
    EXPECT_EQ(quiet.result, 640) << "QF5120 in bytes, at the first fuse block";
    EXPECT_EQ(quiet.output, "");
}

TEST(JedecFile, ReturnCodesAndDiagnostics)
{
    struct {
        std::string text;
        int quiet, result;
        const char* output;
        const char* errors;
    } cases[] = {
        {"NOTE*\n", 0, -1, "", "No STX at start\n"},
        {"\x02", 0, -5, "", ""},
        {"\x02x\n", 0, -2, "", ""},
        {"\x02*\n\x03zz\n", 0, -3, "", ""},
        {"\x02*\nZ\n", 0, -4, "", "unexpected line: Z\n"},
        {"\x02*\nL0\n0101\n", 0, -5, "", ""},
        {"\x02*\nE0000\n", 0, -5, "featurerow: 00 00 00 00 00 00 00 00\n", ""},
        {"\x02*\nCzz*\n", 0, -6, "", ""},
        {"\x02*\nLx\n", 0, -6, "", ""},
        {"\x02*\nQFx*\n", 0, -6, "", ""},
        {"\x02*\nQF-80*\nL0\n", 1, -6, "", ""},
        {"\x02*\nL0\n*\n", 1, 0, "", ""},
        {"\x02*\nQP7*\nF0*\nG1*\n0*\n", 0, 0, "", ""},
        {"\x02*\nNOTE DATE CREATED: Thu Mar*\n", 0, 0, "", "date parse failed 2 : \"Thu Mar\"\n"},
        {"\x02*\nNOTE DATE CREATED: Sun Xyz 1 1:02:03 2000*\n", 0, 0, "date: 2000/13/1\ntime:  1:02:03\n", ""},
        {"\x02*\nUH0001*\n", 0, 0, "usercode: 00 00 00 00\n", ""},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.text, c.quiet);
        EXPECT_EQ(parsed.result, c.result) << c.text;
        EXPECT_EQ(parsed.output, c.output) << c.text;
        EXPECT_EQ(parsed.errors, c.errors) << c.text;
    }
}

TEST(JedecFile, FuseRowsAsBinary)
{
    struct {
        int bitsPerRow;
        std::string rows;
        int result;
        std::string bytes;
    } cases[] = {
        {16, "1000000000000001\n*\n", 1, std::string("\x80\x01", 2)},
        {8, "11111111\n00000001\n*\n", 2, std::string("\xFF\x01", 2)},
        {12, "101010101111\n*\n", 1, std::string("\xAA\x00", 2)},
        {16, "1x00000000000001\n*\n", 1, std::string(2, '\0')},
        {16, "1000000000000001\n", -5, std::string("\x80\x01", 2)},
        {2000, "1\n*\n", 1, std::string(250, '\0')},
    };
    for (const auto& c : cases) {
        FILE* in = memoryFile(c.rows);
        FILE* out = std::tmpfile();
        EXPECT_EQ(jedDumpBinaryFuseData(in, c.bitsPerRow, out), c.result) << c.rows;
        std::rewind(out);
        std::string written;
        for (int ch; (ch = std::fgetc(out)) != EOF;)
            written += static_cast<char>(ch);
        EXPECT_EQ(written, c.bytes) << c.rows;
        std::fclose(in);
        std::fclose(out);
    }
}

} // namespace
