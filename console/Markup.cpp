#include "console/Markup.h"

#include "console/Screen.h"

#include <QStringList>

QByteArray consoleBytes(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("%%"), QLatin1String("%"));
    return shown.toLocal8Bit();
}

Panel markupLine(int row, int column, const QString& text)
{
    Panel panel;
    const QStringList pieces = text.split(QLatin1Char('*'));
    for (int i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isEmpty())
            panel.push_back(PanelLine{row, column, consoleBytes(pieces[i]), i % 2 ? Screen::Bold : 0});
        // Advance by the stored length: a doubled percent sign takes two
        // columns here although it shows as one.
        column += pieces[i].size();
    }
    return panel;
}

void printMarkup(Screen& screen, int row, int column, const QString& text)
{
    draw(screen, markupLine(row, column, text));
}
