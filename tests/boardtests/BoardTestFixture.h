#pragma once

#include "app/TestManager.h"
#include "app/UnitTest.h"
#include "tests/support/FakeBoardDevice.h"
#include "tests/support/ScriptedScreen.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

inline const char* const passed = "PASSED: Test Completed";
inline const char* const notRun = "Test Not Run";
inline const char* const skipped = "Test Skipped";
inline const char* const sources = "ERROR: Unexpected Power Sources Indicated";

// Remembers the second prompt row at every refresh: the count-down lives there.
struct WatchedScreen : ScriptedScreen {
    void refresh() override { ScriptedScreen::refresh(); secondPromptRows.push_back(row(23).trimmed()); }
    std::vector<QString> secondPromptRows;
};

// One run: bench readings, skipVoltageCheck or the fuel-gauge check, keys, outcome and, when set, the last prompt.
struct Verdict { const char* bench; bool flag; const char* keys; int result, state; const char *message, *prompt = nullptr; };
inline void PrintTo(const Verdict& v, std::ostream* out) { *out << v.bench << " / " << v.flag << " / " << v.keys; }

// A manager with its link open on a fake board and its results log in a temporary directory.
class BoardTestFixture : public ::testing::Test {
protected:
    BoardTestFixture() { manager.fd = FakeBoardDevice::boardFd; manager.setLogFileLocation(directory.filePath("results.txt")); }

    QString logText() const { QFile log(directory.filePath("results.txt")); return log.open(QIODevice::ReadOnly) ? log.readAll() : ""; }
    void bench(const char* readings)
    {
        for (const QString& reading : QString(readings).split(' ', Qt::SkipEmptyParts))
            device.setReading(reading[0].toLatin1(), reading.mid(1).toInt());
    }
    void expectVerdict(UnitTest& test, const Verdict& v)
    {
        bench(v.bench);
        manager.skipVoltageCheck = v.flag;
        screen.typeKeys(v.keys);
        EXPECT_EQ(test.run(manager), v.result);
        EXPECT_EQ(test.state, v.state);
        EXPECT_EQ(test.resultMessage, v.message);
        if (v.prompt) {
            EXPECT_EQ(manager.promptLines[0] + '\n' + manager.promptLines[1], v.prompt);
        }
        EXPECT_EQ(screen.keysLeft(), 0u);
    }

    QTemporaryDir directory;
    WatchedScreen screen;
    FakeBoardDevice device;
    TestManager manager{false, screen, device, "/nonexistent"};
};

class VerdictTest : public BoardTestFixture, public ::testing::WithParamInterface<Verdict> {};
