#pragma once

#include "app/TestManager.h"
#include "app/UnitTest.h"
#include "tests/support/FakeBoardDevice.h"
#include "tests/support/ScriptedScreen.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// A screen that remembers the second prompt row at every refresh.
class WatchedScreen : public ScriptedScreen {
public:
    void refresh() override
    {
        ScriptedScreen::refresh();
        secondPromptRows.push_back(row(23).trimmed());
    }
    std::vector<QString> secondPromptRows;
};

// One run of a test: the bench ("P3 S11600"), the test's flag, the keys typed
// and what must come of it. `prompt`, when set, is the last prompt shown.
struct Verdict {
    const char* bench;
    bool flag;
    const char* keys;
    int result;
    int state;
    const char* message;
    const char* prompt = nullptr;
};
inline void PrintTo(const Verdict& v, std::ostream* out) { *out << v.bench << " / " << v.flag << " / " << v.keys; }

// A manager on the watched screen with its link open against a fake board
// and its results log in a temporary directory.
class BoardTestFixture : public ::testing::Test {
protected:
    BoardTestFixture()
    {
        manager.fd = FakeBoardDevice::boardFd;
        manager.setLogFileLocation(directory.filePath("results.txt"));
    }

    QString logText() const
    {
        QFile file(directory.filePath("results.txt"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // The manager sees a reading after its next poll.
    void board(char letter, int value) { device.setReading(letter, value); }
    void bench(const char* readings)
    {
        for (const QString& reading : QString(readings).split(' ', Qt::SkipEmptyParts))
            board(reading[0].toLatin1(), reading.mid(1).toInt());
    }

    void expectVerdict(UnitTest& test, const Verdict& v)
    {
        bench(v.bench);
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
