#pragma once

#include "app/UnitTest.h"

#include <deque>
#include <functional>
#include <utility>
#include <vector>

// A test whose verdicts are scripted: each run takes the next (result,
// state) pair; it records how often it ran.
class ScriptedUnitTest : public UnitTest {
public:
    using Outcome = std::pair<int, int>; // run result, state afterwards

    ScriptedUnitTest(const QString& title, std::vector<Outcome> outcomes)
        : UnitTest(title), outcomes(outcomes.begin(), outcomes.end())
    {
    }

    int run(TestManager&) override
    {
        ++runs;
        if (onRun)
            onRun();
        if (outcomes.empty())
            return Quit; // an unscripted run ends the manager's loop
        const Outcome next = outcomes.front();
        outcomes.pop_front();
        state = next.second;
        resultMessage = QString("verdict %1").arg(runs);
        return next.first;
    }

    int runs = 0;
    std::function<void()> onRun;
    std::deque<Outcome> outcomes;
};
