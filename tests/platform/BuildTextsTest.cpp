#include "platform/BuildInfo.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

using BuildInfo::getBuildMetadata;
using BuildInfo::metadata_index_t;

TEST(BuildTexts, HaveTheirShapes)
{
    const auto text = [](metadata_index_t index) { return QString(getBuildMetadata(index)); };
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{40}$").match(text(metadata_index_t::sha1)).hasMatch());
    EXPECT_TRUE(QRegularExpression("^[0-9]{1,10}$").match(text(metadata_index_t::buildId)).hasMatch());
    EXPECT_TRUE(QRegularExpression("^[0-9]+\\.[0-9]+\\.[0-9]+$").match(text(metadata_index_t::software)).hasMatch());
    EXPECT_FALSE(text(metadata_index_t::toolchain).isEmpty());
    EXPECT_FALSE(text(metadata_index_t::branch).isEmpty());
    EXPECT_EQ(text(metadata_index_t::image), text(metadata_index_t::toolchain));
    EXPECT_STREQ(getBuildMetadata(static_cast<metadata_index_t>(6)), "");
    EXPECT_STREQ(getBuildMetadata(static_cast<metadata_index_t>(-1)), "");
}
