#include "console/DebugPanels.h"

#include "console/Screen.h"
#include "logging/Printable.h"

#include <cstdarg>
#include <cstdio>

namespace {

QByteArray format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

QByteArray format(const char* pattern, ...)
{
    char buffer[256];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return QByteArray(buffer);
}

PanelLine plain(int row, int column, QByteArray text)
{
    return PanelLine{row, column, std::move(text), 0};
}

const char* yesNo(bool yes)
{
    return yes ? "Yes" : "No";
}

} // namespace

int systemVoltageMinAttributes(int millivolts)
{
    if (millivolts <= 10400)
        return Screen::AlarmPair | Screen::Bold;
    if (millivolts <= 10700)
        return Screen::WarningPair | Screen::Bold;
    return Screen::GoodPair;
}

int systemVoltageMaxAttributes(int millivolts)
{
    if (millivolts > 17799)
        return Screen::AlarmPair | Screen::Bold;
    if (millivolts > 17299)
        return Screen::WarningPair | Screen::Bold;
    return Screen::GoodPair;
}

Panel debugHeaderPanel(const QString& version, const char* devicePath, int txByteCount, int rxByteCount)
{
    // The version is the board's own text: its control bytes are shown, not obeyed.
    return {
        plain(0, 0, format("Dynelle Test Debug - TR417 SW Version : %s", Tessaly::printable(version).c_str())),
        plain(2, 4, format("USB Device       : %-15s   TX(%8d) RX(%8d)", devicePath, txByteCount, rxByteCount)),
    };
}

Panel systemVoltagePanel(int systemVoltage, int systemVoltageMin, int systemVoltageMax)
{
    // The extremes overwrite the template's placeholders at fixed columns,
    // whatever width the present voltage took.
    return {
        plain(4, 4, format("System Voltage   : %2.2fV                (min=00.0V,   max=00.0V)", systemVoltage * 0.001)),
        PanelLine{4, 49, format("%2.2f", systemVoltageMin * 0.001), systemVoltageMinAttributes(systemVoltageMin)},
        PanelLine{4, 62, format("%2.2f", systemVoltageMax * 0.001), systemVoltageMaxAttributes(systemVoltageMax)},
    };
}

Panel analogFuelGaugePanel(int analogFuelGauge)
{
    if (analogFuelGauge < 0)
        return {plain(6, 4, "Analog Fuel Gauge: Not Connected")};
    return {plain(6, 4, format("Analog Fuel Gauge: %-3d%% ~ %1.1fV   (Only valid for G-Plate)", analogFuelGauge,
                               (analogFuelGauge + 7.0) * 0.046511627906976744))};
}

Panel batteryVoltagePanel(int batteryVoltage)
{
    if (batteryVoltage < 0)
        return {plain(7, 4, "Battery Voltage  : No Battery")};
    return {plain(7, 4, format("Battery Voltage  : %2.1fV         (Read from Battery Protocol)", batteryVoltage * 0.001))};
}

Panel batteryCapacityPanel(int batteryCapacity)
{
    if (batteryCapacity < 0)
        return {plain(8, 4, "Battery Capacity : No Battery")};
    return {plain(8, 4, format("Battery Capacity : %-3d%%          (Read from Battery Protocol)", batteryCapacity))};
}

Panel timeToEmptyPanel(int timeToEmpty)
{
    if (timeToEmpty == -2)
        return {plain(10, 4, "Time To Empty    : Not Discharging")};
    if (timeToEmpty == -1)
        return {plain(10, 4, "Time To Empty    : No Battery")};
    return {plain(10, 4, format("Time To Empty    : %-3d mins", timeToEmpty))};
}

Panel powerSourcePanel(int powerSource)
{
    if (powerSource < 0) {
        return {
            plain(12, 2, "Power Sources"),
            plain(13, 4, "6-Pin J1 (ACDC D7) : N/A"),
            plain(14, 4, "4-Pin J2 (  DC D8) : N/A"),
            plain(15, 4, "2-Pin J3 ( BAT D9) : N/A"),
        };
    }
    return {
        plain(12, 2, "Power Sources"),
        plain(13, 4, format("6-Pin J1 (ACDC D7) : %-3s", yesNo(powerSource & 1))),
        plain(14, 4, format("4-Pin J2 (  DC D8) : %-3s", yesNo(powerSource & 2))),
        plain(15, 4, format("2-Pin J3 ( BAT D9) : %-3s", yesNo(powerSource & 4))),
    };
}

Panel protocolsPanel(int batteryInterface)
{
    if (batteryInterface < 0) {
        return {
            plain(17, 2, "Battery Protocols"),
            plain(18, 4, "Single Wire (G-Plate): data not available"),
            plain(19, 4, "I2C (V-Plate)        : data not available"),
            plain(20, 4, "SMB (V-Plate)        : data not available"),
        };
    }
    return {
        plain(17, 2, "Battery Protocols"),
        plain(18, 4, format("Single Wire (G-Plate): %-3s", yesNo(batteryInterface == 1))),
        plain(19, 4, format("I2C (V-Plate)        : %-3s", yesNo(batteryInterface == 3))),
        plain(20, 4, format("SMB (V-Plate)        : %-3s", yesNo(batteryInterface == 2))),
    };
}
