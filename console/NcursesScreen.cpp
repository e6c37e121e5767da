#include "console/NcursesScreen.h"

#include "console/KeyboardInput.h"

#include <curses.h>
#include <unistd.h>

#include <clocale>

namespace {

// Longest single wait for a key: a stop request is seen within it.
constexpr int keyWaitSliceMs = 200;

attr_t toCurses(int attributes)
{
    attr_t result = A_NORMAL;
    if (attributes & Screen::Bold)
        result |= A_BOLD;
    if (attributes & Screen::GoodPair)
        result |= COLOR_PAIR(1);
    if (attributes & Screen::WarningPair)
        result |= COLOR_PAIR(2);
    if (attributes & Screen::AlarmPair)
        result |= COLOR_PAIR(3);
    return result;
}

} // namespace

NcursesScreen& NcursesScreen::instance()
{
    static NcursesScreen screen;
    return screen;
}

void NcursesScreen::start()
{
    // No cbreak, raw or keypad mode is requested on purpose: the terminal
    // library's defaults already deliver single keys without Enter.
    // The terminal's encoding decides how characters beyond ASCII are shown.
    std::setlocale(LC_CTYPE, "");
    initscr();
    wtimeout(stdscr, 0);
    noecho();
    start_color();
    init_pair(1, COLOR_WHITE, COLOR_BLACK);
    init_pair(2, COLOR_YELLOW, COLOR_BLACK);
    init_pair(3, COLOR_RED, COLOR_BLACK);
}

void NcursesScreen::stop()
{
    endwin();
}

void NcursesScreen::erase()
{
    ::erase();
}

void NcursesScreen::refresh()
{
    ::refresh();
}

void NcursesScreen::attributeOn(int attributes)
{
    attron(toCurses(attributes));
}

void NcursesScreen::attributeOff(int attributes)
{
    attroff(toCurses(attributes));
}

void NcursesScreen::write(int row, int column, const QByteArray& bytes)
{
    mvaddnstr(row, column, bytes.constData(), bytes.size());
}

void NcursesScreen::setEcho(bool on)
{
    if (on)
        echo();
    else
        noecho();
}

void NcursesScreen::setKeyWait(bool wait)
{
    wtimeout(stdscr, wait ? keyWaitSliceMs : 0);
}

int NcursesScreen::readKey()
{
    const int key = wgetch(stdscr);
    if (key == KEY_RESIZE)
        return resized;
    if (key != ERR)
        return key;
    // The terminal library says "no key" at the end of the input as well.
    return keyboardInputEnded(STDIN_FILENO) ? inputClosed : noKey;
}
