#pragma once

// One power input of the board (J1, J2 or J3). The board only takes power from
// an input whose voltage lies in its acceptance window, and both edges of the
// window switch with hysteresis, so whether an input is live depends on the
// way its voltage got where it is, not only on the voltage itself.
class PowerInput {
public:
    static constexpr int liveRisingMv = 10700;  // dead -> live, rising
    static constexpr int deadFallingMv = 10400; // live -> dead, falling
    static constexpr int deadRisingMv = 17800;  // live -> dead, rising
    static constexpr int liveFallingMv = 17300; // dead -> live, falling

    // Moves the supply to a new voltage as a bench supply's knob would: the
    // voltage sweeps through every threshold between the old and new value.
    void setVoltage(int millivolts);

    int voltage() const { return voltageMv; }
    bool live() const { return isLive; }

private:
    int voltageMv = 0;
    bool isLive = false;
};
