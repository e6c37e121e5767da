#pragma once

#include <cstdint>

namespace KwTypes {

// Front LED colour, each component a brightness 0..255 before the
// front-panel scaling.
struct ledRGB {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// Which board's identity number to read. Values above mainEcn are invalid.
enum class boardIdentity : int {
    main = 0,
    mezzanine = 1,
    frontpanel = 2,
    mainEcn = 3,
};

} // namespace KwTypes
