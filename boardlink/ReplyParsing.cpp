#include "boardlink/ReplyParsing.h"

#include <QStringList>

int parseDecimal(const QString& text)
{
    // toInt gives 0 for anything that is not a whole decimal integer in
    // range, which is exactly what a malformed reply must store.
    return text.trimmed().toInt(nullptr, 10);
}

int parseReplyValue(const QString& line)
{
    return parseDecimal(line.mid(2));
}

std::optional<int> parseRawFuelGaugeComment(const QString& line)
{
    if (!line.startsWith(QLatin1String("# getAnalogFuelGauge() =")))
        return std::nullopt;
    // Split at every single blank: a doubled blank makes an empty piece, so
    // only the firmware's exact layout yields five.
    const QStringList pieces = line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
    if (pieces.size() != 5)
        return std::nullopt;
    return parseDecimal(pieces[4]);
}
