#include "platform/PlatformDescriptor.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

BoardDescriptor::BoardId id(int n)
{
    return static_cast<BoardDescriptor::BoardId>(n);
}

std::shared_ptr<BoardDescriptor> board(std::deque<uint32_t> words)
{
    unsigned index = 0;
    return BoardDescriptor::deserialize(words, index);
}

} // namespace

TEST(Descriptors, PlatformSerialisesInIdOrderAndRoundTrips)
{
    PlatformDescriptor platform(7);
    platform.addBoard(board({6, 1, 0xFFFFFFFF, 0xFFFFFFFF}));
    platform.addBoard(board({2, 5, 9, 0xFFFFFFFF}));
    std::deque<uint32_t> words;
    platform.serialize(words);
    const std::deque<uint32_t> expected = {7, 2, 2, 5, 9, 0xFFFFFFFF, 6, 1, 0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(words, expected);

    const auto copy = PlatformDescriptor::deserialize(words, 0);
    EXPECT_TRUE(*copy == platform);
    EXPECT_EQ(copy->getNumBoards(), 2u);
    EXPECT_EQ(static_cast<int>(copy->getBoardIdByIdx(0)), 2);
    EXPECT_EQ(static_cast<int>(copy->getBoardIdByIdx(1)), 6);
    EXPECT_EQ(copy->getBoardDescriptor(id(2))->getWord2(), 9);
    EXPECT_EQ(copy->getBoardDescriptor(id(6))->getWord3(), -1);
    EXPECT_FALSE(copy->getBoardDescriptor(id(3)));
    EXPECT_FALSE(copy->hasBoard(id(3)));

    std::deque<uint32_t> prefixed = {0xAA, 0xBB};
    prefixed.insert(prefixed.end(), words.begin(), words.end());
    EXPECT_TRUE(*PlatformDescriptor::deserialize(prefixed, 2) == platform);
}

TEST(Descriptors, AddBoardReplacesSameId)
{
    PlatformDescriptor platform(0);
    platform.addBoard(board({4, 1, 2, 3}));
    platform.addBoard(board({4, 9, 8, 7}));
    EXPECT_EQ(platform.getNumBoards(), 1u);
    EXPECT_EQ(platform.getBoardDescriptor(id(4))->getWord1(), 9u);
}

TEST(Descriptors, ShortSequencesThrow)
{
    const std::deque<std::deque<uint32_t>> sequences = {{7, 1, 6, 1}, {7}, {}, {7, 2, 6, 1, 2, 3}};
    for (const auto& words : sequences)
        EXPECT_THROW(PlatformDescriptor::deserialize(words, 0), std::out_of_range) << words.size();
    try {
        PlatformDescriptor::deserialize({7, 1, 6, 1}, 0);
        FAIL();
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "deque::_M_range_check: __n (which is 4)>= this->size() (which is 4)");
    }
    unsigned index = 1;
    EXPECT_THROW(BoardDescriptor::deserialize({1, 2, 3, 4}, index), std::out_of_range);
}

TEST(Descriptors, BoardNames)
{
    const std::pair<int, const char*> names[] = {
        {0, "Undefined/Unknown Board"},          {1, "TR118 Kw Baseboard"},
        {2, "TR250 KwL/KwP Baseboard"},          {6, "TR417 KwP Dynelle Board"},
        {12, "TR207 84RM Miscellaneous I/O Board"}, {13, "Undefined/Unknown Board"},
        {-1, "Undefined/Unknown Board"},
    };
    for (const auto& [n, name] : names)
        EXPECT_EQ(board({static_cast<uint32_t>(n), 0, 0, 0})->getBoardName(), name) << n;
}
