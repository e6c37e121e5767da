#pragma once

#include "platform/BoardDescriptor.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>

// The boards of one unit, at most one per id, in ascending id order, with a
// platform word carried unchanged.
class PlatformDescriptor {
public:
    explicit PlatformDescriptor(uint32_t platformWord);

    uint32_t getPlatformWord() const { return m_platformWord; }
    bool hasBoard(BoardDescriptor::BoardId id) const;
    unsigned getNumBoards() const;
    // i must be below getNumBoards().
    BoardDescriptor::BoardId getBoardIdByIdx(unsigned i) const;
    // Empty when no board of this id is present.
    std::shared_ptr<const BoardDescriptor> getBoardDescriptor(BoardDescriptor::BoardId id) const;
    // Replaces a descriptor already stored for the same id.
    void addBoard(std::shared_ptr<const BoardDescriptor> board);

    void serialize(std::deque<uint32_t>& out) const;
    // Throws std::out_of_range when the sequence holds fewer words than its
    // board count needs.
    static std::shared_ptr<PlatformDescriptor> deserialize(const std::deque<uint32_t>& in, unsigned index);

    bool operator==(const PlatformDescriptor& other) const;

private:
    uint32_t m_platformWord;
    std::map<BoardDescriptor::BoardId, std::shared_ptr<const BoardDescriptor>> m_boards;
};
