#include "platform/PlatformDescriptor.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

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
    platform.addBoard(board({2, 5, 9, 0xFFFFFFFF}));  // same id: replaced
    std::deque<uint32_t> words = {0xAA};
    platform.serialize(words);
    EXPECT_EQ(words, (std::deque<uint32_t>{0xAA, 7, 2, 2, 5, 9, 0xFFFFFFFF, 6, 1, 0xFFFFFFFF, 0xFFFFFFFF}));

    const auto copy = PlatformDescriptor::deserialize(words, 1);
    EXPECT_TRUE(*copy == platform);
    EXPECT_EQ(static_cast<int>(copy->getBoardIdByIdx(1)), 6);
    EXPECT_EQ(copy->getBoardDescriptor(static_cast<BoardDescriptor::BoardId>(2))->getWord2(), 9);
    EXPECT_FALSE(copy->getBoardDescriptor(static_cast<BoardDescriptor::BoardId>(3)));
}

TEST(Descriptors, ShortSequencesThrowAndNamesFollowTheTable)
{
    for (const auto& words : std::deque<std::deque<uint32_t>>{{7, 1, 6, 1}, {7}, {}, {7, 2, 6, 1, 2, 3}})
        EXPECT_THROW(PlatformDescriptor::deserialize(words, 0), std::out_of_range) << words.size();
    for (const auto& [id, name] : {std::pair<int, const char*>{0, "Undefined/Unknown Board"},
                                   {1, "TR118 Kw Baseboard"}, {6, "TR417 KwP Dynelle Board"},
                                   {12, "TR207 84RM Miscellaneous I/O Board"}, {13, "Undefined/Unknown Board"}})
        EXPECT_EQ(board({static_cast<uint32_t>(id), 0, 0, 0})->getBoardName(), name) << id;
}
