#pragma once

#include "app/UnitTest.h"

#include <QString>

// One power input at a time: with a 14.0 V bench supply on the named
// connector only, the board must report exactly that input live, the operator
// must see the matching LED pattern, and the system voltage must be in range.
class SysVoltageAndLEDTest : public UnitTest {
public:
    SysVoltageAndLEDTest(const QString& title, const QString& ledDescription,
                         const QString& connectorDescription, int expectedPowerSource);
    ~SysVoltageAndLEDTest() override;
    int run(TestManager& tm) override;

    // Bench-supply voltage needed for a system voltage of v volts, from the
    // drop measured at 14.0 V; 0.0 unless this test has passed.
    float getPSUVoltageRequired(float v);

    QString ledDescription;
    QString connectorDescription;
    int expectedPowerSource;
    float measuredSystemVoltage = -1.0f; // volts, written on a pass
};
