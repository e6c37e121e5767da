// Line and sample counts of the rasters the identifiers describe. UHD and
// 8K pictures travel as 1080-line sub-images, so their field geometry is
// that of one sub-image and only the reconstructed size is larger.
#include "framework/sdi/PayloadIdentifierBase.h"

namespace Tessaly {
namespace Sdi {

namespace {

using Raster = PayloadIdentifierBase::Raster;

struct RasterGeometry {
    std::vector<int> fieldHeights;
    std::vector<int> firstActiveLines;
    std::vector<int> activeHeights; // per field
    int activeWidth;
};

constexpr int pictureRate29_97 = 6;
constexpr int pictureRate30 = 7;
constexpr int progressiveScan = 3;

RasterGeometry geometryOf(PayloadIdentifierBase& identifier, Raster raster)
{
    switch (raster) {
    case Raster::None:
        return {{}, {}, {}, 0};
    case Raster::Sd: {
        const int rate = static_cast<int>(identifier.getPictureRate());
        if (rate == pictureRate29_97 || rate == pictureRate30)
            return {{263, 262}, {21, 283}, {243, 243}, 720};
        return {{313, 312}, {23, 336}, {288, 288}, 720};
    }
    case Raster::Lines720:
        return {{750}, {26}, {720}, 1280};
    case Raster::Lines1080:
    case Raster::Lines2160:
    case Raster::Lines4320:
        break;
    }
    const int width = identifier.getFieldValue(PayloadIdentifierBase::FieldType::HorizontalPixelArraySize) == 1
        ? 2048
        : 1920;
    if (identifier.getPicutreInterlacedProgressivePsf() == progressiveScan)
        return {{1125}, {42}, {1080}, width};
    return {{563, 562}, {21, 584}, {540, 540}, width};
}

// Sub-images side by side (and as many one above the other).
int subImagesAcross(Raster raster)
{
    switch (raster) {
    case Raster::Lines2160:
        return 2;
    case Raster::Lines4320:
        return 4;
    default:
        return 1;
    }
}

} // namespace

std::vector<int> PayloadIdentifierBase::getFieldHeights() { return geometryOf(*this, properties.raster).fieldHeights; }

std::vector<int> PayloadIdentifierBase::getFieldFirstLineNumbersOfActivePicture()
{
    return geometryOf(*this, properties.raster).firstActiveLines;
}

int PayloadIdentifierBase::getFieldActivePictureWidthInSamples() { return geometryOf(*this, properties.raster).activeWidth; }

int PayloadIdentifierBase::getFieldActivePictureHeight(bool secondField)
{
    const auto heights = geometryOf(*this, properties.raster).activeHeights;
    if (heights.empty())
        return 0;
    return secondField && heights.size() > 1 ? heights[1] : heights[0];
}

int PayloadIdentifierBase::getReconstructedImageWidthInPixels()
{
    return getFieldActivePictureWidthInSamples() * subImagesAcross(properties.raster);
}

int PayloadIdentifierBase::getReconstructedImageHeightInPixels()
{
    const auto geometry = geometryOf(*this, properties.raster);
    int height = 0;
    for (const int lines : geometry.activeHeights)
        height += lines;
    return height * subImagesAcross(properties.raster);
}

} // namespace Sdi
} // namespace Tessaly
