#include "platform/VersionInfo.h"

#include "platform/BuildInfo.h"
#include "platform/KwPlatformAbstraction.h"

#include <memory>

using BuildInfo::getBuildMetadata;
using BuildInfo::metadata_index_t;
using KwTypes::boardIdentity;

VersionInfo& VersionInfo::getInstance()
{
    static VersionInfo instance;
    return instance;
}

int VersionInfo::device()
{
    return getInstance().value(QStringLiteral("Main")).toInt() > 63 ? 1 : 0;
}

QString VersionInfo::value(const QString& label) const
{
    for (const auto& pair : m_pairs)
        if (pair.first == label)
            return pair.second;
    return QString();
}

void VersionInfo::set(const QString& label, const QString& value)
{
    for (auto& pair : m_pairs)
        if (pair.first == label)
            pair.second = value;
}

VersionInfo::VersionInfo()
{
    const QString unknown = QStringLiteral("Unknown");
    m_pairs = {
        {"Software", getBuildMetadata(metadata_index_t::software)},
        {"SHA1", getBuildMetadata(metadata_index_t::sha1)},
        {"Branch", getBuildMetadata(metadata_index_t::branch)},
        {"Build ID", getBuildMetadata(metadata_index_t::buildId)},
        {"Toolchain", getBuildMetadata(metadata_index_t::toolchain)},
        {"Image", getBuildMetadata(metadata_index_t::image)},
        {"Main", unknown},
        {"Main ECN", unknown},
        {"Mezzanine", unknown},
        {"Frontpanel", unknown},
        {"FPGA ID", unknown},
        {"FPGA", unknown},
        {"DynelleFitted", unknown},
    };

    auto platform = std::make_unique<Tessaly::KwPlatformAbstraction>();
    if (platform->hasBoard(boardIdentity::main))
        set("Main", QString::number(platform->getBoardId(boardIdentity::main)));
    if (platform->hasBoard(boardIdentity::mainEcn))
        set("Main ECN", QString::number(platform->getBoardId(boardIdentity::mainEcn)));
    set("Mezzanine", platform->hasBoard(boardIdentity::mezzanine)
                         ? QString::number(platform->getBoardId(boardIdentity::mezzanine))
                         : QStringLiteral("-1"));
    if (platform->hasBoard(boardIdentity::frontpanel))
        set("Frontpanel", QString::number(platform->getBoardId(boardIdentity::frontpanel)));

    // A unit without the FPGA driver reports zeros rather than whatever was here.
    unsigned designId = 0, major = 0, minor = 0, patch = 0, build = 0;
    if (platform->getFPGABuildInfo(designId, major, minor, patch, build)) {
        set("FPGA", QStringLiteral("%1.%2.%3+%4").arg(major).arg(minor).arg(patch).arg(build));
        set("FPGA ID", QStringLiteral("%1").arg(designId));
    }
    set("DynelleFitted", QString::number(platform->hasDynelleFitted() ? 1 : 0));
}
