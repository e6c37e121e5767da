#pragma once

#include <QString>

#include <optional>

// Value parsing for the board's reply lines, kept apart from the device so it
// can be checked on its own.

// A signed decimal integer, surrounding white space (carriage return
// included) ignored; anything else, or a value outside int, gives 0.
int parseDecimal(const QString& text);

// The value of a numeric reply: the text from the third character on (the
// letter and its separator are never looked at).
int parseReplyValue(const QString& line);

// The raw fuel-gauge figure from a "# getAnalogFuelGauge() = a b" comment
// line; nothing for any other comment or a line of another shape.
std::optional<int> parseRawFuelGaugeComment(const QString& line);
