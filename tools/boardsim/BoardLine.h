#pragma once

#include <string>
#include <vector>

// What a control command may do to the simulated board's line and process,
// beside changing the bench: the simulator's main loop provides it.
class BoardLine {
public:
    virtual ~BoardLine() = default;
    // Queues bytes for the host as they are, outside any request.
    virtual void transmit(const std::string& bytes) = 0;
    // Closes the board's side of the line for good.
    virtual void vanish() = 0;
    virtual bool setLocked(bool locked, std::string& error) = 0;
    // Link path, slave device, lock and line state, one item per line.
    virtual std::vector<std::string> lineStatus() const = 0;
    virtual void requestQuit() = 0;
};
