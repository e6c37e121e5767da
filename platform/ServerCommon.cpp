#include "platform/ServerCommon.h"

#include "platform/VersionInfo.h"

namespace ServerCommon {

QString supportedSfpsFile()
{
    return VersionInfo::getInstance().value(QStringLiteral("Main")).toInt() > 63
               ? QStringLiteral("supportedSfpConfigKwL.json")
               : QStringLiteral("supportedSfpConfig.json");
}

} // namespace ServerCommon
