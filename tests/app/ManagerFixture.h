#pragma once

#include "app/TestManager.h"
#include "app/UnitTest.h"
#include "tests/support/FakeBoardDevice.h"
#include "tests/support/ScriptedScreen.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

// A manager on an in-memory screen and a talking fake board, with its
// results log in a temporary directory.
class ManagerFixture : public ::testing::Test {
protected:
    ManagerFixture()
    {
        board.setReply('V', "V1.07 TR417");
        board.setReading('S', 14000);
        board.setReading('P', 1);
        manager.setLogFileLocation(logPath());
    }

    QString logPath() const { return directory.filePath("results.txt"); }

    QString logText() const
    {
        QFile file(logPath());
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(file.readAll());
    }

    QTemporaryDir directory;
    ScriptedScreen screen;
    FakeBoardDevice board;
    TestManager manager{false, screen, board, "/dev/fake_tr417"};
};

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
