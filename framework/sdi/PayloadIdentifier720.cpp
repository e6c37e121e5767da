#include "framework/sdi/PayloadIdentifier720.h"

#include "framework/sdi/PayloadIdentifierChecks.h"
#include "framework/sdi/PayloadIdentifierFieldMaps.h"

namespace Tessaly {
namespace Sdi {

PayloadIdentifier720_1g5::PayloadIdentifier720_1g5(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::hd720On1g5(),
                            Interface{payloadCode, 1, SdiDataRate::Rate1G5, 0, 1, 0, Raster::Lines720,
                                      ScanRule::Progressive, false})
{
}

std::list<QString> PayloadIdentifier720_1g5::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    const int picture = static_cast<int>(getPictureInterlaced());
    if (picture != 1)
        messages.push_back(QStringLiteral("Invalid picture interlaced/progressive: ") + QString::number(picture));
    const int rate = static_cast<int>(getPictureRate());
    if (!PayloadIdentifierChecks::oneOf(rate, {2, 3, 5, 6, 7, 9, 10, 11}))
        messages.push_back(QStringLiteral("Invalid picture rate: ") + QString::number(rate));
    const int sampling = static_cast<int>(getSampleStructure());
    if (sampling != 0)
        messages.push_back(QStringLiteral("Invalid sampling structure: ") + QString::number(sampling));
    const int depth = static_cast<int>(getBitDepth());
    if (depth != 0 && depth != 1)
        messages.push_back(QStringLiteral("Invalid bit depth: ") + QString::number(depth));
    return messages;
}

PayloadIdentifier720_3g::PayloadIdentifier720_3g(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::levelA3g(),
                            Interface{payloadCode, 1, SdiDataRate::Rate3G, 0, 1, 0, Raster::Lines720,
                                      ScanRule::Progressive, false})
{
}

std::list<QString> PayloadIdentifier720_3g::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    PayloadIdentifierChecks::levelA3g(*this, messages);
    return messages;
}

} // namespace Sdi
} // namespace Tessaly
