#include "platform/ProgrammingFiles.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Lines are read at most 139 characters at a time.
constexpr int lineLength = 140;

constexpr char stx = 0x02;
constexpr char etx = 0x03;

bool readLine(FILE* file, char* line)
{
    return std::fgets(line, lineLength, file) != nullptr;
}

// Packs `count` bytes from '0'/'1' characters, first character of each eight
// the most significant bit. Stops at the first other character; bytes not
// reached stay as they were.
void packBits(const char* bits, size_t available, unsigned char* bytes, size_t count)
{
    for (size_t byte = 0; byte < count; ++byte) {
        unsigned value = 0;
        for (size_t bit = 0; bit < 8; ++bit) {
            const size_t at = byte * 8 + bit;
            if (at >= available || (bits[at] != '0' && bits[at] != '1'))
                return;
            value = (value << 1) | (bits[at] == '1' ? 1u : 0u);
        }
        bytes[byte] = static_cast<unsigned char>(value);
    }
}

// The first `width` characters of `text`, last first; characters past the
// end of the text stay NUL and so stop the packing.
void reversed(const char* text, size_t width, char* out)
{
    const size_t length = std::strlen(text);
    for (size_t i = 0; i < width; ++i)
        out[i] = width - 1 - i < length ? text[width - 1 - i] : '\0';
}

void printBytes(const char* label, const unsigned char* bytes, size_t count)
{
    std::printf("%s", label);
    for (size_t i = 0; i < count; ++i)
        std::printf(" %02X", bytes[i]);
    std::printf("\n");
}

// Note lines end in '*' and whitespace, which are not part of the value.
void stripNoteEnd(char* line)
{
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '*' || std::isspace(static_cast<unsigned char>(line[length - 1]))))
        line[--length] = '\0';
}

const char* skipSpace(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    return text;
}

bool startsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

void printCreationDate(const char* value)
{
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char weekday[4] = {};
    char month[4] = {};
    int day = 0, hour = 0, minute = 0, second = 0, year = 0;
    const int fields = std::sscanf(value, "%3s %3s %2d %2d:%2d:%2d %4d", weekday, month, &day, &hour, &minute, &second, &year);
    if (fields != 7) {
        std::fprintf(stderr, "date parse failed %d : \"%s\"\n", fields, value);
        return;
    }
    int monthNumber = 1;
    while (monthNumber <= 12 && std::strncmp(months + 3 * (monthNumber - 1), month, 3) != 0)
        ++monthNumber;
    std::printf("date: %d/%d/%d\n", year, monthNumber, day);
    std::printf("time: %2d:%02d:%02d\n", hour, minute, second);
}

struct NoteState {
    bool configEnded = false;
};

void handleNote(char* line, int quiet, NoteState& state)
{
    stripNoteEnd(line);
    const char* text = std::strlen(line) > 5 ? line + 5 : "";
    if (startsWith(text, "DATE CREATED:")) {
        if (!quiet)
            printCreationDate(skipSpace(text + 13));
    } else if (startsWith(text, "DESIGN NAME:")) {
        if (!quiet)
            std::printf("design: %s\n", skipSpace(text + 12));
    } else if (startsWith(text, "DEVICE NAME:")) {
        if (!quiet)
            std::printf("device: %s\n", skipSpace(text + 12));
    } else if (startsWith(text, "Diamond")) {
        // The tool's version: what follows "Diamond " up to the words starting with 'J'.
        const char* version = std::strlen(text) > 8 ? text + 8 : "";
        const char* end = std::strchr(version, 'J');
        if (!quiet)
            std::printf("diamond: %.*s\n", static_cast<int>(end ? end - version : std::strlen(version)), version);
    } else if (startsWith(text, "END CONFIG DATA")) {
        state.configEnded = true;
    }
}

// The 64-bit feature row on this line, then 16 feature bits on the next.
int handleFeatureRow(FILE* file, const char* line)
{
    char bits[64];
    unsigned char row[8] = {};
    reversed(line + 1, sizeof bits, bits);
    packBits(bits, sizeof bits, row, sizeof row);
    printBytes("featurerow:", row, sizeof row);
    char next[lineLength];
    if (!readLine(file, next))
        return -5;
    char featureBits[16];
    unsigned char feature[2] = {};
    reversed(next, sizeof featureBits, featureBits);
    packBits(featureBits, sizeof featureBits, feature, sizeof feature);
    printBytes("featurebits:", feature, sizeof feature);
    return 0;
}

} // namespace

int jedParseHeader(FILE* file, int quiet)
{
    if (std::fgetc(file) != stx) {
        std::fprintf(stderr, "No STX at start\n");
        return -1;
    }
    char line[lineLength];
    if (!readLine(file, line))
        return -5;
    if (line[0] != '*')
        return -2;

    NoteState notes;
    int fuseCount = 0;
    int lastRows = 0;
    while (readLine(file, line)) {
        int value = 0;
        unsigned checksum = 0;
        switch (line[0]) {
        case etx:
            if (std::sscanf(line + 1, "%4x", &checksum) != 1)
                return -3;
            break;
        case '0':
        case '1':
        case 'F':
        case 'G':
            break;
        case 'C':
            if (std::sscanf(line + 1, "%4x", &checksum) != 1)
                return -6;
            break;
        case 'Q':
            // A negative count would pass for a return code.
            if (line[1] == 'F' && (std::sscanf(line + 2, "%d", &fuseCount) != 1 || fuseCount < 0))
                return -6;
            break;
        case 'L': {
            if (std::sscanf(line + 1, "%d", &value) != 1)
                return -6;
            if (quiet)
                return fuseCount / 8;
            int rows = 0;
            for (;;) {
                if (!readLine(file, line))
                    return -5;
                if (line[0] == '*')
                    break;
                ++rows;
            }
            lastRows = rows;
            if (!notes.configEnded)
                std::printf("size: %d\n", 16 * rows);
            break;
        }
        case 'E':
            if (const int result = handleFeatureRow(file, line); result != 0)
                return result;
            break;
        case 'U': {
            unsigned char code[4] = {};
            packBits(line + 1, std::strlen(line + 1), code, sizeof code);
            printBytes("usercode:", code, sizeof code);
            break;
        }
        default:
            if (startsWith(line, "NOTE")) {
                handleNote(line, quiet, notes);
                break;
            }
            std::fprintf(stderr, "unexpected line: %c\n", line[0]);
            return -4;
        }
    }
    return 16 * lastRows;
}

int jedDumpBinaryFuseData(FILE* in, int bitsPerRow, FILE* out)
{
    // A line holds at most 139 bits; bytes past them are written as zero.
    constexpr size_t packedMost = lineLength / 8 + 1;
    static const unsigned char zeros[256] = {};
    const size_t fullBytes = bitsPerRow > 0 ? static_cast<size_t>(bitsPerRow) / 8 : 0;
    const size_t rowBytes = bitsPerRow > 0 ? (static_cast<size_t>(bitsPerRow) + 7) / 8 : 0;
    char line[lineLength];
    int rows = 0;
    for (;;) {
        if (!readLine(in, line))
            return -5;
        if (line[0] == '*')
            return rows;
        unsigned char packed[packedMost] = {};
        const size_t packedBytes = fullBytes < packedMost ? fullBytes : packedMost;
        packBits(line, std::strlen(line), packed, packedBytes);
        const size_t head = rowBytes < packedMost ? rowBytes : packedMost;
        std::fwrite(packed, 1, head, out);
        for (size_t left = rowBytes - head; left > 0;) {
            const size_t piece = left < sizeof zeros ? left : sizeof zeros;
            std::fwrite(zeros, 1, piece, out);
            left -= piece;
        }
        ++rows;
    }
}
