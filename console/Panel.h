#pragma once

#include <QByteArray>

#include <vector>

class Screen;

// A screen as data: the lines it shows, where and how. Pure functions fill
// panels from state; draw() puts any panel on the screen. Layouts are then
// checked as tables, without a terminal.
struct PanelLine {
    int row;
    int column;
    QByteArray text;
    int attributes; // Screen::Attribute bits, 0 for plain
};
using Panel = std::vector<PanelLine>;

// Writes the lines in order, each with its attributes switched on only while it is written.
void draw(Screen& screen, const Panel& panel);
