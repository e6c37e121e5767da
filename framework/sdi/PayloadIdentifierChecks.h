#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

#include <initializer_list>
#include <list>

// Rules shared by the standard checks of several interfaces.
namespace Tessaly {
namespace Sdi {
namespace PayloadIdentifierChecks {

inline bool oneOf(int value, std::initializer_list<int> allowed)
{
    for (const int candidate : allowed) {
        if (value == candidate)
            return true;
    }
    return false;
}

// 720 and 1080 lines on 3G level A: picture rate and sampling structure.
void levelA3g(const PayloadIdentifierBase& identifier, std::list<QString>& messages);

// 1080 lines split over two streams (dual-link 1.5G, 3G level B).
void dualStream1080(const PayloadIdentifierBase& identifier, std::list<QString>& messages);

// 2160 lines on quad-link 3G level A.
void quadLink3g2160(const PayloadIdentifierBase& identifier, std::list<QString>& messages);

} // namespace PayloadIdentifierChecks
} // namespace Sdi
} // namespace Tessaly
