#pragma once

#include "BenchModel.h"
#include "BoardLine.h"
#include "ControlServer.h"
#include "PseudoTerminal.h"
#include "ReplyShaper.h"
#include "RequestRecorder.h"

#include <cstdint>
#include <string>
#include <vector>

// The simulated board's firmware loop: answers the host's request lines on
// the pseudo-terminal and the operator's commands on the control channel,
// sleeping in poll() whenever neither has anything to do.
class Simulator : public BoardLine {
public:
    struct Options {
        std::string linkPath = "/dev/tr417_app";
        std::string controlPath = "/tmp/tr417_sim.sock"; // empty: no socket
        std::string recordPath;                           // empty: no stream file
        size_t recordLimit = 200000;                      // newest request lines kept
        bool force = false;
        bool verbose = false;
        bool readStandardInput = true;
        std::vector<std::string> startupCommands;
    };

    // A batch whose tail the split fault held back goes out after this long
    // without a further request.
    static constexpr int heldTailTimeoutMs = 1000;

    int run(const Options& options);

    void transmit(const std::string& bytes) override;
    void vanish() override;
    bool setLocked(bool locked, std::string& error) override;
    std::vector<std::string> lineStatus() const override;
    void requestQuit() override { quitRequested = true; }

private:
    void readRequests();
    void writePending();

    BenchModel model;
    ReplyShaper shaper;
    RequestRecorder recorder;
    PseudoTerminal terminal;
    ControlServer control;
    std::string requestBuffer;
    std::string pendingOutput;
    int64_t heldDeadline = 0;
    bool quitRequested = false;
    bool verbose = false;
    bool vanished = false;
};
