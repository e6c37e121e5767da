#pragma once

#include <QString>

#include <cstdint>
#include <deque>
#include <memory>

// One fitted board as four 32-bit words: id, then three words the
// descriptor carries without interpreting them.
class BoardDescriptor {
public:
    enum class BoardId : int32_t {};

    BoardDescriptor(BoardId boardId, uint32_t word1);

    BoardId getBoardId() const { return m_boardId; }
    uint32_t getWord1() const { return m_word1; }
    int32_t getWord2() const { return m_word2; }
    int32_t getWord3() const { return m_word3; }
    QString getBoardName() const;

    void serialize(std::deque<uint32_t>& out) const;
    // Reads words index..index+3 and advances index past them; throws
    // std::out_of_range when the sequence ends early.
    static std::shared_ptr<BoardDescriptor> deserialize(const std::deque<uint32_t>& in, unsigned& index);

    bool operator==(const BoardDescriptor& other) const;

private:
    BoardId m_boardId;
    uint32_t m_word1;
    int32_t m_word2 = -1;
    int32_t m_word3 = -1;
};
