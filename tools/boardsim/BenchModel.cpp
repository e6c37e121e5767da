#include "BenchModel.h"

#include "Escape.h"

#include <cstdio>

void BenchModel::setInputVoltage(int input, int millivolts)
{
    inputs.at(static_cast<size_t>(input)).setVoltage(millivolts);
}

void BenchModel::setPlate(Plate plate)
{
    fittedPlate = plate;
    switch (plate) {
    case Plate::None: batteryProtocol = Protocol::None; break;
    case Plate::G: batteryProtocol = Protocol::SingleWire; break;
    case Plate::V: batteryProtocol = Protocol::Smb; break;
    }
}

int BenchModel::supplyingInput() const
{
    for (int i = 0; i < inputCount; ++i)
        if (input(i).live())
            return i;
    return -1;
}

int BenchModel::systemVoltage() const
{
    const int supply = supplyingInput();
    if (supply < 0)
        return 0;
    const int rail = input(supply).voltage() - dropMv;
    return rail > 0 ? rail : 0;
}

int BenchModel::powerSourceMask() const
{
    int mask = 0;
    for (int i = 0; i < inputCount; ++i)
        if (input(i).live())
            mask |= 1 << i;
    return mask;
}

int BenchModel::batteryCapacity() const
{
    return batteryFitted() ? capacityPercent : -1;
}

int BenchModel::timeToEmpty() const
{
    if (!batteryFitted())
        return -1;
    if (supplyingInput() != 2)
        return -2;
    return capacityPercent * fullRuntimeMin / 100;
}

int BenchModel::analogFuelGauge() const
{
    // Only the single-wire battery of a G plate drives the analog gauge line.
    return fittedPlate == Plate::G ? gaugePercent : -1;
}

int BenchModel::batteryInterface() const
{
    return batteryFitted() ? static_cast<int>(batteryProtocol) : -1;
}

int BenchModel::batteryVoltage() const
{
    return batteryFitted() ? batteryMv : -1;
}

std::string BenchModel::numericReply(char letter, int value) const
{
    const auto found = overrides.find(letter);
    std::string line(1, letter);
    line += ' ';
    line += found != overrides.end() ? found->second : std::to_string(value);
    return line;
}

std::vector<std::string> BenchModel::answer(const std::string& request) const
{
    std::string line = request;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        return {};
    if (line.size() == 1) {
        switch (line[0]) {
        case 'A': {
            // The raw figure travels only in this debug comment; the host
            // takes it from the fifth blank-separated piece.
            const std::string comment = "# getAnalogFuelGauge() = " + std::to_string(analogFuelGauge()) + " "
                + std::to_string(rawFigure);
            return {comment, numericReply('A', analogFuelGauge())};
        }
        case 'B': return {numericReply('B', batteryInterface())};
        case 'C': return {numericReply('C', batteryCapacity())};
        case 'G': return {numericReply('G', batteryVoltage())};
        case 'P': return {numericReply('P', powerSourceMask())};
        case 'S': return {numericReply('S', systemVoltage())};
        case 'T': return {numericReply('T', timeToEmpty())};
        case 'V': return {"V" + versionText};
        default: break;
        }
    }
    if (line[0] == 'D')
        return {line}; // debug-level request: acknowledged, nothing else changes
    return {"# unknown request \"" + escapeBytes(line) + "\""};
}

static std::string volts(int millivolts)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f V", millivolts / 1000.0);
    return text;
}

std::vector<std::string> BenchModel::describe() const
{
    static const char* const names[inputCount] = {"J1 (ACDC)", "J2 (DC)  ", "J3 (batt)"};
    std::vector<std::string> lines;
    for (int i = 0; i < inputCount; ++i)
        lines.push_back(std::string(names[i]) + " " + volts(input(i).voltage()) + (input(i).live() ? " live" : " dead"));
    const int supply = supplyingInput();
    lines.push_back("supply " + (supply < 0 ? std::string("none") : "J" + std::to_string(supply + 1)) + ", drop "
                    + std::to_string(dropMv) + " mV");
    lines.push_back(std::string("plate ") + nameOf(plateNames, fittedPlate) + ", protocol "
                    + nameOf(protocolNames, batteryProtocol) + ", battery " + volts(batteryMv) + ", capacity "
                    + std::to_string(capacityPercent) + " %, gauge " + std::to_string(gaugePercent) + " %, raw " + std::to_string(rawFigure)
                    + ", full runtime " + std::to_string(fullRuntimeMin) + " min");
    for (const auto& [letter, text] : overrides)
        lines.push_back(std::string("override ") + letter + " " + text);
    return lines;
}
