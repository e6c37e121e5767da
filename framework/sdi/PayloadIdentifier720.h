#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

namespace Tessaly {
namespace Sdi {

// 720-line progressive video on a single 1.5G link.
class PayloadIdentifier720_1g5 : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x84;

    explicit PayloadIdentifier720_1g5(unsigned int word);

    std::list<QString> doSmpteValidationChecks() override;
};

// 720-line progressive video on a single 3G level A link.
class PayloadIdentifier720_3g : public PayloadIdentifierBase {
public:
    static constexpr int payloadCode = 0x88;

    explicit PayloadIdentifier720_3g(unsigned int word);

    std::list<QString> doSmpteValidationChecks() override;
};

} // namespace Sdi
} // namespace Tessaly
