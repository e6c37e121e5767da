#include "boardtests/SysVoltageAndLEDTest.h"

#include "app/TestManager.h"
#include "boardtests/OperatorKeys.h"

#include <cmath>

namespace {

constexpr int minimumSystemVoltageMv = 13500;
// Readings up to 14.2 V pass, although the operator's prompt names 14.0V.
constexpr int maximumSystemVoltageMv = 14200;
constexpr float benchSupplyVolts = 14.0f;

} // namespace

SysVoltageAndLEDTest::SysVoltageAndLEDTest(const QString& testTitle, const QString& leds,
                                           const QString& connector, int powerSource)
    : UnitTest(testTitle),
      ledDescription(leds),
      connectorDescription(connector),
      expectedPowerSource(powerSource)
{
}

SysVoltageAndLEDTest::~SysVoltageAndLEDTest() = default;

float SysVoltageAndLEDTest::getPSUVoltageRequired(float v)
{
    const float m = measuredSystemVoltage;
    if (m < 0 || state != Passed)
        return 0.0f;
    // Positive root P of P * (P - v) = 14 * (14 - m), scaling the drop
    // measured with the supply at 14.0 V.
    const float vSquared = v * v;
    const double root = std::sqrt(vSquared + 784.0 - 56.0 * m);
    return static_cast<float>((v + root) / 2.0);
}

int SysVoltageAndLEDTest::run(TestManager& tm)
{
    tm.title(title);
    const QString instructionText =
        QString("   (Active Power Source: *{APS}* at *{SV}V*)\n\n"
                "1. Ensure the TR333 is supplying power to the TR250\n"
                "2. Ensure PRBS, MIG and Stress tests are running at maximum load\n"
                "3. Connect a Bench Supply set to *14.0V* on %1\n"
                "4. Power off the other DC inputs.\n")
            .arg(connectorDescription);
    const QString question =
        QString("Do you see %1?\n *Y* or *N* (*M*)enu, (*D*)ebug, (*Q*)uit : ").arg(ledDescription);

    for (;;) {
        tm.detail(instructionText);
        const int answer = tm.prompt(question);
        if (const auto leave = leavingAnswer(answer))
            return *leave;

        state = Passed;
        resultMessage = "PASSED: Test Completed";

        // The board's view is checked before the operator's answer: a wrong
        // input explains an unlit LED, not the other way round.
        if (tm.powerSource != expectedPowerSource) {
            state = Failed;
            const int key = tm.prompt("ERROR: Unexpected Power Sources Indicated\n (*R*)etry, (*N*)ext Test, (*M*)enu or (*Q*)uit : ");
            resultMessage = "ERROR: Unexpected Power Sources Indicated";
            if (const auto leave = leavingAnswerAfterFailure(key))
                return *leave;
            continue;
        }

        if (answer != 'y') {
            state = Failed;
            const int key = tm.prompt("ERROR: Expected you to respond with 'Y'answer \"Yes\"?\n (*R*)etry, (*N*)ext Test, (*M*)enu or (*Q*)uit : ");
            resultMessage = "ERROR: LED not confirmed to be lit";
            if (const auto leave = leavingAnswerAfterFailure(key))
                return *leave;
            continue;
        }

        if (tm.skipVoltageCheck) {
            measuredSystemVoltage = benchSupplyVolts;
            return Next;
        }

        const int s = tm.systemVoltage;
        if (s >= minimumSystemVoltageMv && s <= maximumSystemVoltageMv) {
            measuredSystemVoltage = static_cast<float>(s / 1000.0);
            return Next;
        }

        state = Failed;
        const QString errorPrompt =
            QString("ERROR: Expected System Voltage to be between 13.5V and 14.0V (read %2V)\n"
                    " (*R*)etry, (*N*)ext Test, (*M*)enu or (*Q*)uit : ")
                .arg(s / 1000.0, 0, 'f', 1);
        resultMessage = errorPrompt.section('\n', 0, 0);
        const int key = tm.prompt(errorPrompt);
        if (const auto leave = leavingAnswerAfterFailure(key))
            return *leave;
    }
}
