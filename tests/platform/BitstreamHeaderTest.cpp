#include "platform/ProgrammingFiles.h"
#include "tests/platform/SimulatedUnit.h"

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

struct Parsed {
    int result;
    std::string output;
    int next; // the byte after the header
};

Parsed parse(const std::string& bytes, int verbose)
{
    FILE* file = memoryFile(bytes);
    CaptureStdout();
    const int result = bitfileParseHeader(file, verbose);
    Parsed parsed{result, GetCapturedStdout(), std::fgetc(file)};
    std::fclose(file);
    return parsed;
}

TEST(BitstreamHeader, DesignFieldsOfTwoThreeAndFourParts)
{
    struct {
        const char* design;
        int result;
        const char* output;
    } cases[] = {
        {"top;COMPRESS=TRUE;UserID=0X80010203;Version=2020.1", 0x10203,
         "design: top\nversion: 1-2.3(dev)\nvivado: 2020.1\ndevice: 7a35tfgg484\ndate: 2024/03/14\ntime: 09:05:07\n"
         "size: 66051\n"},
        {"top;UserID=0X00020103;Version=2019.2", 0x10203, "design: top\nversion: 2-1.3\nvivado: 2019.2\n"},
        {"top;UserID=7FFF0A0B;Version=2021.2", 0x10203, "design: top\nversion: 32767-10.11\nvivado: 2021.2\n"},
        {"top;UserID=0X80010203", -8, "design: top\nversion: 1-2.3(dev)\n"},
        {"top;COMPRESS=TRUE", -19, "design: top\n"},
        {"top", -6, "design: top\n"},
        {"top;UserID:0X1;Version=1", -7, "design: top\n"},
        {"top;X=1;UserID=0X1;Vers=1", -9, "design: top\nversion: 0-0.1\n"},
    };
    for (const auto& c : cases) {
        Bitstream bit;
        bit.design = field('a', c.design);
        const Parsed parsed = parse(bit.bytes(), 1);
        EXPECT_EQ(parsed.result, c.result) << c.design;
        EXPECT_EQ(parsed.output.compare(0, std::strlen(c.output), c.output), 0) << c.design << ":\n" << parsed.output;
    }
    Bitstream unchecked;
    unchecked.design = field('a', "top");
    const Parsed quiet = parse(unchecked.bytes(), 0);
    EXPECT_EQ(quiet.result, 0x10203) << "the design field is checked only when verbose";
    EXPECT_EQ(quiet.output, "");
    EXPECT_EQ(quiet.next, 0xAA) << "left at the first configuration byte";
}

TEST(BitstreamHeader, EveryMalformedPieceHasItsCode)
{
    const std::string twoBytes = be16(1);
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
        {-16, [](Bitstream& b) { b.time = field('d', "09:05:07.123456Z"); }},
        {-17, [](Bitstream& b) { b.time = "d" + be16(9) + "09", b.size = ""; }},
        {-18, [](Bitstream& b) { b.size[0] = 'x'; }},
    };
    for (const auto& c : cases) {
        Bitstream bit;
        c.spoil(bit);
        EXPECT_EQ(parse(bit.bytes(), 1).result, c.result);
    }
}

// Found by fuzzing: a file that ends right after the 'e' key still gives a
// length, its missing bytes read as 0, and leaves the file past the key.
TEST(BitstreamHeader, LengthBytesMissingAtTheEnd)
{
    Bitstream bit;
    const std::string bytes = bit.lead + bit.design + bit.part + bit.date + bit.time + "e";
    FILE* file = memoryFile(bytes);
    EXPECT_EQ(bitfileParseHeader(file, 0), 0);
    EXPECT_GE(std::ftell(file), 26);
    std::fclose(file);
}

TEST(ByteReaders, BigEndianAndEndOfFile)
{
    FILE* file = memoryFile(std::string("\x89\xAB\xCD\xEF\x01\x02", 6));
    EXPECT_EQ(readFourBytes(file), 0x89ABCDEFu);
    EXPECT_EQ(skipBytes(file, 2), 0) << "the last byte read is no end of file yet";
    EXPECT_NE(skipBytes(file, 1), 0);
    std::fclose(file);
}

} // namespace
