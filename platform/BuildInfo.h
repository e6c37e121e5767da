#pragma once

namespace BuildInfo {

enum class metadata_index_t : int { sha1, branch, buildId, toolchain, image, software };

// Texts fixed when the software was built; "" for any other index.
const char* getBuildMetadata(metadata_index_t index);

} // namespace BuildInfo
