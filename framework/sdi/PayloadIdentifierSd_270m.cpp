#include "framework/sdi/PayloadIdentifierSd_270m.h"

#include "framework/sdi/PayloadIdentifierFieldMaps.h"

namespace Tessaly {
namespace Sdi {

PayloadIdentifierSd_270m::PayloadIdentifierSd_270m(unsigned int word)
    : PayloadIdentifierBase(word, PayloadIdentifierFieldMaps::sd270m(),
                            Interface{payloadCode, 1, SdiDataRate::Rate270M, 0, 1, 0, Raster::Sd,
                                      ScanRule::Interlaced, false})
{
}

PayloadId::Colourimetry PayloadIdentifierSd_270m::getColourimetry()
{
    return PayloadId::Colourimetry::NotApplicable;
}

std::list<QString> PayloadIdentifierSd_270m::doSmpteValidationChecks()
{
    std::list<QString> messages = payloadCodeChecks();
    const int rate = static_cast<int>(getPictureRate());
    if (rate != 5 && rate != 6)
        messages.push_back(QStringLiteral("Invalid picture rate: ") + QString::number(rate));
    if (getPictureInterlaced() != PayloadId::PictureFormat::Interlaced)
        messages.push_back(QStringLiteral("Picture format is Progressive but should be Interlaced"));
    const int sampling = static_cast<int>(getSampleStructure());
    if (sampling != 0)
        messages.push_back(QStringLiteral("Invalid sample structure: ") + QString::number(sampling)
                           + QStringLiteral(" should be 4:2:2 (Y/Cb/Cr)"));
    return messages;
}

} // namespace Sdi
} // namespace Tessaly
