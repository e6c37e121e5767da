#include "app/TestManager.h"

#include "app/UnitTest.h"
#include "console/ConsoleScreens.h"
#include "console/Screen.h"
#include "console/SerialEntry.h"
#include "logging/Logging.h"

#include <QStringList>

#include <iterator>


namespace {

// The first `count` pieces of a text cut at line breaks; missing lines are blank.
template <size_t count>
void setLines(QString (&lines)[count], const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char('\n'));
    for (size_t i = 0; i < count; ++i)
        lines[i] = static_cast<int>(i) < pieces.size() ? pieces[static_cast<int>(i)] : QString();
}

} // namespace

void TestManager::initDisplay()
{
    if (displayInitialised)
        return;
    // Standard output is the operator's terminal from here on.
    Tessaly::holdStandardOutput();
    screen.start();
    displayInitialised = true;
}

void TestManager::closeDisplay()
{
    if (!displayInitialised)
        return;
    screen.stop();
    displayInitialised = false;
    Tessaly::releaseStandardOutput();
}

void TestManager::detail(const QString& text)
{
    setLines(detailLines, text);
}

void TestManager::updatePrompt(const QString& text)
{
    setLines(promptLines, text);
}

void TestManager::drawScreen(const Panel& panel)
{
    screen.erase();
    draw(screen, panel);
    screen.refresh();
}

int TestManager::waitForKey()
{
    for (;;) {
        if (stopRequested())
            return Screen::inputClosed;
        const int key = screen.readKey();
        if (key == Screen::inputClosed)
            keyboardClosed = true;
        else if (key != Screen::noKey)
            return key;
    }
}

void TestManager::showTestDisplay()
{
    drawScreen(testScreenPanel(screenTitle, std::vector<QString>(std::begin(detailLines), std::end(detailLines)),
                               std::vector<QString>(std::begin(promptLines), std::end(promptLines)), systemVoltage,
                               powerSource));
}

int TestManager::getLowerCh()
{
    // Keys typed before the question was on screen are not answers to it,
    // nor is a resize among them a reason to stop throwing them away.
    for (int key = screen.readKey(); key != Screen::noKey; key = screen.readKey()) {
        if (key == Screen::inputClosed) {
            keyboardClosed = true;
            break;
        }
    }
    for (;;) {
        // Nobody left to answer, or told to stop: the answer that ends the run.
        if (stopRequested())
            return 'q';
        processEvents(200);
        show();
        const int key = screen.readKey();
        if (key == Screen::inputClosed)
            keyboardClosed = true;
        if (key < 0)
            continue;
        if (key == 'i') {
            resetSystemVoltageExtremes();
            continue;
        }
        return Screen::lowerCase(key);
    }
}

int TestManager::prompt(const QString& text)
{
    updatePrompt(text);
    return getLowerCh();
}

void TestManager::showTestSummary()
{
    const UnitTest& test = *unitTests[static_cast<size_t>(currentTest)];
    const Panel summary = summaryPanel(test.title, test.resultMessage);
    // Any key will do and the board is not polled here, so block on the key
    // rather than spin: PRBS, MIG and stress tests may be loading the host.
    screen.setKeyWait(true);
    int key;
    do {
        drawScreen(summary);
        key = waitForKey();
    } while (key == Screen::resized);
    screen.setKeyWait(false);
}

QString TestManager::enterBoardSerialNumber()
{
    initDisplay();
    screen.setKeyWait(true);
    for (;;) {
        // The line is read key by key and drawn by us: a resize redraws it
        // and the entry goes on.
        QByteArray typed;
        int key;
        for (;;) {
            drawScreen(serialEntryPanel(typed));
            key = waitForKey();
            if (key == Screen::inputClosed || endsLine(key))
                break;
            typed = editedLine(typed, key);
        }
        boardSerialNumber = serialNumberFromLine(typed);
        screen.setEcho(true);
        do {
            drawScreen(serialConfirmationPanel(typed, boardSerialNumber));
            key = waitForKey();
        } while (key == Screen::resized);
        screen.setEcho(false);
        if (key != 'n' && key != 'N')
            break;
    }
    screen.setKeyWait(false);
    return boardSerialNumber;
}
