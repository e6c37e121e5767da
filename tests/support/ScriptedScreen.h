#pragma once

#include "console/Screen.h"

#include <QString>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// An in-memory terminal for tests: a grid of characters with their
// attributes, a script of keys the operator will type, and a record of the
// input modes the console set.
class ScriptedScreen : public Screen {
public:
    static constexpr int rows = 30;
    static constexpr int columns = 200;

    // A key the operator types once the program waits for one. `before` runs
    // just before the key is seen (an operator changing the bench, say).
    void typeKey(int key, std::function<void()> before = {}) { script.push_back({key, std::move(before)}); }
    void typeKeys(const std::string& keys);

    void start() override;
    void stop() override;
    void erase() override { grid.assign(rows, std::vector<Cell>(columns)); }
    void refresh() override { secondPromptRows.push_back(row(23).trimmed()); }
    void attributeOn(int attributes) override { currentAttributes |= attributes; }
    void attributeOff(int attributes) override { currentAttributes &= ~attributes; }
    void write(int row, int column, const QByteArray& bytes) override;
    void setEcho(bool on) override { echo = on; }
    void setKeyWait(bool wait) override { keyWait = wait; }
    int readKey() override;

    QString row(int r) const; // trailing blanks removed
    bool boldAt(int r, int column) const { return grid[size_t(r)][size_t(column)].attributes & Bold; }
    size_t keysLeft() const { return script.size(); }

    bool started = false;
    int startCount = 0;
    int stopCount = 0;
    bool echo = false;
    bool keyWait = false;
    int currentAttributes = 0;
    // Whether each scripted key was read by a waiting (blocking) read.
    std::vector<bool> blockingReads;
    // The second prompt row at every refresh: a count-down lives there.
    std::vector<QString> secondPromptRows;

private:
    struct Cell {
        char character = ' ';
        int attributes = 0;
    };
    struct ScriptedKey {
        int key;
        std::function<void()> before;
    };
    std::vector<std::vector<Cell>> grid{rows, std::vector<Cell>(columns)};
    std::deque<ScriptedKey> script;
    bool keyArriving = false;
    // Reads that found no key; a test that waits for a key nobody will
    // type fails instead of hanging.
    int idleReads = 0;
};

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
