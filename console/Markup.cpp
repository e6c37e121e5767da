#include "console/Markup.h"

#include "console/Screen.h"

#include <QStringList>

QByteArray consoleBytes(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("%%"), QLatin1String("%"));
    return shown.toLocal8Bit();
}

void printMarkup(Screen& screen, int row, int column, const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char('*'));
    for (int i = 0; i < pieces.size(); ++i) {
        if (i % 2 == 0)
            screen.attributeOff(Screen::Bold);
        else
            screen.attributeOn(Screen::Bold);
        screen.write(row, column, consoleBytes(pieces[i]));
        // Advance by the stored length: a doubled percent sign takes two
        // columns here although it shows as one.
        column += pieces[i].size();
    }
    screen.attributeOff(Screen::Bold);
}
