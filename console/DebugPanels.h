#pragma once

#include "console/Panel.h"

#include <QString>

// The debug screen's panels as pure functions from readings to the lines
// they put on the screen, so that every wording and colour band can be
// checked without a terminal.

// Colour bands of the system-voltage extremes, in mV.
int systemVoltageMinAttributes(int millivolts);
int systemVoltageMaxAttributes(int millivolts);

Panel debugHeaderPanel(const QString& version, const char* devicePath, int txByteCount, int rxByteCount);
Panel systemVoltagePanel(int systemVoltage, int systemVoltageMin, int systemVoltageMax);
Panel analogFuelGaugePanel(int analogFuelGauge);
Panel batteryVoltagePanel(int batteryVoltage);
Panel batteryCapacityPanel(int batteryCapacity);
Panel timeToEmptyPanel(int timeToEmpty);
Panel powerSourcePanel(int powerSource);
Panel protocolsPanel(int batteryInterface);
