#include "platform/BoardDescriptor.h"

namespace {

const char* const boardNames[] = {
    "TR118 Kw Baseboard",
    "TR250 KwL/KwP Baseboard",
    "TR126 Kw/KwL/KwP Mezzanine Board",
    "TR135 Kw/KwL Front Panel Board",
    "TR142 KwP Front Panel Board",
    "TR417 KwP Dynelle Board",
    "TR151 84RM CPU Carrier Board",
    "TR163 84RM FPGA Board",
    "TR172 84RM SDI I/O Board",
    "TR184 84RM Front Panel Board",
    "TR195 84RM Backplane",
    "TR207 84RM Miscellaneous I/O Board",
};
constexpr int boardNameCount = static_cast<int>(sizeof boardNames / sizeof boardNames[0]);

} // namespace

BoardDescriptor::BoardDescriptor(BoardId boardId, uint32_t word1)
    : m_boardId(boardId)
    , m_word1(word1)
{
}

QString BoardDescriptor::getBoardName() const
{
    const int id = static_cast<int>(m_boardId);
    if (id < 1 || id > boardNameCount)
        return QStringLiteral("Undefined/Unknown Board");
    return QString::fromLatin1(boardNames[id - 1]);
}

void BoardDescriptor::serialize(std::deque<uint32_t>& out) const
{
    out.push_back(static_cast<uint32_t>(m_boardId));
    out.push_back(m_word1);
    out.push_back(static_cast<uint32_t>(m_word2));
    out.push_back(static_cast<uint32_t>(m_word3));
}

std::shared_ptr<BoardDescriptor> BoardDescriptor::deserialize(const std::deque<uint32_t>& in, unsigned& index)
{
    auto board = std::make_shared<BoardDescriptor>(static_cast<BoardId>(in.at(index)), in.at(index + 1));
    board->m_word2 = static_cast<int32_t>(in.at(index + 2));
    board->m_word3 = static_cast<int32_t>(in.at(index + 3));
    index += 4;
    return board;
}

bool BoardDescriptor::operator==(const BoardDescriptor& other) const
{
    return m_boardId == other.m_boardId && m_word1 == other.m_word1 && m_word2 == other.m_word2
           && m_word3 == other.m_word3;
}
