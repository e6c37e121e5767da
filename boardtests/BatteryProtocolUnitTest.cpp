#include "boardtests/BatteryProtocolUnitTest.h"

#include "app/TestManager.h"
#include "boardtests/OperatorKeys.h"

#include <cstdlib>

namespace {

constexpr int protocolWaitAttempts = 25;
constexpr int pollIntervalMs = 200;
constexpr int fuelGaugeTolerancePercent = 9;

enum class Choice { Leave, Retry, Other };

// The keys shared by both error prompts. Leave means `result` holds the
// value for run() to return.
Choice errorChoice(int key, UnitTest& test, int& result)
{
    if (const auto leave = leavingAnswerAfterFailure(key)) {
        result = *leave;
        return Choice::Leave;
    }
    if (key == 'r')
        return Choice::Retry;
    if (key == 's') {
        test.resultMessage = "Test Skipped";
        test.state = Skipped;
        result = Next;
        return Choice::Leave;
    }
    return Choice::Other;
}

} // namespace

BatteryProtocolUnitTest::BatteryProtocolUnitTest(const QString& testTitle, const QString& instructionText,
                                                 const QString& prompt, int batteryInterface,
                                                 bool fuelGauge)
    : UnitTest(testTitle),
      instructions(instructionText),
      promptText(prompt),
      expectedInterface(batteryInterface),
      checkFuelGauge(fuelGauge)
{
}

BatteryProtocolUnitTest::~BatteryProtocolUnitTest() = default;

int BatteryProtocolUnitTest::run(TestManager& tm)
{
    tm.title(title);

    for (;;) {
        tm.detail(instructions);
        int key = tm.prompt(promptText);
        state = NotRun;
        resultMessage = "Test Not Run";
        // n leaves the test not run; s skips it.
        if (const auto leave = leavingAnswerAfterFailure(key))
            return *leave;
        if (key == 's') {
            resultMessage = "Test Skipped";
            state = Skipped;
            return Next;
        }

        state = Passed;
        resultMessage = "PASSED: Test Completed";

        // The battery needs a few seconds to be identified after it is set
        // up; the count-down tells the operator how long is left.
        bool found = false;
        for (int countdown = protocolWaitAttempts; countdown >= 1 && !found; --countdown) {
            // Told to stop: leave as not run rather than judge a half-finished wait.
            if (tm.stopRequested()) {
                state = NotRun;
                resultMessage = "Test Not Run";
                return Quit;
            }
            tm.updatePrompt(QString("%1 ...%2").arg(promptText, QString::number(countdown / 5 + 1)));
            tm.processEvents(pollIntervalMs);
            tm.show();
            found = tm.batteryInterface == expectedInterface;
        }

        int result = Next;
        if (!found) {
            state = Failed;
            key = tm.prompt("ERROR: Software didn't find an active protocol\n (R)etry, (N)ext Test, (M)enu or (Q)uit : ");
            resultMessage = "FAILED Protocol Not Found";
            const Choice choice = errorChoice(key, *this, result);
            if (choice == Choice::Leave)
                return result;
            if (choice == Choice::Retry)
                continue;
            // Any other key goes on to the fuel gauge, the test staying failed.
        }

        if (!checkFuelGauge)
            return Next;

        const int capacity = tm.batteryCapacity;
        const int gauge = tm.analogFuelGauge;
        if (capacity >= 0 && gauge >= 0 && std::abs(capacity - gauge) <= fuelGaugeTolerancePercent)
            return Next;

        state = Failed;
        key = tm.prompt("ERROR: Expected Analog Fuel Gauge to be within 10%% of the Battery Capacity\n (R)etry, (N)ext Test, (M)enu or (Q)uit : ");
        resultMessage = "FAILED: Analog Fuel Gauge not within 10% of Battery Capacity";
        const Choice choice = errorChoice(key, *this, result);
        if (choice == Choice::Leave)
            return result;
        if (choice == Choice::Retry)
            continue;
        return Next;
    }
}
