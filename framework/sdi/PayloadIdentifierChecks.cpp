#include "framework/sdi/PayloadIdentifierChecks.h"

namespace Tessaly {
namespace Sdi {
namespace PayloadIdentifierChecks {

namespace {

using FieldType = PayloadIdentifierBase::FieldType;

void add(std::list<QString>& messages, const char* text, int value)
{
    messages.push_back(QString::fromLatin1(text) + QString::number(value));
}

constexpr int sampling422 = 0;
constexpr int sampling420 = 3;
constexpr int interlacedPicture = 0;
constexpr int progressivePicture = 1;

} // namespace

void levelA3g(const PayloadIdentifierBase& identifier, std::list<QString>& messages)
{
    const int rate = identifier.getFieldValue(FieldType::PictureRate);
    if (rate < 2 || rate > 11)
        add(messages, "Invalid picture rate: ", rate);
    const int sampling = identifier.getFieldValue(FieldType::SampleStructure);
    if (sampling > 10)
        add(messages, "Invalid sampling structure: ", sampling);
}

// Two kinds of picture share these links: fast progressive 4:2:2 (or 4:2:0)
// 10-bit at 47.95 Hz and above, split over both streams, and the extended
// colour modes (4:4:4, alpha or data channels, 12-bit) at up to 30 Hz.
// 2048-pixel pictures are progressive or segmented frames only.
void dualStream1080(const PayloadIdentifierBase& identifier, std::list<QString>& messages)
{
    const int sampling = identifier.getFieldValue(FieldType::SampleStructure);
    const int depth = identifier.getFieldValue(FieldType::BitDepth);
    const int picture = identifier.getFieldValue(FieldType::PictureFormat);
    const int rate = identifier.getFieldValue(FieldType::PictureRate);
    const bool wide = identifier.getFieldValue(FieldType::HorizontalPixelArraySize) == 1;
    const bool fast422 = (sampling == sampling422 || sampling == sampling420) && depth != 2;

    if (oneOf(sampling, {7, 11, 12, 13, 14}))
        add(messages, "Invalid sampling structure: ", sampling);

    if (fast422) {
        if (depth != 1)
            add(messages, "Invalid bit depth for 422: ", depth);
        if (picture != progressivePicture)
            add(messages, "Invalid picture interlace format for 422: ", picture);
        if (wide) {
            if (!oneOf(rate, {4, 8, 9, 10, 11}))
                add(messages, "Invalid picture rate for 2048 pixel 422: ", rate);
        } else if (!oneOf(rate, {9, 10, 11})) {
            add(messages, "Invalid picture rate for 1920 pixel 422: ", rate);
        }
        return;
    }

    if (depth != 1 && depth != 2)
        add(messages, "Invalid bit depth: ", depth);
    if (wide) {
        if (picture == interlacedPicture)
            add(messages, "Invalid picture interlace format for 2048 Extended colour modes: ", picture);
        if (!oneOf(rate, {2, 3, 4, 5, 6, 7, 8}))
            add(messages, "Invalid picture rate for 2048 pixel Extended colour modes: ", rate);
    } else if (picture == interlacedPicture) {
        if (!oneOf(rate, {5, 6, 7}))
            add(messages, "Invalid picture rate for Interlaced 1920 pixel Extended colour modes: ", rate);
    } else if (!oneOf(rate, {2, 3, 5, 6, 7})) {
        add(messages, "Invalid picture rate for Progressive 1920 pixel Extended colour modes: ", rate);
    }
}

// Four 3G level A links carry progressive UHD: 4:2:2 or 4:2:0 10-bit up to
// 60 Hz, the extended colour modes up to 48 Hz;
// 47.95 and 48 Hz are cinema rates of 4096-pixel pictures only. Links 1 and
// 2 carry the original audio, links 3 and 4 may carry a copy.
void quadLink3g2160(const PayloadIdentifierBase& identifier, std::list<QString>& messages)
{
    const int transport = identifier.getFieldValue(FieldType::TransportFormat);
    const int picture = identifier.getFieldValue(FieldType::PictureFormat);
    const int rate = identifier.getFieldValue(FieldType::PictureRate);
    const int sampling = identifier.getFieldValue(FieldType::SampleStructure);
    const int depth = identifier.getFieldValue(FieldType::BitDepth);
    const bool wide = identifier.getFieldValue(FieldType::HorizontalPixelArraySize) == 1;

    if (transport != 1)
        add(messages, "Incorrect TransportFormat: ", transport);
    if (picture != progressivePicture)
        add(messages, "Incorrect PictureFormat: ", picture);
    if (rate < 2) {
        add(messages, "Incorrect PictureRate: ", rate);
    } else {
        if (!wide && (rate == 4 || rate == 8))
            add(messages, "Incorrect FrameRate for 3840x2160: ", rate);
        const bool tenBit422 = (sampling == sampling422 || sampling == sampling420) && (depth == 0 || depth == 1);
        if (tenBit422 && rate > 11)
            add(messages, "Incorrect FrameRate for 422/420-10: ", rate);
        else if (!tenBit422 && rate > 8)
            add(messages, "Incorrect FrameRate for extended colour mode: ", rate);
    }
    const int transfer = identifier.getFieldValue(FieldType::TransferCharacteristics);
    if (transfer == 3)
        add(messages, "Incorrect TransferCurve: ", transfer);
    const int channel = identifier.getFieldValue(FieldType::Channel);
    const int audioCopy = identifier.getFieldValue(FieldType::AudioCopyStatus);
    if ((channel == 0 || channel == 1) && audioCopy != 0)
        add(messages, "Incorrect AudioCopyStatus for channel 1 or 2: ", audioCopy);
}

} // namespace PayloadIdentifierChecks
} // namespace Sdi
} // namespace Tessaly
