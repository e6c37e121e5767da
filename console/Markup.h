#pragma once

#include "console/Panel.h"

#include <QByteArray>
#include <QString>

class Screen;

// The bytes the console writes for a text: a doubled percent sign shows as
// one, everything else as it stands (texts are never expanded as formats),
// in the local 8-bit encoding.
QByteArray consoleBytes(const QString& text);

// One line at (row, column) with asterisk markup: each asterisk switches
// bold on or off; bold is off again at the end of the line.
Panel markupLine(int row, int column, const QString& text);
void printMarkup(Screen& screen, int row, int column, const QString& text);
