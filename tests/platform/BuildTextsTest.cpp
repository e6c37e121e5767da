#include "platform/BuildInfo.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

TEST(BuildTexts, HaveTheirShapes)
{
    using BuildInfo::metadata_index_t;
    const auto text = [](int index) { return QString(BuildInfo::getBuildMetadata(static_cast<metadata_index_t>(index))); };
    const char* shapes[] = {"^[0-9a-f]{40}$", ".", "^[0-9]{1,10}$", ".", ".", "^[0-9]+\\.[0-9]+\\.[0-9]+$"};
    for (int index = 0; index < 6; ++index)
        EXPECT_TRUE(QRegularExpression(shapes[index]).match(text(index)).hasMatch()) << index << qPrintable(text(index));
    EXPECT_EQ(text(4), text(3));
    EXPECT_EQ(text(6), "");
    EXPECT_EQ(text(-1), "");
}
