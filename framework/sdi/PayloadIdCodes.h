#pragma once

// Field values of a payload identifier, each enumeration holding the raw
// codes carried in the word so that any code read off the wire is a value.
namespace Tessaly {
namespace Sdi {
namespace PayloadId {

enum class TransportFormat : int { Interlaced = 0, Progressive = 1 };

enum class PictureFormat : int { Interlaced = 0, Progressive = 1 };

enum class PictureRate : int {
    Undefined = 0,
    Reserved1 = 1,
    Rate23_98 = 2,
    Rate24 = 3,
    Rate47_95 = 4,
    Rate25 = 5,
    Rate29_97 = 6,
    Rate30 = 7,
    Rate48 = 8,
    Rate50 = 9,
    Rate59_94 = 10,
    Rate60 = 11,
    Rate96 = 12,
    Rate100 = 13,
    Rate119_88 = 14,
    Rate120 = 15,
};

enum class SampleStructure : int {
    YCbCr422 = 0,
    YCbCr444 = 1,
    GBR444 = 2,
    YCbCr420 = 3,
    YCbCrA4224 = 4,
    YCbCrA4444 = 5,
    GBRA4444 = 6,
    Reserved7 = 7,
    YCbCrD4224 = 8,
    YCbCrD4444 = 9,
    GBRD4444 = 10,
    XYZ444 = 15,
};

enum class Colourimetry : int {
    Rec709 = 0,
    Vanc = 1,
    Rec2020 = 2,
    Unknown = 3,
    NotApplicable = 999, // standard definition carries no colourimetry
};

enum class AspectRatio : int { Unknown = 0, Ratio16x9 = 1 };

enum class HorizontalPixelArraySize : int { Pixels1920 = 0, Pixels2048 = 1 };

enum class BitDepth : int { Code0 = 0, Bits10 = 1, Bits12 = 2, Code3 = 3 };

enum class AudioCopyStatus : int { Original = 0, Copy = 1 };

enum class Channel : int {
    Channel1 = 0,
    Channel2 = 1,
    Channel3 = 2,
    Channel4 = 3,
    Channel5 = 4,
    Channel6 = 5,
    Channel7 = 6,
    Channel8 = 7,
};

enum class TransferCurve : int { Sdr = 0, Hlg = 1, Pq = 2, Unspecified = 3 };

enum class LuminanceAndColourDifferenceSignal : int { YCbCr = 0, ICtCp = 1 };

} // namespace PayloadId
} // namespace Sdi
} // namespace Tessaly
