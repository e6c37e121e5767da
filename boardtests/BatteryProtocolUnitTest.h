#pragma once

#include "app/UnitTest.h"

#include <QString>

// The board must recognise the protocol of the fitted battery within about
// five seconds; for the single-wire battery its analog fuel gauge must also
// agree with the battery's own capacity figure.
class BatteryProtocolUnitTest : public UnitTest {
public:
    BatteryProtocolUnitTest(const QString& title, const QString& instructions, const QString& promptText,
                            int expectedInterface, bool checkFuelGauge);
    ~BatteryProtocolUnitTest() override;
    int run(TestManager& tm) override;

    QString instructions;
    QString promptText;
    int expectedInterface; // 3 I2C, 2 SMB, 1 single wire
    bool checkFuelGauge;
};
