#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tests/support/CapturingLogger.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <tuple>

using namespace Tessaly::Sdi;

namespace {

// The word read by the class of `code` whatever its own first byte says;
// code 0 leaves the choice to the factory.
std::shared_ptr<PayloadIdentifierBase> readAs(int code, unsigned int word)
{
    return code ? findPayloadIdentifierClass(QString::number(code))->make(word) : makePayloadIdentifier(word);
}

TEST(PayloadIdentifierChecks, MessagesOfEachInterface)
{
    const std::tuple<int, unsigned int, std::list<QString>> cases[] = {
        {0x81, 0x81040001, {"Invalid picture rate: 4"}},
        {0x81, 0x81070001, {"Invalid picture rate: 7"}},
        {0x81, 0x81450001, {"Picture format is Progressive but should be Interlaced"}},
        {0x81, 0x81050101, {"Invalid sample structure: 1 should be 4:2:2 (Y/Cb/Cr)"}},
        {0x81, 0x82050001, {"Incorrect payload identifier: 130"}},
        {0x84, 0x81050001, {"Incorrect payload identifier: 129", "Invalid picture interlaced/progressive: 0"}},
        {0x84, 0x844B0001, {}},
        {0x84, 0x84480001, {"Invalid picture rate: 8"}},
        {0x84, 0x84440001, {"Invalid picture rate: 4"}},
        {0x84, 0x844C0001, {"Invalid picture rate: 12"}},
        {0x84, 0x844A0300, {"Invalid sampling structure: 3"}},
        {0x85, 0x85082001, {"Invalid picture rate: 8"}},
        {0x85, 0x85022001, {"Invalid picture rate: 2"}},
        {0x85, 0x85C22001, {}},
        {0x85, 0x85C92001, {"Invalid picture rate: 9"}},
        {0x85, 0x85056001, {"Invalid picture interlaced/progressive: 0"}},
        {0x85, 0x85C36001, {}},
        {0x85, 0x85C86001, {"Invalid picture rate: 8"}},
        {0x85, 0x85C50201, {"Invalid sampling structure: 2"}},
        {0x85, 0x85C50302, {"Invalid bit depth: 2"}},
        {0x89, 0x89CB8A01, {}},
        {0x89, 0x89CC8001, {"Invalid picture rate: 12"}},
        {0x89, 0x89C98B01, {"Invalid sampling structure: 11"}},
        {0x88, 0x88C18001, {"Invalid picture rate: 1"}},
        {0xCE, 0xCE000000, {}},
        {0xC0, 0xCEC98001, {"Incorrect payload identifier: 206"}},
        {0, 0x12345678, {"Error packet does not match any supported type"}},
        // The 1080 formats split over two streams.
        {0x87, 0x87492001, {}},
        {0x8A, 0x8A492000, {"Invalid bit depth for 422: 0"}},
        {0x87, 0x87492003, {"Invalid bit depth for 422: 3"}},
        {0x87, 0x87092001, {"Invalid picture interlace format for 422: 0"}},
        {0x87, 0x87472001, {"Invalid picture rate for 1920 pixel 422: 7"}},
        {0x87, 0x87486001, {}},
        {0x87, 0x87476001, {"Invalid picture rate for 2048 pixel 422: 7"}},
        {0x87, 0x87052102, {}},
        {0x87, 0x87052100, {"Invalid bit depth: 0"}},
        {0x87, 0x87092202, {"Invalid picture rate for Interlaced 1920 pixel Extended colour modes: 9"}},
        {0x87, 0x87C92202, {"Invalid picture rate for Progressive 1920 pixel Extended colour modes: 9"}},
        {0x87, 0x87C32202, {}},
        {0x87, 0x87096102,
         {"Invalid picture interlace format for 2048 Extended colour modes: 0",
          "Invalid picture rate for 2048 pixel Extended colour modes: 9"}},
        {0x87, 0x87486102, {}},
        {0x87, 0x87052702, {"Invalid sampling structure: 7"}},
        {0x87, 0x85492001, {"Incorrect payload identifier: 133"}},
        // UHD on four 3G level A links.
        {0x97, 0x97498001, {"Incorrect TransportFormat: 0"}},
        {0x97, 0x97898001, {"Incorrect PictureFormat: 0"}},
        {0x97, 0x97C18001, {"Incorrect PictureRate: 1"}},
        {0x97, 0x97C88001, {"Incorrect FrameRate for 3840x2160: 8"}},
        {0x97, 0x97C8C001, {}},
        {0x97, 0x97CB8001, {}},
        {0x97, 0x97CC8001, {"Incorrect FrameRate for 422/420-10: 12"}},
        {0x97, 0x97C98101, {"Incorrect FrameRate for extended colour mode: 9"}},
        {0x97, 0x97C98002, {"Incorrect FrameRate for extended colour mode: 9"}},
        {0x97, 0x97C78101, {}},
        {0x97, 0x97F98001, {"Incorrect TransferCurve: 3"}},
        {0x97, 0x97C98045, {"Incorrect AudioCopyStatus for channel 1 or 2: 1"}},
        {0x97, 0x97C98085, {}},
    };
    for (const auto& [code, word, messages] : cases) {
        const auto got = readAs(code, word)->doSmpteValidationChecks();
        EXPECT_EQ(got, messages) << std::hex << "word 0x" << word << ": "
                                 << QStringList(got.begin(), got.end()).join('|').toStdString();
    }
}

// 1 segmented frame, 2 interlaced, 3 progressive; the real identifiers'
// texts show the general rule on interlaced and segmented-frame words.
TEST(PayloadIdentifierChecks, ScanType)
{
    const std::tuple<int, unsigned int, int> cases[] = {
        {0x81, 0x81C50001, 2}, {0x84, 0x84050001, 3}, {0x88, 0x88050001, 3}, {0x89, 0x89858001, 2},
        {0x87, 0x87092001, 3}, {0x87, 0x87092300, 3}, {0x87, 0x87092002, 2}, {0x87, 0x87052102, 2},
        {0x8A, 0x8A452102, 1}, {0x98, 0x98092001, 3}, {0x96, 0x96092001, 2}, {0xCE, 0xCE498001, 1},
    };
    for (const auto& [code, word, scan] : cases)
        EXPECT_EQ(readAs(code, word)->getPicutreInterlacedProgressivePsf(), scan) << std::hex << word;
}

// UHD interfaces read codes 0 and 3 as full-range 10 and 12 bits.
TEST(PayloadIdentifierChecks, BitDepthMeaningDependsOnTheInterface)
{
    const char* const hd[] = {"8-bit", "10-bit", "12-bit", "reserved"};
    const char* const uhd[] = {"10-bit full range", "10-bit", "12-bit", "12-bit full range"};
    for (unsigned int code = 0; code < 4; ++code) {
        EXPECT_EQ(makePayloadIdentifier(0x89C98000 | code)->describeField(PayloadIdentifierBase::FieldType::BitDepth).toStdString(), hd[code]);
        EXPECT_EQ(makePayloadIdentifier(0xCEC98000 | code)->describeField(PayloadIdentifierBase::FieldType::BitDepth).toStdString(), uhd[code]);
    }
}

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

TEST(RealIdentifiers, DecodeToTheirTextsAndGeometryAndPassTheirChecks)
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
    // The details name the fields the interface carries.
    const std::pair<unsigned int, const char*> details[] = {
        {0x89C98001, "1920x1080p 50 Hz 4:2:2 10-bit, 3G level A; BT.709, SDR, Y'C'bC'r, 16:9"},
        {0x97E9A0C1, "3840x2160p 50 Hz 4:2:2 10-bit, quad-link 3G level A; BT.2020, PQ, Y'C'bC'r, 16:9, channel 4, "
                     "original audio"},
        {0x81050001, "720x576i 25 Hz 4:2:2 10-bit, 270M; 4:3"},
        {0x12345678, "unsupported payload identifier 0x12345678"},
    };
    for (const auto& [word, text] : details)
        EXPECT_EQ(makePayloadIdentifier(word)->toHumanReadable(true).toStdString(), text);
}

} // namespace
