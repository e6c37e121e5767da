#pragma once

#include <string>

// The board's end of the USB serial line: a pseudo-terminal whose slave the
// host program opens through a link at the board's device path.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Creates the pair. The slave is put into raw mode from this side at
    // once, so nothing written before the host configures the line is echoed
    // back or translated, and a slave descriptor is kept open so that the
    // master does not hang up whenever the host closes the device.
    bool create(std::string& error);

    // Links the slave at path. A symbolic link already there is replaced (a
    // simulator that died leaves one behind); anything else is replaced only
    // when force is set.
    bool linkAt(const std::string& path, bool force, std::string& error);

    // Removes the link if it still points at this slave.
    void removeLink();

    // The device disappears as if unplugged: both ends close and the link
    // goes; the host's descriptor stays open on a hung-up line.
    void vanish();

    // Holds or releases the exclusive record lock on the device, as the host
    // unit's server does while it owns the board.
    bool setLocked(bool locked, std::string& error);
    bool locked() const { return lockHeld; }

    bool present() const { return masterFd >= 0; }
    int master() const { return masterFd; }
    const std::string& slavePath() const { return slaveName; }
    const std::string& linkPath() const { return linkName; }

private:
    int masterFd = -1;
    int slaveFd = -1;
    bool lockHeld = false;
    std::string slaveName;
    std::string linkName;
};
