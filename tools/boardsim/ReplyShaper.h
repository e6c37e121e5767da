#pragma once

#include "NameTable.h"

#include <cstdint>
#include <string>
#include <vector>

// Turns the firmware's reply lines into the bytes that go down the wire, with
// the faults a misbehaving board or cable shows switched on or off.
class ReplyShaper {
public:
    struct Faults {
        bool silence = false;   // answer nothing at all
        bool noVersion = false; // answer everything but the version request
        bool crlf = false;      // a carriage return before every line feed
        bool nul = false;       // a zero byte after every line
        bool garbage = false;   // a line of noise before every reply
        bool split = false;     // hold back the tail of each batch until the next request
    };

    Faults faults;

    // The bytes for one batch of reply lines (the answers to the requests of
    // one read). With split on, the tail of the batch's last line is held
    // back and comes out at the front of the next batch or with flushHeld().
    std::string shape(const std::vector<std::string>& lines);

    bool hasHeld() const { return !held.empty(); }
    std::string flushHeld();
    void dropHeld() { held.clear(); }

    // Names of the faults that are on, in a fixed order.
    std::vector<std::string> activeFaults() const;

private:
    std::string garbageLine();

    std::string held;
    uint32_t noiseState = 0x2545f491u;
};

// In the order status and the fault list show them.
inline constexpr Named<bool ReplyShaper::Faults::*> faultNames[] = {
    {"silence", &ReplyShaper::Faults::silence}, {"noversion", &ReplyShaper::Faults::noVersion},
    {"crlf", &ReplyShaper::Faults::crlf},       {"nul", &ReplyShaper::Faults::nul},
    {"garbage", &ReplyShaper::Faults::garbage}, {"split", &ReplyShaper::Faults::split}};
