#include "boardtests/PowerSourceUnitTest.h"

#include "app/TestManager.h"
#include "boardtests/OperatorKeys.h"

#include <cstdlib>

namespace {

constexpr int voltageToleranceMv = 200;

QString boldVolts(double volts)
{
    return QString("*%1V*").arg(volts, 0, 'f', 1);
}

} // namespace

PowerSourceUnitTest::PowerSourceUnitTest(const QString& testTitle, const QString& instructionText,
                                         const QString& prompt, int powerSources, int systemVoltageMv)
    : UnitTest(testTitle),
      instructions(instructionText),
      promptText(prompt),
      expectedPowerSources(powerSources),
      expectedSystemVoltage(systemVoltageMv)
{
}

PowerSourceUnitTest::~PowerSourceUnitTest() = default;

QString PowerSourceUnitTest::replaceTokensWithValues(const QString& text)
{
    QString result(text);
    result.replace("{AL}", boldVolts(11.6));
    result.replace("{IL}", boldVolts(10.0));
    result.replace("{AH}", boldVolts(16.4));
    result.replace("{IH}", boldVolts(18.5));
    return result;
}

int PowerSourceUnitTest::run(TestManager& tm)
{
    tm.title(title);
    const QString text = replaceTokensWithValues(instructions);

    for (;;) {
        tm.detail(text);
        int key = tm.prompt(promptText);
        if (const auto leave = leavingAnswer(key))
            return *leave;

        state = Passed;
        resultMessage = "PASSED: Test Completed";

        // The mask must match exactly: an extra live input is as wrong as a missing one.
        if (tm.powerSource != expectedPowerSources) {
            state = Failed;
            key = tm.prompt("ERROR: Unexpected Power Sources Indicated\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ");
            resultMessage = "ERROR: Unexpected Power Sources Indicated";
            if (const auto leave = leavingAnswerAfterFailure(key))
                return *leave;
            continue;
        }

        if (tm.skipVoltageCheck)
            return Next;

        if (std::abs(expectedSystemVoltage - tm.systemVoltage) <= voltageToleranceMv)
            return Next;

        state = Failed;
        resultMessage = QString("ERROR: Expected System Voltage to be within 0.2V of %1V (read %2V)")
                            .arg(expectedSystemVoltage / 1000.0, 0, 'f', 1)
                            .arg(tm.systemVoltage / 1000.0, 0, 'f', 1);
        key = tm.prompt(resultMessage + "\n (R)etry, (N)ext Test, (M)enu, (D)ebug or (Q)uit : ");
        if (const auto leave = leavingAnswerAfterFailure(key))
            return *leave;
    }
}
