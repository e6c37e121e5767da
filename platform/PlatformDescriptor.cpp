#include "platform/PlatformDescriptor.h"

#include <iterator>

PlatformDescriptor::PlatformDescriptor(uint32_t platformWord)
    : m_platformWord(platformWord)
{
}

bool PlatformDescriptor::hasBoard(BoardDescriptor::BoardId id) const
{
    return m_boards.count(id) != 0;
}

unsigned PlatformDescriptor::getNumBoards() const
{
    return static_cast<unsigned>(m_boards.size());
}

BoardDescriptor::BoardId PlatformDescriptor::getBoardIdByIdx(unsigned i) const
{
    return std::next(m_boards.begin(), i)->first;
}

std::shared_ptr<const BoardDescriptor> PlatformDescriptor::getBoardDescriptor(BoardDescriptor::BoardId id) const
{
    const auto found = m_boards.find(id);
    return found == m_boards.end() ? nullptr : found->second;
}

void PlatformDescriptor::addBoard(std::shared_ptr<const BoardDescriptor> board)
{
    if (board)
        m_boards[board->getBoardId()] = std::move(board);
}

void PlatformDescriptor::serialize(std::deque<uint32_t>& out) const
{
    out.push_back(m_platformWord);
    out.push_back(getNumBoards());
    for (const auto& entry : m_boards)
        entry.second->serialize(out);
}

std::shared_ptr<PlatformDescriptor> PlatformDescriptor::deserialize(const std::deque<uint32_t>& in, unsigned index)
{
    auto platform = std::make_shared<PlatformDescriptor>(in.at(index));
    const uint32_t count = in.at(index + 1);
    unsigned position = index + 2;
    for (uint32_t i = 0; i < count; ++i)
        platform->addBoard(BoardDescriptor::deserialize(in, position));
    return platform;
}

bool PlatformDescriptor::operator==(const PlatformDescriptor& other) const
{
    if (m_platformWord != other.m_platformWord || m_boards.size() != other.m_boards.size())
        return false;
    for (const auto& [id, board] : m_boards) {
        const auto theirs = other.getBoardDescriptor(id);
        if (!theirs || !(*theirs == *board))
            return false;
    }
    return true;
}
