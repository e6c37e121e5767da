#pragma once

#include <QString>

namespace ServerCommon {

// Name of the SFP configuration file for the fitted main board.
QString supportedSfpsFile();

} // namespace ServerCommon
