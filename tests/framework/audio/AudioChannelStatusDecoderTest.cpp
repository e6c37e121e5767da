#include "framework/audio/AudioChannelStatusDecoder.h"
#include "framework/audio/ChannelStatusBytes.h"
#include "framework/audio/ConsumerCategory.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <initializer_list>
#include <tuple>
#include <utility>

using namespace Tessaly;
using Decoder = AudioChannelStatusDecoder;
using ChannelStatus = AudioProcessingRegisterApi::ChannelStatus;

namespace {

// A block with the given bytes set and every other byte zero.
ChannelStatus block(std::initializer_list<std::pair<int, uint8_t>> bytes, uint8_t valid = 1, int crcError = 0)
{
    ChannelStatusBytes raw{};
    for (const auto& [index, value] : bytes)
        raw[index] = value;
    ChannelStatus cs{valid, {}, crcError};
    const auto words = channelStatusWordsFromBytes(raw);
    std::copy(words.begin(), words.end(), cs.csWords);
    return cs;
}

const QString micro = QStringLiteral("50/15 ") + QChar(0x00B5) + QStringLiteral("s");

} // namespace

// Each text of a whole block comes from its own field, in record order.
static QString joined(const Decoder::DecodedCs& d)
{
    const auto& c = d.char0;
    return QStringList{d.status, c.profile, c.dataType, c.preemphasis, c.sourceLock, c.frequency, c.channelMode,
                       c.wordLength, c.alignmentLevel, d.origin, d.destination, d.sampleAddress, d.timeOfDay,
                       d.reliability}
        .join('|');
}

// The registers hold byte 0 in the top bits of word 0, four bytes a word.
TEST(AudioChannelStatusDecoder, WholeBlocks)
{
    const ChannelStatus professional{1, {0x8502AC00, 0x00005300, 0x00004400, 0x00000A00, 0x00002300, 0x00003000}, 0};
    EXPECT_EQ(joined(Decoder::decodeAll(professional)),
              QStringLiteral("CRCC Ok|Pro|PCM|None|Locked|48|Stereo|24/24|-20|S") + QString(3, QChar(0)) + "|D"
                  + QString(3, QChar(0)) + "|0A000000|23:00:00:00|Sa,Ti - Ok");
    // Consumer blocks carry none of the professional-only fields.
    EXPECT_EQ(joined(Decoder::decodeAll(block({{3, 0x02}, {4, 0x0B}}, 0))),
              "Invalid|Consumer|PCM|None|N/A|48|Mode 0|24/24|N/A|||||");
}

TEST(AudioChannelStatusDecoder, Status)
{
    // Validity, CRC error, whether the CRC is used, the status.
    const std::tuple<uint8_t, int, bool, const char*> rows[] = {
        {1, 0, true, "CRCC Ok"},  {0, 0, true, "Invalid"},  {2, 0, true, "Invalid"}, {1, 1, true, "CRCC Bad"},
        {0, -5, true, "CRCC Bad"}, {1, 0, false, "No CRC"}, {0, 0, false, "Invalid"}, {1, 1, false, "No CRC"},
    };
    for (const auto& [valid, crcError, crcUsed, text] : rows)
        EXPECT_EQ(Decoder::getStatus(block({}, valid, crcError), crcUsed), text)
            << int(valid) << ' ' << crcError << ' ' << crcUsed;
}

TEST(AudioChannelStatusDecoder, ProfessionalFrequency)
{
    // Bytes 0 and 4, the rate, the rate with the 1/1.001 flag (byte 4 bit 7).
    const std::tuple<uint8_t, uint8_t, const char*, const char*> rows[] = {
        {0x81, 0x00, "48", "47.952"},        {0x41, 0x00, "44.1", "44.0559"},     {0xC1, 0x00, "32", "31.968"},
        {0x01, 0x08, "24", "23.976"},        {0x01, 0x10, "96", "95.9041"},       {0x01, 0x18, "192", "191.808"},
        {0x01, 0x48, "22.05", "22.028"},     {0x01, 0x50, "88.2", "88.1119"},     {0x01, 0x58, "176.4", "176.224"},
        {0x01, 0x00, "Unspecified", "Unspecified"}, {0x81, 0x10, "48", "47.952"},  // byte 0 decides before byte 4
        {0x01, 0x0B, "24", "23.976"},  // bits outside 2-6 do not matter
    };
    for (const auto& [byte0, byte4, plain, pulledDown] : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << int(byte0) << ' ' << int(byte4));
        EXPECT_EQ(Decoder::getFrequencyFromCSBytesProfessional(block({{0, byte0}, {4, byte4}}).csWords), plain);
        EXPECT_EQ(Decoder::getFrequencyFromCSBytesProfessional(block({{0, byte0}, {4, uint8_t(byte4 | 0x80)}}).csWords),
                  pulledDown);
    }
}

// Fields read from one byte each: per reader, the byte it reads and texts of its values, one of them with every
// bit outside the field set.
TEST(AudioChannelStatusDecoder, OneByteFields)
{
    using Text = std::pair<uint8_t, QString>;
    const struct {
        QString (*read)(const uint32_t*);
        int byte;
        std::vector<Text> texts;
    } fields[] = {
        {Decoder::getDataTypeFromCSBytes, 0, {{0x00, "PCM"}, {0x02, "Non-PCM"}, {0xFD, "PCM"}}},
        {Decoder::getPreemphasisFromCSBytesProfessional, 0, {{0x00, "Unknown"}, {0x04, "None"}, {0x08, "?"},
            {0x0C, micro}, {0x10, "?"}, {0x1C, "ITU-T J.17"}, {0xE3, "Unknown"}}},
        {Decoder::getSourceLockFromCSBytes, 0, {{0x00, "Locked"}, {0x20, "Unlocked"}, {0xDF, "Locked"}}},
        {Decoder::getPreemphasisFromCSBytesConsumer, 0,
         {{0x00, "None"}, {0x08, micro}, {0x10, "?"}, {0x20, "?"}, {0xC7, "None"}}},
        {Decoder::getChannelModeFromCSBytesConsumer, 0, {{0x00, "Mode 0"}, {0x40, "?"}, {0x80, "?"}, {0x3F, "Mode 0"}}},
        {Decoder::getFrequencyFromCSBytesConsumer, 3, {{0x00, "44.1"}, {0x02, "48"}, {0x03, "32"}, {0x01, "?"},
                                                       {0xF2, "48"}}},
        {Decoder::getWordLengthFromCSBytesProfessional, 2, {
            {0x24, "23/24"}, {0x22, "19/20"}, {0x26, "User"}, {0x20, "Default (20)"}, {0x2C, "24/24"}, {0x2A, "20/20"},
            {0x14, "22/24"}, {0x12, "18/20"}, {0x34, "21/24"}, {0x32, "17/20"}, {0x0C, "20/24"}, {0x0A, "16/20"},
            {0x04, "Default (24)/24"}, {0x02, "Default (20)/20"}, {0x1C, "?"}, {0x01, "?"}, {0xC4, "Default (24)/24"}}},
        {Decoder::getWordLengthFromCSBytesConsumer, 4, {
            {0x0B, "24/24"}, {0x0A, "20/20"}, {0x09, "23/24"}, {0x08, "19/20"}, {0x05, "22/24"}, {0x04, "18/20"},
            {0x0D, "21/24"}, {0x0C, "17/20"}, {0x03, "20/24"}, {0x02, "16/20"}, {0x01, "Default (24)/24"},
            {0x00, "Default (20)/20"}, {0x06, "?"}, {0xF1, "Default (24)/24"}}},
        {Decoder::getAlignmentLevelFromCSBytes, 2,
         {{0x00, "Unknown"}, {0x80, "-20"}, {0x40, "-18.06"}, {0xC0, "?"}, {0x3F, "Unknown"}}},
        {Decoder::getReliabilityFromCSBytes, 22, {{0x00, "All Ok"}, {0xF0, "All Bad"}, {0x10, "Ch,Sa,Ti - Ok"},
            {0x80, "Si,Ch,Sa - Ok"}, {0x70, "Ti - Ok"}, {0x0F, "All Ok"}, {0x5A, "Ch,Ti - Ok"}}},
        {consumerCopyrightText, 0, {{0x00, "Copyright asserted"}, {0x04, "No copyright asserted"}}},
        {consumerCategoryText, 1, {
            {0x00, "0x00 General"}, {0x01, "0x01 Laser optical"}, {0x81, "0x81 Laser optical"},
            {0x02, "0x02 Digital converter or signal processor"}, {0x03, "0x03 Magnetic tape or disc"},
            {0x04, "0x04 Broadcast reception"}, {0x05, "0x05 Musical instrument or microphone"}, {0x07, "0x07 Other"}}},
    };
    for (const auto& field : fields)
        for (const auto& [value, text] : field.texts)
            EXPECT_EQ(field.read(block({{field.byte, value}}).csWords), text) << field.byte << ' ' << int(value);

    const char* modes[16] = {"Unknown", "1 Ch 2xFs", "Stereo", "?", "1 Channel", "?", "?", "?",
                             "2 Channel", "1 Ch 2xFs", "?", "?", "Pri-Sec", "?", "1 Ch 2xFs", "Multichannel"};
    for (int code = 0; code < 16; ++code)
        EXPECT_EQ(Decoder::getChannelModeFromCSBytesProfessional(block({{1, uint8_t(0xF0 | code)}}).csWords), modes[code])
            << code;
}

TEST(AudioChannelStatusDecoder, ProfessionalTextsAndAddresses)
{
    const ChannelStatus cs = block({{6, 'S'}, {7, '%'}, {8, '1'}, {9, 0xE9}, {10, 0}, {11, 'D'}, {12, '%'}, {13, '2'},
                                    {14, 0x0A}, {15, 0xBC}, {16, 0x00}, {17, 0xF1}, {18, 0x23}, {19, 0x5F}, {20, 0x0}, {21, 0xAB}});
    EXPECT_EQ(Decoder::getOriginFromCSBytes(cs.csWords), QStringLiteral("S%1") + QChar(0xE9));
    EXPECT_EQ(Decoder::getDestinationFromCSBytes(cs.csWords), QString(QChar(0)) + QStringLiteral("D%2"));
    EXPECT_EQ(Decoder::getSampleAddrFromCSBytes(cs.csWords), "0ABC00F1");
    EXPECT_EQ(Decoder::getSamplesSinceMidnightFromCSBytes(cs.csWords), "23:5F:00:AB");
}
