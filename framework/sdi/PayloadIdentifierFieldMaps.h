#pragma once

#include "framework/sdi/PayloadIdentifierBase.h"

// Which bits carry which field, per interface standard.
namespace Tessaly {
namespace Sdi {
namespace PayloadIdentifierFieldMaps {

PayloadIdentifierBase::FieldMap sd270m();
PayloadIdentifierBase::FieldMap hd720On1g5();
PayloadIdentifierBase::FieldMap hd1080On1g5();
// 1080-line dual-link 1.5G and 3G level B: one channel bit.
PayloadIdentifierBase::FieldMap hd1080DualStream();
// 720 and 1080 lines on 3G level A.
PayloadIdentifierBase::FieldMap levelA3g();
PayloadIdentifierBase::FieldMap uhdDualLinkLevelB3g();
PayloadIdentifierBase::FieldMap uhdQuadLink3g();
PayloadIdentifierBase::FieldMap uhdQuadLinkLevelB3g();
// 6G, 12G and the quad-link 12G 8K links.
PayloadIdentifierBase::FieldMap uhdSingleLink();

} // namespace PayloadIdentifierFieldMaps
} // namespace Sdi
} // namespace Tessaly
