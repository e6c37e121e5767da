#include "app/TestManager.h"

#include "app/UnitTest.h"
#include "console/LiveTokens.h"
#include "console/Markup.h"
#include "console/Screen.h"
#include "logging/Logging.h"

#include <QStringList>


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

void TestManager::showTestDisplay()
{
    screen.erase();
    screen.attributeOn(Screen::Bold);
    screen.write(0, 0, consoleBytes(screenTitle));
    screen.attributeOff(Screen::Bold);
    for (int row = 2; row <= 16; ++row)
        printMarkup(screen, row, 2, replaceLiveTokens(detailLines[row - 2], systemVoltage, powerSource));
    printMarkup(screen, 21, 4, promptLines[0]);
    printMarkup(screen, 23, 4, promptLines[1]);
    screen.refresh();
}

int TestManager::getLowerCh()
{
    // Keys typed before the question was on screen are not answers to it.
    while (screen.readKey() != Screen::noKey) {
    }
    for (;;) {
        int key;
        do {
            processEvents(200);
            show();
            key = screen.readKey();
        } while (key == Screen::noKey);
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
    screen.erase();
    screen.attributeOn(Screen::Bold);
    screen.write(0, 0, consoleBytes(test.title));
    screen.write(2, 2, consoleBytes(test.resultMessage));
    screen.attributeOff(Screen::Bold);
    screen.write(21, 4, "Press Any Key to continue : ");
    screen.refresh();
    // Any key will do and the board is not polled here, so block on the key
    // rather than spin: PRBS, MIG and stress tests may be loading the host.
    screen.setKeyWait(true);
    while (screen.readKey() == Screen::noKey) {
    }
    screen.setKeyWait(false);
}

QString TestManager::enterBoardSerialNumber()
{
    initDisplay();
    screen.setEcho(true);
    screen.setKeyWait(true);
    for (;;) {
        screen.erase();
        screen.write(14, 10, "Enter TR417 PCB Serial No: ");
        screen.refresh();
        boardSerialNumber = QString::fromUtf8(screen.readWord());
        if (boardSerialNumber.isEmpty())
            boardSerialNumber = "Unassigned";
        screen.write(16, 10, consoleBytes(QString("You Entered \"%1\"").arg(boardSerialNumber)));
        screen.write(18, 10, "Is that correct? (Y/n): ");
        screen.refresh();
        int key;
        while ((key = screen.readKey()) == Screen::noKey) {
        }
        if (key != 'n' && key != 'N')
            break;
    }
    screen.setKeyWait(false);
    screen.setEcho(false);
    return boardSerialNumber;
}
