#include "platform/BuildInfo.h"

// Generated at build time from the source tree: buildSha1, buildBranch,
// buildNumber, buildToolchain, buildSoftware.
#include "BuildTexts.inc"

namespace BuildInfo {

const char* getBuildMetadata(metadata_index_t index)
{
    switch (index) {
    case metadata_index_t::sha1:
        return buildSha1;
    case metadata_index_t::branch:
        return buildBranch;
    case metadata_index_t::buildId:
        return buildNumber;
    case metadata_index_t::toolchain:
    case metadata_index_t::image:
        return buildToolchain;
    case metadata_index_t::software:
        return buildSoftware;
    }
    return "";
}

} // namespace BuildInfo
