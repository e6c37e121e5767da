#pragma once

#include "app/TestManager.h"
#include "tests/support/FakeBoardDevice.h"
#include "tests/support/ScriptedScreen.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>
#include <vector>

// A fake board that also lets a test watch each sleep and each write call.
class WatchedBoard : public FakeBoardDevice {
public:
    int nanosleep(const struct timespec& duration) override
    {
        sleepDurations.push_back(duration);
        if (onSleep)
            onSleep();
        return FakeBoardDevice::nanosleep(duration);
    }
    ssize_t write(int descriptor, const void* buffer, size_t count) override
    {
        ++writeCalls;
        return FakeBoardDevice::write(descriptor, buffer, count);
    }
    std::function<void()> onSleep;
    std::vector<struct timespec> sleepDurations;
    int writeCalls = 0;
};

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

// A manager on the watched screen and board, with the link open against the
// fake board and its results log in a temporary directory.
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

    // Sets a reading on the board; the manager sees it after its next poll.
    void board(char letter, int value) { device.setReading(letter, value); }

    QTemporaryDir directory;
    WatchedScreen screen;
    WatchedBoard device;
    TestManager manager{false, screen, device, "/nonexistent"};
};
