#include "tests/support/ScriptedScreen.h"

#include <QRegularExpression>

#include <stdexcept>

ScriptedScreen::ScriptedScreen()
    : grid(rows, std::vector<Cell>(columns))
{
}

void ScriptedScreen::typeKey(int key, std::function<void()> before)
{
    script.push_back(ScriptedKey{key, std::move(before)});
}

void ScriptedScreen::typeKeys(const std::string& keys)
{
    for (char key : keys)
        typeKey(static_cast<unsigned char>(key));
}

void ScriptedScreen::typeAhead(int key)
{
    typeahead.push_back(key);
}

void ScriptedScreen::start()
{
    started = true;
    ++startCount;
    keyWait = false;
    echo = false;
}

void ScriptedScreen::stop()
{
    started = false;
    ++stopCount;
}

void ScriptedScreen::erase()
{
    for (auto& line : grid)
        for (auto& cell : line)
            cell = Cell();
}

void ScriptedScreen::refresh()
{
}

void ScriptedScreen::attributeOn(int attributes)
{
    currentAttributes |= attributes;
}

void ScriptedScreen::attributeOff(int attributes)
{
    currentAttributes &= ~attributes;
}

void ScriptedScreen::write(int row, int column, const QByteArray& bytes)
{
    if (row < 0 || row >= rows)
        return;
    for (char byte : bytes) {
        if (column >= 0 && column < columns)
            grid[static_cast<size_t>(row)][static_cast<size_t>(column)] = Cell{byte, currentAttributes};
        ++column;
    }
}

void ScriptedScreen::setEcho(bool on)
{
    echo = on;
}

void ScriptedScreen::setKeyWait(bool wait)
{
    keyWait = wait;
}

int ScriptedScreen::readKey()
{
    if (!typeahead.empty()) {
        const int key = typeahead.front();
        typeahead.pop_front();
        return key;
    }
    // A scripted key is typed while the program waits: a non-waiting read
    // first finds nothing, the next one finds the key.
    if (!script.empty() && (keyWait || keyArriving)) {
        ScriptedKey next = std::move(script.front());
        script.pop_front();
        keyArriving = false;
        if (next.before)
            next.before();
        blockingReads.push_back(keyWait);
        return next.key;
    }
    if (keyWait || ++idleReads > 5000)
        throw std::runtime_error("the program waits for a key that the test never types");
    keyArriving = !script.empty();
    return noKey;
}

QString ScriptedScreen::row(int r) const
{
    QString result;
    for (const Cell& cell : grid[static_cast<size_t>(r)])
        result += QLatin1Char(cell.character);
    return result.remove(QRegularExpression(" +$"));
}

bool ScriptedScreen::boldAt(int r, int column) const
{
    return grid[static_cast<size_t>(r)][static_cast<size_t>(column)].attributes & Bold;
}
