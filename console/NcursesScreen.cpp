#include "console/NcursesScreen.h"

#include <curses.h>

namespace {

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
    wtimeout(stdscr, wait ? -1 : 0);
}

int NcursesScreen::readKey()
{
    const int key = wgetch(stdscr);
    // A resized terminal is not an answer to a prompt; the next redraw
    // fills the new size.
    return key == ERR || key == KEY_RESIZE ? noKey : key;
}

QByteArray NcursesScreen::readWord()
{
    char buffer[81] = {};
    scanw("%80s", buffer);
    buffer[80] = '\0';
    return QByteArray(buffer);
}
