#include "framework/sdi/PayloadIdentifier1080.h"
#include "framework/sdi/PayloadIdentifier2160.h"
#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>
#include <spdlog/spdlog.h>

#include <functional>
#include <list>
#include <memory>
#include <random>
#include <vector>

using namespace Tessaly::Sdi;

namespace {

using FT = PayloadIdentifierBase::FieldType;

struct Place {
    FT type;
    int byteIndex;
    std::vector<int> bits;
};

// The shared places, written out independently of the library's definitions.
const Place payload{FT::PayloadAndDigitalInterface, 0, {0, 1, 2, 3, 4, 5, 6, 7}};
const Place sampling{FT::SampleStructure, 2, {0, 1, 2, 3}};
const Place rate{FT::PictureRate, 1, {0, 1, 2, 3}};
const Place picture{FT::PictureFormat, 1, {6}};
const Place transport{FT::TransportFormat, 1, {7}};
const Place depth{FT::BitDepth, 3, {0, 1}};
const Place size{FT::HorizontalPixelArraySize, 2, {6}};
const Place transfer{FT::TransferCharacteristics, 1, {4, 5}};
const Place luminance{FT::LuminanceAndColourDifference, 3, {4}};
const Place channel3{FT::Channel, 3, {5, 6, 7}};
const Place aspectA{FT::AspectRatio, 2, {7}};
const Place aspectB{FT::AspectRatio, 2, {5}};
const Place colourA{FT::Colourimetry, 2, {4, 5}};
const Place colourB{FT::Colourimetry, 2, {4, 7}};
const Place audioCopy{FT::AudioCopyStatus, 3, {2}};
const Place channel1{FT::Channel, 3, {6}};
const Place channel2{FT::Channel, 3, {6, 7}};

struct ClassRow {
    int code, links, rate, level, subImages, mapping;
    std::vector<Place> places;
};

// Places every 2160 class and the 4320 class share, before their channel field.
const std::vector<Place> uhdA{payload, sampling, rate, picture, transport, depth, aspectA, size, colourA, transfer,
                              luminance, audioCopy};
const std::vector<Place> uhdB{payload, sampling, rate, picture, transport, depth, aspectB, size, colourB, transfer,
                              luminance, audioCopy};

std::vector<Place> with(std::vector<Place> places, const Place& more)
{
    places.push_back(more);
    return places;
}

const std::vector<ClassRow>& classRows()
{
    static const std::vector<ClassRow> rows{
        {0x81, 1, 4, 0, 1, 0, {payload, sampling, rate, picture, {FT::BitDepth, 3, {0}}, aspectA, size}},
        {0x84, 1, 3, 0, 1, 0, {payload, sampling, rate, picture, {FT::BitDepth, 3, {0}}, colourA, transfer, luminance}},
        {0x85, 1, 3, 0, 1, 0,
         {payload, sampling, rate, picture, transport, depth, aspectB, size, colourB, transfer, luminance}},
        {0x87, 2, 3, 0, 1, 0,
         {payload, sampling, rate, picture, transport, depth, aspectB, size, colourB, transfer, luminance, channel1}},
        {0x88, 1, 2, 0, 1, 0,
         {payload, sampling, rate, picture, transport, depth, aspectA, size, colourA, transfer, luminance}},
        {0x89, 1, 2, 0, 1, 0,
         {payload, sampling, rate, picture, transport, depth, aspectA, size, colourA, transfer, luminance}},
        {0x8A, 1, 2, 1, 1, 0,
         {payload, sampling, rate, picture, transport, depth, aspectB, size, colourB, transfer, luminance, channel1}},
        {0x96, 2, 2, 1, 4, 1, with(uhdB, channel2)},
        {0x97, 4, 2, 0, 4, 1, with(uhdA, channel2)},
        {0x98, 4, 2, 1, 4, 1, with(uhdB, channel3)},
        {0xC0, 1, 1, 0, 4, 1, with(uhdA, channel3)},
        {0xC2, 2, 1, 0, 4, 1, with(uhdA, channel3)},
        {0xCE, 1, 0, 0, 4, 1, with(uhdA, channel3)},
        {0xD2, 1, 0, 0, 4, 1, with(uhdA, channel3)},
    };
    return rows;
}

std::shared_ptr<PayloadIdentifierBase> read(const ClassRow& row, unsigned int word)
{
    return findPayloadIdentifierClass(QString::number(row.code))->make(word);
}

// Every value of every byte, under every class, on a background of zeros and
// of ones: each field reads the bits of its independently written place, and
// every bit no place covers is reported reserved, in bit order. Whatever the
// word, the decoder answers with a text, a scan type and a geometry.
TEST(PayloadIdentifierMaps, EveryByteValueReadsThroughTheClassesPlaces)
{
    CapturingLogger log;
    for (const auto& row : classRows()) {
        for (int byteIndex = 0; byteIndex < 4; ++byteIndex) {
            for (unsigned int value = 0; value < 256; ++value) {
                for (const unsigned int background : {0u, 0xFFFFFFFFu}) {
                    const unsigned int shift = static_cast<unsigned int>(3 - byteIndex) * 8;
                    const unsigned int word = (background & ~(0xFFu << shift)) | (value << shift);
                    auto id = read(row, word);
                    unsigned int covered = 0;
                    for (const FT type : PayloadIdentifierBase::allFieldTypes) {
                        const Place* place = nullptr;
                        for (const auto& candidate : row.places)
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
                            << std::hex << row.code << " word " << word << " field " << static_cast<int>(type);
                        ASSERT_EQ(id->hasField(type), place != nullptr) << std::hex << row.code;
                    }
                    std::list<QString> reserved;
                    for (int bit = 0; bit < 32; ++bit)
                        if ((word & ~covered) >> bit & 1u)
                            reserved.push_back(QStringLiteral("Reserved bit not 0, Byte %1, Bit %2").arg(bit / 8).arg(bit % 8));
                    ASSERT_EQ(id->doReservedBitsChecks(), reserved) << std::hex << row.code << " word " << word;
                    ASSERT_FALSE(id->toHumanReadable(true).isEmpty());
                    id->doSmpteValidationChecks();
                    const int scan = id->getPicutreInterlacedProgressivePsf();
                    ASSERT_TRUE(scan >= 1 && scan <= 3);
                    ASSERT_EQ(id->getFieldHeights().size(), id->getFieldFirstLineNumbersOfActivePicture().size());
                }
            }
        }
    }
}

TEST(PayloadIdentifierMaps, ClassConstantsPayloadCodeAndEquality)
{
    for (const auto& row : classRows()) {
        auto id = read(row, static_cast<unsigned int>(row.code) << 24);
        EXPECT_EQ(id->getPayloadAndDigitialInterface(), row.code);
        EXPECT_EQ(id->getNumPhysicalConnections(), row.links) << row.code;
        EXPECT_EQ(static_cast<int>(id->getDataRatePerPhysicalConnection()), row.rate) << row.code;
        EXPECT_EQ(id->getLevel(), row.level) << row.code;
        EXPECT_EQ(id->getNumSubImages(), row.subImages) << row.code;
        EXPECT_EQ(id->getSubImagePixelMappingFormat(), row.mapping) << row.code;
        EXPECT_TRUE(id->hasCorrectpayloadAndDigitalInterface()) << row.code;
        EXPECT_FALSE(read(row, 0x80000000u)->hasCorrectpayloadAndDigitalInterface()) << row.code;
        // The factory picks the class of the code.
        EXPECT_EQ(makePayloadIdentifier(id->getWord())->getNumPhysicalConnections(), row.links) << row.code;
    }
    PayloadIdentifierBase base(0x89000000, {});
    EXPECT_FALSE(base.hasCorrectpayloadAndDigitalInterface());
    EXPECT_EQ(static_cast<int>(base.getDataRatePerPhysicalConnection()), 5);
    EXPECT_EQ(base.getNumPhysicalConnections(), 0);
    EXPECT_EQ(base.getNumSubImages(), 1);
    EXPECT_EQ(base.getPicutreInterlacedProgressivePsf(), 3);
    EXPECT_EQ(base.getPayloadAndDigitialInterface(), 0);
    // Equality compares the words alone, whatever the classes.
    CapturingLogger log;
    EXPECT_TRUE(*makePayloadIdentifier(0x89C98001) == PayloadIdentifier2160_12g(0x89C98001));
    EXPECT_FALSE(*makePayloadIdentifier(0x89C98001) != PayloadIdentifier2160_12g(0x89C98001));
    EXPECT_TRUE(*makePayloadIdentifier(0x89C98001) != PayloadIdentifier1080_3g(0x89C98002));
}

TEST(PayloadIdentifierMaps, ReservedBitsAreLoggedAsWarningsInBitOrder)
{
    CapturingLogger log;
    PayloadIdentifier1080_3g clean(0x89C98001);
    EXPECT_TRUE(log.lines().empty());
    PayloadIdentifier1080_3g twoReserved(0x89C98001 | 0x04 | 0x08);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("warning: ", 0), 0u);
    EXPECT_NE(lines[0].find("Reserved bit not 0, Byte 0, Bit 2"), std::string::npos);
    EXPECT_NE(lines[1].find("Reserved bit not 0, Byte 0, Bit 3"), std::string::npos);
    // A base with no map reserves every set bit; with no logger nothing breaks.
    log.clear();
    PayloadIdentifierBase bare(0x80000001, {});
    EXPECT_EQ(log.lines().size(), 2u);
    spdlog::drop("KWLOG");
    PayloadIdentifier1080_3g unlogged(0xFFFFFFFF);
    EXPECT_EQ(unlogged.doReservedBitsChecks().size(), 5u); // byte 4 bits 2, 3, 5, 6, 7
}

// Builders write each value through the class's own places, in their own
// parameter order: random values read back through the getters.
TEST(PayloadIdentifierBuilders, RoundTripThroughTheReaders)
{
    CapturingLogger log;
    using namespace PayloadId;
    // Values in one order for every class: transport, picture, rate,
    // colourimetry, aspect, size, sampling, depth, transfer, luminance,
    // audio copy, channel.
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
    using Build = std::function<unsigned int(const V&)>;
    const struct {
        const char* name;
        Build build;
        int channelBits;
        bool hasAudioCopy;
    } builders[] = {
        {"1080_1g5", [](const V& v) { return PayloadIdentifier1080_1g5::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.a, v.h, v.s, v.d, v.tc, v.l); }, 0, false},
        {"1080_3g", [](const V& v) { return PayloadIdentifier1080_3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.a, v.h, v.s, v.d, v.tc, v.l); }, 0, false},
        {"1080_DualLink1g5", [](const V& v) { return PayloadIdentifier1080_DualLink1g5::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.h, v.a, v.s, v.ch, v.d, v.tc, v.l); }, 1, false},
        {"1080_Levelb3g", [](const V& v) { return PayloadIdentifier1080_Levelb3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.h, v.a, v.s, v.ch, v.d, v.tc, v.l); }, 1, false},
        {"2160_QuadLink3g", [](const V& v) { return PayloadIdentifier2160_QuadLink3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.tc, v.l, v.ch); }, 2, true},
        {"2160_QuadLinkLevelb3g", [](const V& v) { return PayloadIdentifier2160_QuadLinkLevelb3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.c, v.s, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }, 3, true},
        {"2160_DualLinkLevelb3g", [](const V& v) { return PayloadIdentifier2160_DualLinkLevelb3g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }, 2, true},
        {"2160_6g", [](const V& v) { return PayloadIdentifier2160_6g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }, 3, true},
        {"2160_DualLink6g", [](const V& v) { return PayloadIdentifier2160_DualLink6g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }, 3, true},
        {"2160_12g", [](const V& v) { return PayloadIdentifier2160_12g::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }, 3, true},
        {"4320", [](const V& v) { return PayloadIdentifier4320_QuadLink12g_SingleOnly::getPayloadIdentifierWord(v.t, v.p, v.r, v.s, v.c, v.a, v.h, v.d, v.ac, v.ch, v.tc, v.l); }, 3, true},
    };
    std::mt19937 random(352);
    const auto pick = [&random](int bits) { return static_cast<int>(random() % (1u << bits)); };
    for (const auto& b : builders) {
        for (int trial = 0; trial < 200; ++trial) {
            const int channel = pick(b.channelBits);
            const V v{static_cast<TransportFormat>(pick(1)), static_cast<PictureFormat>(pick(1)),
                      static_cast<PictureRate>(pick(4)), static_cast<Colourimetry>(pick(2)),
                      static_cast<AspectRatio>(pick(1)), static_cast<HorizontalPixelArraySize>(pick(1)),
                      static_cast<SampleStructure>(pick(4)), static_cast<BitDepth>(pick(2)),
                      static_cast<TransferCurve>(pick(2)), static_cast<LuminanceAndColourDifferenceSignal>(pick(1)),
                      static_cast<AudioCopyStatus>(pick(1)), static_cast<Channel>(channel)};
            auto id = makePayloadIdentifier(b.build(v));
            ASSERT_TRUE(id->hasCorrectpayloadAndDigitalInterface()) << b.name;
            ASSERT_TRUE(id->doReservedBitsChecks().empty()) << b.name;
            ASSERT_EQ(id->getTransportInterlaced(), v.t) << b.name;
            ASSERT_EQ(id->getPictureInterlaced(), v.p) << b.name;
            ASSERT_EQ(id->getPictureRate(), v.r) << b.name;
            ASSERT_EQ(id->getColourimetry(), v.c) << b.name;
            ASSERT_EQ(id->getAspectRatio(), v.a) << b.name;
            ASSERT_EQ(id->getHorizontalArraySize(), v.h) << b.name;
            ASSERT_EQ(id->getSampleStructure(), v.s) << b.name;
            ASSERT_EQ(id->getBitDepth(), v.d) << b.name;
            ASSERT_EQ(id->getTransferCharacteristics(), v.tc) << b.name;
            ASSERT_EQ(id->getLuminanceAndColourDifferenceSignal(), v.l) << b.name;
            ASSERT_EQ(id->getChannel(), b.channelBits ? v.ch : Channel::Channel1) << b.name;
            ASSERT_EQ(id->getAudioCopyStatus(), b.hasAudioCopy ? v.ac : AudioCopyStatus::Original) << b.name;
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
