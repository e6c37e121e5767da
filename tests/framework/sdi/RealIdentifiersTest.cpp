#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Tessaly::Sdi;

namespace {

// Identifiers as they arrive from real equipment: the word, its text, field heights, first active lines, and the
// active width and first and second field heights of one sub-image, image width and height.
const std::tuple<unsigned int, const char*, std::vector<int>, std::vector<int>, std::vector<int>> realCases[] = {
    {0x85052001, "1920x1080i 25 Hz 4:2:2 10-bit, 1.5G", {563, 562}, {21, 584}, {1920, 540, 540, 1920, 1080}},
    {0x89C98001, "1920x1080p 50 Hz 4:2:2 10-bit, 3G level A", {1125}, {42}, {1920, 1080, 1080, 1920, 1080}},
    {0x8A492001, "1920x1080p 50 Hz 4:2:2 10-bit, 3G level B", {1125}, {42}, {1920, 1080, 1080, 1920, 1080}},
    {0x844A0001, "1280x720p 59.94 Hz 4:2:2 10-bit, 1.5G", {750}, {26}, {1280, 720, 720, 1280, 720}},
    {0x81060001, "720x486i 29.97 Hz 4:2:2 10-bit, 270M", {263, 262}, {21, 283}, {720, 243, 243, 720, 486}},
    {0x81050001, "720x576i 25 Hz 4:2:2 10-bit, 270M", {313, 312}, {23, 336}, {720, 288, 288, 720, 576}},
    {0xCEC98001, "3840x2160p 50 Hz 4:2:2 10-bit, 12G", {1125}, {42}, {1920, 1080, 1080, 3840, 2160}},
    {0x97C98001, "3840x2160p 50 Hz 4:2:2 10-bit, quad-link 3G level A", {1125}, {42}, {1920, 1080, 1080, 3840, 2160}},
    {0x85422001, "1920x1080psf 23.98 Hz 4:2:2 10-bit, 1.5G", {563, 562}, {21, 584}, {1920, 540, 540, 1920, 1080}},
    {0xD2C98001, "7680x4320p 50 Hz 4:2:2 10-bit, quad-link 12G", {1125}, {42}, {1920, 1080, 1080, 7680, 4320}},
};

TEST(RealIdentifiers, DecodeToTheirFormatAndPassTheirChecks)
{
    CapturingLogger log;
    for (const auto& [word, text, fieldHeights, firstActiveLines, sizes] : realCases) {
        auto id = makePayloadIdentifier(word);
        SCOPED_TRACE(text);
        EXPECT_EQ(id->toHumanReadable(false).toStdString(), text);
        EXPECT_EQ(id->getFieldHeights(), fieldHeights);
        EXPECT_EQ(id->getFieldFirstLineNumbersOfActivePicture(), firstActiveLines);
        EXPECT_EQ(std::vector<int>({id->getFieldActivePictureWidthInSamples(), id->getFieldActivePictureHeight(false),
                                    id->getFieldActivePictureHeight(true), id->getReconstructedImageWidthInPixels(),
                                    id->getReconstructedImageHeightInPixels()}),
                  sizes);
        EXPECT_TRUE(id->doSmpteValidationChecks().empty());
        EXPECT_TRUE(id->doReservedBitsChecks().empty());
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST(RealIdentifiers, DetailsNameTheFieldsTheInterfaceCarries)
{
    CapturingLogger log;
    EXPECT_EQ(makePayloadIdentifier(0x89C98001)->toHumanReadable(true).toStdString(),
              "1920x1080p 50 Hz 4:2:2 10-bit, 3G level A; BT.709, SDR, Y'C'bC'r, 16:9");
    EXPECT_EQ(makePayloadIdentifier(0x97E9A0C1)->toHumanReadable(true).toStdString(),
              "3840x2160p 50 Hz 4:2:2 10-bit, quad-link 3G level A; BT.2020, PQ, Y'C'bC'r, 16:9, channel 4, original audio");
    EXPECT_EQ(makePayloadIdentifier(0x81050001)->toHumanReadable(true).toStdString(),
              "720x576i 25 Hz 4:2:2 10-bit, 270M; 4:3");
    EXPECT_EQ(makePayloadIdentifier(0x12345678)->toHumanReadable(true).toStdString(),
              "unsupported payload identifier 0x12345678");
}

} // namespace
