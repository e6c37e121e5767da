#include "framework/sdi/PayloadIdentifierFactory.h"

#include "framework/sdi/PayloadIdentifier1080.h"
#include "framework/sdi/PayloadIdentifier2160.h"
#include "framework/sdi/PayloadIdentifier720.h"
#include "framework/sdi/PayloadIdentifierSd_270m.h"

namespace Tessaly {
namespace Sdi {

namespace {

template <typename T>
std::shared_ptr<PayloadIdentifierBase> make(unsigned int word)
{
    return std::shared_ptr<PayloadIdentifierBase>(new T(word));
}

template <typename T>
PayloadIdentifierClass entry(const char* name)
{
    return {T::payloadCode, name, &make<T>};
}

} // namespace

const std::vector<PayloadIdentifierClass>& payloadIdentifierClasses()
{
    static const std::vector<PayloadIdentifierClass> classes{
        entry<PayloadIdentifierSd_270m>("Sd_270m"),
        entry<PayloadIdentifier720_1g5>("720_1g5"),
        entry<PayloadIdentifier1080_1g5>("1080_1g5"),
        entry<PayloadIdentifier1080_DualLink1g5>("1080_DualLink1g5"),
        entry<PayloadIdentifier720_3g>("720_3g"),
        entry<PayloadIdentifier1080_3g>("1080_3g"),
        entry<PayloadIdentifier1080_Levelb3g>("1080_Levelb3g"),
        entry<PayloadIdentifier2160_DualLinkLevelb3g>("2160_DualLinkLevelb3g"),
        entry<PayloadIdentifier2160_QuadLink3g>("2160_QuadLink3g"),
        entry<PayloadIdentifier2160_QuadLinkLevelb3g>("2160_QuadLinkLevelb3g"),
        entry<PayloadIdentifier2160_6g>("2160_6g"),
        entry<PayloadIdentifier2160_DualLink6g>("2160_DualLink6g"),
        entry<PayloadIdentifier2160_12g>("2160_12g"),
        entry<PayloadIdentifier4320_QuadLink12g_SingleOnly>("4320_QuadLink12g_SingleOnly"),
    };
    return classes;
}

std::shared_ptr<PayloadIdentifierBase> makePayloadIdentifier(unsigned int word)
{
    const int code = static_cast<int>(word >> 24);
    for (const auto& candidate : payloadIdentifierClasses()) {
        if (candidate.payloadCode == code)
            return candidate.make(word);
    }
    return std::make_shared<PayloadIdentifierBase>(word, PayloadIdentifierBase::FieldMap{});
}

const PayloadIdentifierClass* findPayloadIdentifierClass(const QString& nameOrCode)
{
    bool isNumber = false;
    const int code = nameOrCode.toInt(&isNumber, 0);
    for (const auto& candidate : payloadIdentifierClasses()) {
        if (isNumber ? candidate.payloadCode == code
                     : nameOrCode.compare(QLatin1String(candidate.name), Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

} // namespace Sdi
} // namespace Tessaly
