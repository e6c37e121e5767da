#pragma once

#include <QString>

class TestManager;

enum TestState { Passed = 0, Failed = 1, NotRun = 2, Skipped = 3 };

enum RunResult { Quit = 0, Next = 1, Menu = 2, Debug = 3 };

// One step of the production test. run() conducts it with the operator and
// the board and returns a RunResult telling the manager what to do next.
class UnitTest {
public:
    explicit UnitTest(const QString& title);
    virtual ~UnitTest();
    virtual int run(TestManager& manager) = 0;
    // Overridable hook; the manager's loop never calls it.
    virtual void show(TestManager& manager);

    const QString& getTestStateStr() const;

    QString title;
    int state;
    QString resultMessage;
};
