#include "framework/sdi/PayloadIdentifier1080.h"
#include "framework/sdi/PayloadIdentifier2160.h"
#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>

using namespace Tessaly::Sdi;

namespace {

PayloadIdentifierField field(int byteIndex, std::initializer_list<int> bits)
{
    return PayloadIdentifierBase::fieldAt({}, byteIndex, bits);
}

TEST(PayloadIdentifierField, WritesValuesThatFitRefusesOthersAndReadsOnlyTheWord)
{
    // What the case shows, the field, the word before, the value, whether it is taken, the word after.
    const std::tuple<const char*, PayloadIdentifierField, unsigned int, int, bool, unsigned int> cases[] = {
        {"two bits, 4 refused", field(3, {0, 1}), 0x12345678, 4, false, 0x12345678},
        {"negative refused", field(0, {0}), 0xFFFFFFFF, -1, false, 0xFFFFFFFF},
        {"writing 0 clears only the field", field(1, {4, 5}), 0xFFFFFFFF, 0, true, 0xFFCFFFFF},
        {"eight bits hold 255", field(3, {0, 1, 2, 3, 4, 5, 6, 7}), 0, 255, true, 0x000000FF},
        {"eight bits refuse 256", field(3, {0, 1, 2, 3, 4, 5, 6, 7}), 0, 256, false, 0},
        {"no bits take only 0", field(3, {}), 7, 0, true, 7},
        {"nine bits take only 0", field(3, {0, 1, 2, 3, 4, 5, 6, 7, 0}), 0xFF, 0, true, 0},
        {"nine bits refuse 1", field(3, {0, 1, 2, 3, 4, 5, 6, 7, 0}), 0, 1, false, 0},
        {"byte beyond the word refused", field(4, {0}), 0, 1, false, 0},
        {"bit beyond the byte refused", field(3, {8}), 0, 1, false, 0},
    };
    for (const auto& [name, field, before, value, accepted, after] : cases) {
        unsigned int word = before;
        EXPECT_EQ(field.applyValueToPayloadIdentifierWord(word, value), accepted) << name;
        EXPECT_EQ(word, after) << name;
        if (accepted && value != 0) {
            EXPECT_EQ(field.readFromPayloadIdentifierWord(word), value) << name;
        }
    }
    // Bits outside the word read as 0.
    EXPECT_EQ(field(-1, {0}).readFromPayloadIdentifierWord(0xFFFFFFFF), 0);
    EXPECT_EQ(field(2, {9, 0}).readFromPayloadIdentifierWord(0xFFFFFFFF), 2);
    EXPECT_EQ(field(3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).readFromPayloadIdentifierWord(1), 255);
}

using FT = PayloadIdentifierBase::FieldType;

struct Place {
    FT type;
    int byteIndex;
    std::vector<int> bits;
};

// The places, written out independently of the library's definitions.
const Place payload{FT::PayloadAndDigitalInterface, 0, {0, 1, 2, 3, 4, 5, 6, 7}};
const Place sampling{FT::SampleStructure, 2, {0, 1, 2, 3}};
const Place rate{FT::PictureRate, 1, {0, 1, 2, 3}};
const Place picture{FT::PictureFormat, 1, {6}};
const Place transport{FT::TransportFormat, 1, {7}};
const Place depth{FT::BitDepth, 3, {0, 1}};
const Place depth1{FT::BitDepth, 3, {0}};
const Place size{FT::HorizontalPixelArraySize, 2, {6}};
const Place transfer{FT::TransferCharacteristics, 1, {4, 5}};
const Place luminance{FT::LuminanceAndColourDifference, 3, {4}};
const Place aspectA{FT::AspectRatio, 2, {7}};
const Place aspectB{FT::AspectRatio, 2, {5}};
const Place colourA{FT::Colourimetry, 2, {4, 5}};
const Place colourB{FT::Colourimetry, 2, {4, 7}};
const Place audioCopy{FT::AudioCopyStatus, 3, {2}};
const Place channel1{FT::Channel, 3, {6}};
const Place channel2{FT::Channel, 3, {6, 7}};
const Place channel3{FT::Channel, 3, {5, 6, 7}};

// HD places in the level A layout and in that of level B and 1.5G.
const std::vector<Place> hdA{payload, sampling, rate, picture, transport, depth, aspectA, size, colourA, transfer, luminance};
const std::vector<Place> hdB{payload, sampling, rate, picture, transport, depth, aspectB, size, colourB, transfer, luminance};

std::vector<Place> with(std::vector<Place> places, const std::vector<Place>& more)
{
    places.insert(places.end(), more.begin(), more.end());
    return places;
}

// Each class's code, interface text and places.
const std::tuple<int, const char*, std::vector<Place>> classRows[] = {
    {0x81, "270M", {payload, sampling, rate, picture, depth1, aspectA, size}},
    {0x84, "1.5G", {payload, sampling, rate, picture, depth1, colourA, transfer, luminance}},
    {0x85, "1.5G", hdB},
    {0x87, "dual-link 1.5G", with(hdB, {channel1})},
    {0x88, "3G level A", hdA},
    {0x89, "3G level A", hdA},
    {0x8A, "3G level B", with(hdB, {channel1})},
    {0x96, "dual-link 3G level B", with(hdB, {audioCopy, channel2})},
    {0x97, "quad-link 3G level A", with(hdA, {audioCopy, channel2})},
    {0x98, "quad-link 3G level B", with(hdB, {audioCopy, channel3})},
    {0xC0, "6G", with(hdA, {audioCopy, channel3})},
    {0xC2, "dual-link 6G", with(hdA, {audioCopy, channel3})},
    {0xCE, "12G", with(hdA, {audioCopy, channel3})},
    {0xD2, "quad-link 12G", with(hdA, {audioCopy, channel3})},
};

// The factory picks each code's class, named by its interface. Every value of
// every byte, under every class, on a background of zeros and of ones: each
// field reads the bits of its place, and every bit no place covers is reported
// reserved, in bit order. Whatever the word, the decoder answers with a text,
// a scan type and a geometry.
TEST(PayloadIdentifierMaps, EveryByteValueReadsThroughTheClassesPlaces)
{
    CapturingLogger log;
    for (const auto& [code, interface, places] : classRows) {
        const auto byCode = makePayloadIdentifier(static_cast<unsigned int>(code) << 24);
        ASSERT_EQ(byCode->interfaceDescription().toStdString(), interface) << code;
        const PayloadIdentifierClass* cls = findPayloadIdentifierClass(QString::number(code));
        for (int byteIndex = 0; byteIndex < 4; ++byteIndex) {
            for (unsigned int value = 0; value < 256; ++value) {
                for (const unsigned int background : {0u, 0xFFFFFFFFu}) {
                    const unsigned int shift = static_cast<unsigned int>(3 - byteIndex) * 8;
                    const unsigned int word = (background & ~(0xFFu << shift)) | (value << shift);
                    auto id = cls->make(word);
                    unsigned int covered = 0;
                    for (const FT type : PayloadIdentifierBase::allFieldTypes) {
                        const Place* place = nullptr;
                        for (const auto& candidate : places)
                            place = candidate.type == type ? &candidate : place;
                        int expected = 0;
                        for (std::size_t i = 0; place && i < place->bits.size(); ++i) {
                            const int wordBit = (3 - place->byteIndex) * 8 + place->bits[i];
                            covered |= 1u << wordBit;
                            expected |= static_cast<int>((word >> wordBit) & 1u) << i;
                        }
                        const bool noColourimetry = type == FT::Colourimetry && !place;
                        const int got = type == FT::Colourimetry ? static_cast<int>(id->getColourimetry())
                                                                 : id->getFieldValue(type);
                        ASSERT_EQ(got, noColourimetry ? 999 : expected)
                            << std::hex << code << " word " << word << " field " << static_cast<int>(type);
                        ASSERT_EQ(id->hasField(type), place != nullptr) << std::hex << code;
                    }
                    std::list<QString> reserved;
                    for (int bit = 0; bit < 32; ++bit)
                        if ((word & ~covered) >> bit & 1u)
                            reserved.push_back(QStringLiteral("Reserved bit not 0, Byte %1, Bit %2").arg(bit / 8).arg(bit % 8));
                    ASSERT_EQ(id->doReservedBitsChecks(), reserved) << std::hex << code << " word " << word;
                    ASSERT_FALSE(id->toHumanReadable(true).isEmpty());
                    id->doSmpteValidationChecks();
                    const int scan = id->getPicutreInterlacedProgressivePsf();
                    ASSERT_TRUE(scan >= 1 && scan <= 3);
                    ASSERT_EQ(id->getFieldHeights().size(), id->getFieldFirstLineNumbersOfActivePicture().size());
                }
            }
        }
    }
    // Equality compares the words alone, whatever the classes.
    EXPECT_TRUE(*makePayloadIdentifier(0x89C98001) == PayloadIdentifier2160_12g(0x89C98001));
    EXPECT_TRUE(*makePayloadIdentifier(0x89C98001) != PayloadIdentifier1080_3g(0x89C98002));
}

TEST(PayloadIdentifierMaps, ReservedBitsAreLoggedAsWarningsInBitOrder)
{
    CapturingLogger log; // the real identifiers' test shows words without reserved bits log nothing
    PayloadIdentifier1080_3g twoReserved(0x89C98001 | 0x04 | 0x08);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("warning: ", 0), 0u);
    EXPECT_NE(lines[0].find("Reserved bit not 0, Byte 0, Bit 2"), std::string::npos);
    EXPECT_NE(lines[1].find("Reserved bit not 0, Byte 0, Bit 3"), std::string::npos);
}

// Builders write each value through the class's own places, in their own
// parameter order: a random word of the class's fields, read through the
// getters and built again, gives the same word.
TEST(PayloadIdentifierBuilders, RoundTripThroughTheReaders)
{
    using namespace PayloadId;
    struct V {
        TransportFormat t;
        PictureFormat p;
        PictureRate r;
        Colourimetry c;
        AspectRatio a;
        HorizontalPixelArraySize h;
        SampleStructure s;
        BitDepth d;
        TransferCurve tc;
        LuminanceAndColourDifferenceSignal l;
        AudioCopyStatus ac;
        Channel ch;
    };
    const auto read = [](PayloadIdentifierBase& i) {
        return V{i.getTransportInterlaced(), i.getPictureInterlaced(), i.getPictureRate(), i.getColourimetry(),
                 i.getAspectRatio(), i.getHorizontalArraySize(), i.getSampleStructure(), i.getBitDepth(),
                 i.getTransferCharacteristics(), i.getLuminanceAndColourDifferenceSignal(), i.getAudioCopyStatus(),
                 i.getChannel()};
    };
    const std::pair<const char*, std::function<unsigned int(const V&)>> builders[] = {
        {"1080_1g5", [](const V& v) { return PayloadIdentifier1080_1g5::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.a, v.h, v.s, v.d, v.tc, v.l); }},
        {"1080_3g", [](const V& v) { return PayloadIdentifier1080_3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.a, v.h, v.s, v.d, v.tc, v.l); }},
        {"1080_DualLink1g5", [](const V& v) { return PayloadIdentifier1080_DualLink1g5::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.h, v.a, v.s, v.ch, v.d, v.tc, v.l); }},
        {"1080_Levelb3g", [](const V& v) { return PayloadIdentifier1080_Levelb3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.h, v.a, v.s, v.ch, v.d, v.tc, v.l); }},
        {"2160_QuadLink3g", [](const V& v) { return PayloadIdentifier2160_QuadLink3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.tc, v.l, v.ch); }},
        {"2160_QuadLinkLevelb3g", [](const V& v) { return PayloadIdentifier2160_QuadLinkLevelb3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.s, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }},
        {"2160_DualLinkLevelb3g", [](const V& v) { return PayloadIdentifier2160_DualLinkLevelb3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }},
        {"2160_6g", [](const V& v) { return PayloadIdentifier2160_6g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }},
        {"2160_DualLink6g", [](const V& v) { return PayloadIdentifier2160_DualLink6g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }},
        {"2160_12g", [](const V& v) { return PayloadIdentifier2160_12g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }},
        {"4320_QuadLink12g_SingleOnly", [](const V& v) { return PayloadIdentifier4320_QuadLink12g_SingleOnly::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }},
    };
    std::mt19937 random(352);
    for (const auto& [name, build] : builders) {
        const PayloadIdentifierClass* cls = findPayloadIdentifierClass(QLatin1String(name));
        unsigned int fields = 0;
        const auto blank = cls->make(0);
        for (const auto& field : blank->getFieldMap())
            fields |= field.second.wordMask();
        for (int trial = 0; trial < 200; ++trial) {
            const unsigned int word = (static_cast<unsigned int>(random()) & fields & 0xFFFFFFu)
                | static_cast<unsigned int>(cls->payloadCode) << 24;
            ASSERT_EQ(build(read(*cls->make(word))), word) << name << std::hex << " word " << word;
        }
    }
    // A value too wide for its place leaves those bits 0; the rest is written.
    const unsigned int word = PayloadIdentifier1080_DualLink1g5::getPayloadIdentifierWord(
        TransportFormat::Progressive, PictureFormat::Progressive, PictureRate::Rate50, Colourimetry::Rec709,
        HorizontalPixelArraySize::Pixels1920, AspectRatio::Ratio16x9, SampleStructure::YCbCr422, Channel::Channel3,
        BitDepth::Bits10, TransferCurve::Sdr, LuminanceAndColourDifferenceSignal::YCbCr);
    EXPECT_EQ(word, 0x87C92001u);
}

} // namespace
