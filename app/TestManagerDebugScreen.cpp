#include "app/TestManager.h"

#include "console/DebugPanels.h"
#include "console/Screen.h"

void TestManager::showDebugDisplay()
{
    screen.erase();
    draw(screen, debugHeaderPanel(version, devicePath, txByteCount, rxByteCount));
    showSystemVoltage();
    showBatteryVoltage();
    showAnalogFuelGauge();
    showBatteryCapacity();
    showTimeToEmpty();
    showPowerSource();
    showProtocols();
    screen.write(23, 4, "Press (Y) to return to tests : ");
    screen.refresh();
}

void TestManager::showSystemVoltage()
{
    draw(screen, systemVoltagePanel(systemVoltage, systemVoltageMin, systemVoltageMax));
}

void TestManager::showBatteryVoltage()
{
    draw(screen, batteryVoltagePanel(batteryVoltage));
}

void TestManager::showAnalogFuelGauge()
{
    draw(screen, analogFuelGaugePanel(analogFuelGauge));
}

void TestManager::showBatteryCapacity()
{
    draw(screen, batteryCapacityPanel(batteryCapacity));
}

void TestManager::showTimeToEmpty()
{
    draw(screen, timeToEmptyPanel(timeToEmpty));
}

void TestManager::showPowerSource()
{
    draw(screen, powerSourcePanel(powerSource));
}

void TestManager::showProtocols()
{
    draw(screen, protocolsPanel(batteryInterface));
}
