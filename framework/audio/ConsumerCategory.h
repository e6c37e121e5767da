#pragma once

#include <QString>

#include <cstdint>

namespace Tessaly {

// Consumer-format fields beyond the display texts: the copyright flag
// (byte 0 bit 2, set when no copyright is asserted) and the category code
// (byte 1), whose first three bits in transmission order name the product
// group and whose last bit is the generation status.
QString consumerCopyrightText(const uint32_t* csWords);
QString consumerCategoryText(const uint32_t* csWords);

} // namespace Tessaly
