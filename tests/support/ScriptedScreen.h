#pragma once

#include "console/Screen.h"

#include <QRegularExpression>
#include <QString>

#include <deque>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// An in-memory terminal for tests: a grid of characters, a script of keys
// the operator will type, and a record of the input modes the console set.
class ScriptedScreen : public Screen {
public:
    static constexpr int rows = 30;
    static constexpr int columns = 200;

    // A key the operator types once the program waits for one. `before` runs
    // just before the key is seen (an operator changing the bench, say).
    void typeKey(int key, std::function<void()> before = {}) { script.emplace_back(key, std::move(before)); }
    void typeKeys(const std::string& keys)
    {
        for (char key : keys)
            typeKey(static_cast<unsigned char>(key));
    }

    void start() override
    {
        ++startCount;
        keyWait = false;
        echo = false;
    }
    void stop() override { ++stopCount; }
    void erase() override { grid.assign(rows, std::string(columns, ' ')); }
    void refresh() override { secondPromptRows.push_back(row(23).trimmed()); }
    void attributeOn(int attributes) override { currentAttributes |= attributes; }
    void attributeOff(int attributes) override { currentAttributes &= ~attributes; }
    void write(int row, int column, const QByteArray& bytes) override
    {
        for (char byte : bytes) {
            if (row >= 0 && row < rows && column >= 0 && column < columns)
                grid[size_t(row)][size_t(column)] = byte;
            ++column;
        }
    }
    void setEcho(bool on) override { echo = on; }
    void setKeyWait(bool wait) override { keyWait = wait; }
    int readKey() override
    {
        // A scripted key is typed while the program waits: a non-waiting read
        // first finds nothing, the next one finds the key.
        if (!script.empty() && (keyWait || keyArriving)) {
            const auto [key, before] = std::move(script.front());
            script.pop_front();
            keyArriving = false;
            if (before)
                before();
            blockingReads.push_back(keyWait);
            return key;
        }
        // A test that waits for a key nobody will type fails instead of hanging.
        if (keyWait || ++idleReads > 5000)
            throw std::runtime_error("the program waits for a key that the test never types");
        keyArriving = !script.empty();
        return noKey;
    }

    // Trailing blanks removed.
    QString row(int r) const { return QString::fromLatin1(grid[size_t(r)].c_str()).remove(QRegularExpression(" +$")); }
    size_t keysLeft() const { return script.size(); }

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
    std::vector<std::string> grid = std::vector<std::string>(rows, std::string(columns, ' '));
    std::deque<std::pair<int, std::function<void()>>> script; // key, what happens just before it
    bool keyArriving = false;
    int idleReads = 0; // reads that found no key
};

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
