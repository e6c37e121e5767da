#include "boardlink/ReplyParsing.h"

#include <QStringList>

#include <climits>

int parseDecimal(const QString& text)
{
    const QString value = text.trimmed();
    int position = 0;
    bool negative = false;
    if (position < value.size() && (value[position] == '+' || value[position] == '-')) {
        negative = value[position] == '-';
        ++position;
    }
    if (position == value.size())
        return 0;

    long long magnitude = 0;
    for (; position < value.size(); ++position) {
        const char16_t c = value[position].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return 0;
    }
    const long long result = negative ? -magnitude : magnitude;
    if (result > INT_MAX)
        return 0;
    return static_cast<int>(result);
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
