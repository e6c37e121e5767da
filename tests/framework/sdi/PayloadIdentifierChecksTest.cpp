#include "framework/sdi/PayloadIdentifier1080.h"
#include "framework/sdi/PayloadIdentifier2160.h"
#include "framework/sdi/PayloadIdentifier720.h"
#include "framework/sdi/PayloadIdentifierSd_270m.h"
#include "tests/support/CapturingLogger.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Tessaly::Sdi;

namespace {

using Make = std::function<std::shared_ptr<PayloadIdentifierBase>(unsigned int)>;

template <typename T>
Make as()
{
    return [](unsigned int word) { return std::shared_ptr<PayloadIdentifierBase>(new T(word)); };
}

struct CheckCase {
    Make make;
    unsigned int word;
    std::list<QString> messages;
};

std::string describe(const std::list<QString>& messages)
{
    std::string text;
    for (const auto& m : messages)
        text += "[" + m.toStdString() + "]";
    return text;
}

void expectChecks(const std::vector<CheckCase>& cases)
{
    CapturingLogger log;
    for (const auto& c : cases) {
        const auto got = c.make(c.word)->doSmpteValidationChecks();
        EXPECT_EQ(got, c.messages) << std::hex << "word 0x" << c.word << ": " << describe(got);
    }
}

TEST(PayloadIdentifierChecks, SettledRules)
{
    expectChecks({
        {as<PayloadIdentifierSd_270m>(), 0x81050001, {}},
        {as<PayloadIdentifierSd_270m>(), 0x81040001, {"Invalid picture rate: 4"}},
        {as<PayloadIdentifierSd_270m>(), 0x81070001, {"Invalid picture rate: 7"}},
        {as<PayloadIdentifierSd_270m>(), 0x81450001, {"Picture format is Progressive but should be Interlaced"}},
        {as<PayloadIdentifierSd_270m>(), 0x81050101, {"Invalid sample structure: 1 should be 4:2:2 (Y/Cb/Cr)"}},
        {as<PayloadIdentifierSd_270m>(), 0x82050001, {"Incorrect payload identifier: 130"}},
        {as<PayloadIdentifier720_1g5>(), 0x81050001,
         {"Incorrect payload identifier: 129", "Invalid picture interlaced/progressive: 0"}},
        {as<PayloadIdentifier720_1g5>(), 0x844A0001, {}},
        {as<PayloadIdentifier720_1g5>(), 0x844B0001, {}},
        {as<PayloadIdentifier720_1g5>(), 0x84480001, {"Invalid picture rate: 8"}},
        {as<PayloadIdentifier720_1g5>(), 0x84440001, {"Invalid picture rate: 4"}},
        {as<PayloadIdentifier720_1g5>(), 0x844C0001, {"Invalid picture rate: 12"}},
        {as<PayloadIdentifier720_1g5>(), 0x844A0300, {"Invalid sampling structure: 3"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85052001, {}},
        {as<PayloadIdentifier1080_1g5>(), 0x85082001, {"Invalid picture rate: 8"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85022001, {"Invalid picture rate: 2"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85C22001, {}},
        {as<PayloadIdentifier1080_1g5>(), 0x85C92001, {"Invalid picture rate: 9"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85056001, {"Invalid picture interlaced/progressive: 0"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85C36001, {}},
        {as<PayloadIdentifier1080_1g5>(), 0x85C86001, {"Invalid picture rate: 8"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85C50201, {"Invalid sampling structure: 2"}},
        {as<PayloadIdentifier1080_1g5>(), 0x85C50302, {"Invalid bit depth: 2"}},
        {as<PayloadIdentifier1080_3g>(), 0x89000000, {"Invalid picture rate: 0"}},
        {as<PayloadIdentifier1080_3g>(), 0x89CB8A01, {}},
        {as<PayloadIdentifier1080_3g>(), 0x89CC8001, {"Invalid picture rate: 12"}},
        {as<PayloadIdentifier1080_3g>(), 0x89C98B01, {"Invalid sampling structure: 11"}},
        {as<PayloadIdentifier720_3g>(), 0x88CA8001, {}},
        {as<PayloadIdentifier720_3g>(), 0x88C18001, {"Invalid picture rate: 1"}},
        {as<PayloadIdentifier2160_6g>(), 0xC0C98001, {}},
        {as<PayloadIdentifier2160_12g>(), 0xCE000000, {}},
        {as<PayloadIdentifier2160_6g>(), 0xCEC98001, {"Incorrect payload identifier: 206"}},
        {[](unsigned int w) { return std::make_shared<PayloadIdentifierBase>(w, PayloadIdentifierBase::FieldMap{}); },
         0x89C98001, {"Error packet does not match any supported type"}},
    });
}

TEST(PayloadIdentifierChecks, DualStream1080Formats)
{
    const Make dual = as<PayloadIdentifier1080_DualLink1g5>();
    expectChecks({
        {dual, 0x87492001, {}},
        {as<PayloadIdentifier1080_Levelb3g>(), 0x8A492001, {}},
        {as<PayloadIdentifier1080_Levelb3g>(), 0x8A492000, {"Invalid bit depth for 422: 0"}},
        {dual, 0x87492003, {"Invalid bit depth for 422: 3"}},
        {dual, 0x87092001, {"Invalid picture interlace format for 422: 0"}},
        {dual, 0x87472001, {"Invalid picture rate for 1920 pixel 422: 7"}},
        {dual, 0x87486001, {}},
        {dual, 0x87476001, {"Invalid picture rate for 2048 pixel 422: 7"}},
        {dual, 0x87052102, {}},
        {dual, 0x87052100, {"Invalid bit depth: 0"}},
        {dual, 0x87052202, {}},
        {dual, 0x87092202, {"Invalid picture rate for Interlaced 1920 pixel Extended colour modes: 9"}},
        {dual, 0x87C92202, {"Invalid picture rate for Progressive 1920 pixel Extended colour modes: 9"}},
        {dual, 0x87C32202, {}},
        {dual, 0x87096102,
         {"Invalid picture interlace format for 2048 Extended colour modes: 0",
          "Invalid picture rate for 2048 pixel Extended colour modes: 9"}},
        {dual, 0x87486102, {}},
        {dual, 0x87052702, {"Invalid sampling structure: 7"}},
        {dual, 0x85492001, {"Incorrect payload identifier: 133"}},
    });
}

TEST(PayloadIdentifierChecks, QuadLink3gUhdFormats)
{
    const Make quad = as<PayloadIdentifier2160_QuadLink3g>();
    expectChecks({
        {quad, 0x97C98001, {}},
        {quad, 0x97498001, {"Incorrect TransportFormat: 0"}},
        {quad, 0x97898001, {"Incorrect PictureFormat: 0"}},
        {quad, 0x97C18001, {"Incorrect PictureRate: 1"}},
        {quad, 0x97C88001, {"Incorrect FrameRate for 3840x2160: 8"}},
        {quad, 0x97C8C001, {}},
        {quad, 0x97CB8001, {}},
        {quad, 0x97CC8001, {"Incorrect FrameRate for 422/420-10: 12"}},
        {quad, 0x97C98101, {"Incorrect FrameRate for extended colour mode: 9"}},
        {quad, 0x97C98002, {"Incorrect FrameRate for extended colour mode: 9"}},
        {quad, 0x97C78101, {}},
        {quad, 0x97F98001, {"Incorrect TransferCurve: 3"}},
        {quad, 0x97C98005, {"Incorrect AudioCopyStatus for channel 1 or 2: 1"}},
        {quad, 0x97C98045, {"Incorrect AudioCopyStatus for channel 1 or 2: 1"}},
        {quad, 0x97C98085, {}},
    });
}

TEST(PayloadIdentifierChecks, ScanType)
{
    CapturingLogger log;
    const struct {
        Make make;
        unsigned int word;
        int scan;
    } cases[] = {
        {as<PayloadIdentifierSd_270m>(), 0x81C50001, 2},
        {as<PayloadIdentifier720_1g5>(), 0x84050001, 3},
        {as<PayloadIdentifier720_3g>(), 0x88050001, 3},
        {as<PayloadIdentifier1080_3g>(), 0x89058001, 2},
        {as<PayloadIdentifier1080_3g>(), 0x89C98001, 3},
        {as<PayloadIdentifier1080_3g>(), 0x89498001, 1},
        {as<PayloadIdentifier1080_3g>(), 0x89858001, 2},
        {as<PayloadIdentifier1080_DualLink1g5>(), 0x87092001, 3},
        {as<PayloadIdentifier1080_DualLink1g5>(), 0x87092300, 3},
        {as<PayloadIdentifier1080_DualLink1g5>(), 0x87092002, 2},
        {as<PayloadIdentifier1080_DualLink1g5>(), 0x87052102, 2},
        {as<PayloadIdentifier1080_Levelb3g>(), 0x8A452102, 1},
        {as<PayloadIdentifier2160_QuadLinkLevelb3g>(), 0x98092001, 3},
        {as<PayloadIdentifier2160_QuadLinkLevelb3g>(), 0x98092101, 2},
        {as<PayloadIdentifier2160_DualLinkLevelb3g>(), 0x96092001, 2},
        {as<PayloadIdentifier2160_12g>(), 0xCE498001, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.make(c.word)->getPicutreInterlacedProgressivePsf(), c.scan) << std::hex << c.word;
}

TEST(PayloadIdentifierChecks, BitDepthMeaningDependsOnTheInterface)
{
    CapturingLogger log;
    PayloadIdentifier1080_3g hd(0x89C98000);
    PayloadIdentifier2160_12g uhd(0xCEC98000);
    const int hdBits[] = {8, 10, 12, 0};
    const int uhdBits[] = {10, 10, 12, 12};
    for (int code = 0; code < 4; ++code) {
        EXPECT_EQ(hd.interpretBitDepthAppropriatelyForStandard(code), hdBits[code]);
        EXPECT_EQ(uhd.interpretBitDepthAppropriatelyForStandard(code), uhdBits[code]);
    }
    EXPECT_EQ(hd.interpretBitDepthAppropriatelyForStandard(-1), 0);
    EXPECT_EQ(uhd.describeField(PayloadIdentifierBase::FieldType::BitDepth), QStringLiteral("10-bit full range"));
    EXPECT_EQ(hd.describeField(PayloadIdentifierBase::FieldType::BitDepth), QStringLiteral("8-bit"));
}

} // namespace
