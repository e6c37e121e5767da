#pragma once

#include "console/Panel.h"

#include <QByteArray>
#include <QString>

// Entry of the board's serial number, read key by key so that a resized
// terminal only redraws and a typed line is echoed readably in any encoding.

inline constexpr int maxTypedBytes = 240;
inline constexpr int maxSerialBytes = 80;

// The typed line after one more key: printable bytes are added (up to
// maxTypedBytes), backspace and delete remove the last character (all bytes
// of a UTF-8 sequence), everything else leaves the line as it is.
QByteArray editedLine(const QByteArray& line, int key);
bool endsLine(int key);

// The serial number a typed line stands for: its first blank-delimited word,
// at most maxSerialBytes bytes of it (not cutting a character), as UTF-8;
// "Unassigned" when there is none.
QString serialNumberFromLine(const QByteArray& line);

Panel serialEntryPanel(const QByteArray& typed);
Panel serialConfirmationPanel(const QByteArray& typed, const QString& serial);
