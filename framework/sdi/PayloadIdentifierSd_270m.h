#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

namespace Tessaly {
namespace Sdi {

// 525- and 625-line interlaced video on a 270 Mb/s link.
class PayloadIdentifierSd_270m : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x81;

    explicit PayloadIdentifierSd_270m(unsigned int word);

    PayloadId::Colourimetry getColourimetry() override;
    std::list<QString> doSmpteValidationChecks() override;
};

} // namespace Sdi
} // namespace Tessaly
