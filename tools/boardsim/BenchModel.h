#pragma once

#include "NameTable.h"
#include "PowerInput.h"

#include <array>
#include <map>
#include <string>
#include <vector>

// The simulated TR417 on its test bench: three supply inputs, the battery
// plate with its battery, and the board's firmware answers to request lines.
// Every reading follows from the bench unless it has been overridden.
class BenchModel {
public:
    enum class Plate { None, G, V };
    // Codes as the board reports them in its B reply.
    enum class Protocol { None = 0, SingleWire = 1, Smb = 2, I2c = 3 };

    static constexpr int inputCount = 3; // J1 ACDC, J2 DC, J3 battery

    // input is 0 for J1, 1 for J2, 2 for J3.
    void setInputVoltage(int input, int millivolts);
    const PowerInput& input(int index) const { return inputs.at(static_cast<size_t>(index)); }

    void setDrop(int millivolts) { dropMv = millivolts; }
    int drop() const { return dropMv; }

    // Fitting a plate also sets the protocol its battery normally speaks.
    void setPlate(Plate plate);
    Plate plate() const { return fittedPlate; }
    void setProtocol(Protocol protocol) { batteryProtocol = protocol; }
    Protocol protocol() const { return batteryProtocol; }

    void setBatteryVoltage(int millivolts) { batteryMv = millivolts; }
    void setCapacity(int percent) { capacityPercent = percent; }
    void setGauge(int percent) { gaugePercent = percent; }
    void setRawGauge(int raw) { rawFigure = raw; }
    void setFullRuntime(int minutes) { fullRuntimeMin = minutes; }

    void setVersion(const std::string& text) { versionText = text; }
    const std::string& version() const { return versionText; }

    // Replaces the value part of one reply ("S" -> "S <text>") until cleared.
    void setOverride(char letter, const std::string& text) { overrides[letter] = text; }
    bool clearOverride(char letter) { return overrides.erase(letter) > 0; }
    void clearOverrides() { overrides.clear(); }

    // -1 when no input is live.
    int supplyingInput() const;
    bool batteryFitted() const { return fittedPlate != Plate::None; }

    // The readings as the firmware computes them.
    int systemVoltage() const;
    int powerSourceMask() const;
    int batteryCapacity() const;
    int timeToEmpty() const;
    int analogFuelGauge() const;
    int batteryInterface() const;
    int batteryVoltage() const;
    int rawGauge() const { return rawFigure; }

    // The lines (without line feeds) the board sends for one request line;
    // nothing for an empty line.
    std::vector<std::string> answer(const std::string& request) const;

    // A human-readable account of the bench, one line per item.
    std::vector<std::string> describe() const;

private:
    std::string numericReply(char letter, int value) const;

    std::array<PowerInput, inputCount> inputs;
    int dropMv = 100;
    Plate fittedPlate = Plate::None;
    Protocol batteryProtocol = Protocol::None;
    int batteryMv = 12600;
    int capacityPercent = 80;
    int gaugePercent = 78;
    int rawFigure = 2048;
    int fullRuntimeMin = 240;
    std::string versionText = "1.0 tr417_sim";
    std::map<char, std::string> overrides;
};

inline constexpr Named<BenchModel::Plate> plateNames[] = {
    {"g", BenchModel::Plate::G}, {"v", BenchModel::Plate::V}, {"none", BenchModel::Plate::None}};

inline constexpr Named<BenchModel::Protocol> protocolNames[] = {
    {"single", BenchModel::Protocol::SingleWire},
    {"smb", BenchModel::Protocol::Smb},
    {"i2c", BenchModel::Protocol::I2c},
    {"none", BenchModel::Protocol::None}};
