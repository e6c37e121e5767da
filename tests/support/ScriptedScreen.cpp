#include "tests/support/ScriptedScreen.h"

#include <QRegularExpression>

#include <stdexcept>

void ScriptedScreen::typeKeys(const std::string& keys)
{
    for (char key : keys)
        typeKey(static_cast<unsigned char>(key));
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

void ScriptedScreen::write(int row, int column, const QByteArray& bytes)
{
    if (row < 0 || row >= rows)
        return;
    for (char byte : bytes) {
        if (column >= 0 && column < columns)
            grid[size_t(row)][size_t(column)] = Cell{byte, currentAttributes};
        ++column;
    }
}

int ScriptedScreen::readKey()
{
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
    for (const Cell& cell : grid[size_t(r)])
        result += QLatin1Char(cell.character);
    return result.remove(QRegularExpression(" +$"));
}
