#pragma once

namespace Tessaly {
namespace Sdi {

// Serial data rate of one physical SDI connection.
enum class SdiDataRate : int {
    Rate12G = 0,
    Rate6G = 1,
    Rate3G = 2,
    Rate1G5 = 3,
    Rate270M = 4,
    None = 5,
};

} // namespace Sdi
} // namespace Tessaly
