#include "platform/ProgrammingFiles.h"
#include "tests/platform/OnSimulatedUnit.h"

#include <cstring>
#include <functional>

namespace {

std::string be16(size_t value)
{
    return {static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string field(char key, const std::string& text)
{
    return key + be16(text.size() + 1) + text + '\0';
}

// A bitstream header as the vendor tool writes it, piece by piece.
struct Bitstream {
    std::string lead = be16(9) + std::string("\x0f\xf0\x0f\xf0\x0f\xf0\x0f\xf0\x00", 9) + be16(1);
    std::string design = field('a', "top;COMPRESS=TRUE;UserID=0X80010203;Version=2020.1");
    std::string part = field('b', "7a35tfgg484");
    std::string date = field('c', "2024/03/14");
    std::string time = field('d', "09:05:07");
    std::string size = std::string("e\x00\x01\x02\x03", 5);
    std::string bytes() const { return lead + design + part + date + time + size + "\xAA\x99"; }
};

// The result of a reader given `flag`, what it printed, and the next byte of the file.
struct Parsed {
    int result;
    std::string output, errors;
    int next;
};

Parsed parse(const std::string& bytes, int (*reader)(FILE*, int), int flag)
{
    FILE* file = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    CaptureStdout();
    CaptureStderr();
    const int result = reader(file, flag);
    Parsed parsed{result, GetCapturedStdout(), GetCapturedStderr(), std::fgetc(file)};
    std::fclose(file);
    return parsed;
}

// A four-part design field with a "0X" UserID is the flash tool's end-to-end test.
TEST(BitstreamHeader, DesignFieldsOfTwoThreeAndFourParts)
{
    struct {
        const char* design;
        int result;
        const char* output;
    } cases[] = {
        {"top;UserID=7FFF0A0B;Version=2021.2", 0x10203, "design: top\nversion: 32767-10.11\nvivado: 2021.2\n"},
        {"top;UserID=0X80010203", -8, "design: top\nversion: 1-2.3(dev)\n"},
        {"top;COMPRESS=TRUE", -19, "design: top\n"},
        {"top", -6, "design: top\n"},
        {"top;UserID:0X1;Version=1", -7, "design: top\n"},
        {"top;X=1;UserID=0X1;Vers=1", -9, "design: top\nversion: 0-0.1\n"},
    };
    for (const auto& c : cases) {
        Bitstream bitstream;
        bitstream.design = field('a', c.design);
        const Parsed parsed = parse(bitstream.bytes(), bitfileParseHeader, 1);
        EXPECT_EQ(parsed.result, c.result) << c.design;
        EXPECT_EQ(parsed.output.compare(0, std::strlen(c.output), c.output), 0) << c.design << ":\n" << parsed.output;
    }
    Bitstream unchecked;
    unchecked.design = field('a', "top");
    const Parsed quiet = parse(unchecked.bytes(), bitfileParseHeader, 0);
    EXPECT_EQ(quiet.result, 0x10203) << "the design field is checked only when verbose";
    EXPECT_EQ(quiet.output, "");
    EXPECT_EQ(quiet.next, 0xAA) << "left at the first configuration byte";
    // Found by fuzzing: a file that ends right after the 'e' key still gives a
    // length, its missing bytes read as 0, and leaves the file past the key.
    const Parsed cut = parse(unchecked.lead + unchecked.design + unchecked.part + unchecked.date + unchecked.time + "e",
                             bitfileParseHeader, 0);
    EXPECT_EQ(cut.result, 0);
    EXPECT_EQ(cut.next, EOF);
}

TEST(BitstreamHeader, EveryMalformedPieceHasItsCode)
{
    const struct {
        int result;
        std::function<void(Bitstream&)> spoil;
    } cases[] = {
        {-1, [](Bitstream& b) { b.lead[1] = 8; }},
        {-2, [](Bitstream& b) { b.lead.resize(6), b.design = b.part = b.date = b.time = b.size = ""; }},
        {-3, [](Bitstream& b) { b.lead.back() = 2; }},
        {-4, [](Bitstream& b) { b.design[0] = 'x'; }},
        {-5, [](Bitstream& b) { b.design = "a" + be16(200) + "top", b.part = b.date = b.time = b.size = ""; }},
        {-10, [](Bitstream& b) { b.part[0] = 'x'; }},
        {-11, [](Bitstream& b) { b.part = "b" + be16(100) + "7a", b.date = b.time = b.size = ""; }},
        {-12, [](Bitstream& b) { b.date[0] = 'x'; }},
        {-13, [](Bitstream& b) { b.date = field('c', "2024/03/14 09:05"); }},
        {-14, [](Bitstream& b) { b.date = "c" + be16(10) + "2024", b.time = b.size = ""; }},
        {-15, [](Bitstream& b) { b.time[0] = 'x'; }},
        {-18, [](Bitstream& b) { b.size[0] = 'x'; }},
    };
    for (const auto& c : cases) {
        Bitstream bitstream;
        c.spoil(bitstream);
        EXPECT_EQ(parse(bitstream.bytes(), bitfileParseHeader, 1).result, c.result);
    }
}

// A fuse file as the vendor tool writes it; the second fuse block follows
// the end of the configuration data.
const std::string jedec = "\x02*\nNOTE Diamond (64-bit) 3.12.1.454 JEDEC Compatible Fuse File.*\nNOTE All Rights Reserved.*\n"
                          "NOTE DATE CREATED:\tThu Mar 14 09:05:07 2024*\nNOTE DESIGN NAME:\tpwr_ctrl_impl1.ncd*\n"
                          "NOTE DEVICE NAME:\tTLX-1200-4TG100*\nNOTE PIN ASSIGNMENTS*\nQP100*\nQF5120*\nG0*\nF0*\n"
                          "L000000\n1000000000000001\n0111111111111110\n*\nNOTE END CONFIG DATA*\n"
                          "L004096\n0000000000000000\n*\nC1234*\n"
                          "E0000000000000000000000000000000000000000000000000000000000000001\n1000000000000000*\n"
                          "U00000001000000100000001100000100*\n\x03" "A5C3\n";

TEST(JedecFile, SummaryReturnCodesAndDiagnostics)
{
    struct {
        std::string text;
        int quiet, result;
        const char* output;
        const char* errors;
    } cases[] = {
        {jedec, 0, 16, // 16 times the rows of the last fuse block
         "diamond: (64-bit) 3.12.1.454 \ndate: 2024/3/14\ntime:  9:05:07\ndesign: pwr_ctrl_impl1.ncd\n"
         "device: TLX-1200-4TG100\nsize: 32\nfeaturerow: 80 00 00 00 00 00 00 00\nfeaturebits: 00 01\n"
         "usercode: 01 02 03 04\n", ""},
        {jedec, 1, 640, "", ""}, // QF5120 in bytes, at the first fuse block
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
        {"\x02*\nQP7*\nF0*\nG1*\n0*\n", 0, 0, "", ""},
        {"\x02*\nNOTE DATE CREATED: Thu Mar*\n", 0, 0, "", "date parse failed 2 : \"Thu Mar\"\n"},
        {"\x02*\nNOTE DATE CREATED: Sun Xyz 1 1:02:03 2000*\n", 0, 0, "date: 2000/13/1\ntime:  1:02:03\n", ""},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.text, jedParseHeader, c.quiet);
        EXPECT_EQ(parsed.result, c.result) << c.text;
        EXPECT_EQ(parsed.output, c.output) << c.text;
        EXPECT_EQ(parsed.errors, c.errors) << c.text;
    }
}

// One 16-bit row per line: the flash tool's end-to-end test.
TEST(JedecFile, FuseRowsAsBinary)
{
    struct {
        int bitsPerRow;
        std::string rows;
        int result;
        std::string bytes;
    } cases[] = {
        {8, "11111111\n00000001\n*\n", 2, std::string("\xFF\x01", 2)},
        {12, "101010101111\n*\n", 1, std::string("\xAA\x00", 2)},
        {16, "1x00000000000001\n*\n", 1, std::string(2, '\0')},
        {16, "1000000000000001\n", -5, std::string("\x80\x01", 2)},
        {2000, "1\n*\n", 1, std::string(250, '\0')},
    };
    for (const auto& c : cases) {
        SimulatedUnit unit({});
        static FILE* out;
        out = std::fopen(unit.path("rows").c_str(), "wb");
        EXPECT_EQ(parse(c.rows, [](FILE* in, int bits) { return jedDumpBinaryFuseData(in, bits, out); }, c.bitsPerRow).result,
                  c.result);
        std::fclose(out);
        EXPECT_EQ(unit.read("rows"), c.bytes) << c.rows;
    }
}

} // namespace
