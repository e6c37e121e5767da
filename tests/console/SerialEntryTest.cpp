#include "console/SerialEntry.h"

#include <gtest/gtest.h>

namespace {

TEST(SerialEntry, KeysEditTheTypedLine)
{
    const struct { QByteArray line; int key; QByteArray after; } cases[] = {
        {"AB", 'C', "ABC"},
        {"AB", 127, "A"},                  // delete
        {"AB", 8, "A"},                    // backspace
        {"", 127, ""},
        {"M\xc3\xbc", 127, "M"},           // the whole UTF-8 character
        {"\xe2\x82\xac", 8, ""},
        {"AB", 0xc3, "AB\xc3"},            // bytes beyond ASCII are kept
        {"AB", 0x1b, "AB"},                // escape and other controls are not
        {"AB", '\t', "AB"},
        {"AB", 0x19a, "AB"},               // function keys neither
        {QByteArray(maxTypedBytes, 'x'), 'y', QByteArray(maxTypedBytes, 'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(editedLine(c.line, c.key), c.after) << c.line.toStdString() << " + " << c.key;
    EXPECT_TRUE(endsLine('\r'));
    EXPECT_TRUE(endsLine('\n'));
    EXPECT_FALSE(endsLine(' '));
}

TEST(SerialEntry, TheFirstWordOfAtMostEightyBytesIsTheSerialNumber)
{
    const QByteArray long81 = QByteArray(79, 'a') + "\xc3\xbc";
    const struct { QByteArray line; QString serial; } cases[] = {
        {"AB123 trailing words", "AB123"},
        {"   X1\t", "X1"},
        {"", "Unassigned"},
        {"   ", "Unassigned"},
        {"M\xc3\xbcller", QString::fromUtf8("M\xc3\xbcller")},
        {QByteArray(90, 'z'), QString(80, 'z')},
        {long81, QString(79, 'a')}, // 81 bytes: the last character does not fit whole
        {"a/b", "a/b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serialNumberFromLine(c.line), c.serial) << c.line.toStdString();
}

} // namespace
