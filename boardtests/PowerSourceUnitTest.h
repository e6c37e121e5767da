#pragma once

#include "app/UnitTest.h"

#include <QString>

// One step of an input-threshold check: with the bench supplies set as the
// instructions say, the board must report exactly the expected live inputs
// and a system voltage within 0.2 V of the expected one.
class PowerSourceUnitTest : public UnitTest {
public:
    PowerSourceUnitTest(const QString& title, const QString& instructions, const QString& promptText,
                        int expectedPowerSources, int expectedSystemVoltage);
    ~PowerSourceUnitTest() override;
    int run(TestManager& tm) override;

    // The bench-supply tokens {AL}, {IL}, {AH}, {IH} as bold voltages.
    QString replaceTokensWithValues(const QString& text);

    QString instructions;
    QString promptText;
    int expectedPowerSources;
    int expectedSystemVoltage; // mV
};
