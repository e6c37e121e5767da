#pragma once

#include "app/TestManager.h"
#include "tests/support/FakeBoardDevice.h"
#include "tests/support/ScriptedScreen.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A manager on an in-memory screen and a talking fake board, with its
// results log in a temporary directory.
class ManagerFixture : public ::testing::Test {
protected:
    ManagerFixture()
    {
        board.setReply('V', "V1.07 TR417");
        manager.setLogFileLocation(directory.filePath("results.txt"));
    }

    QString logText() const
    {
        QFile file(directory.filePath("results.txt"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir directory;
    ScriptedScreen screen;
    FakeBoardDevice board;
    TestManager manager{false, screen, board, "/dev/fake_tr417"};
};
