// Any instruction text, any readings, any terminal size: the live tokens are
// filled in and the line drawn with asterisk markup on a screen that refuses
// every write starting outside it, as the terminal library does, and checks
// what the console asks of it: only the line's own row, never a negative
// column, never an asterisk shown, bold off again at the end of the line.

#include "console/LiveTokens.h"
#include "console/Markup.h"
#include "console/Screen.h"
#include "tests/support/ScriptedScreen.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, int row, int column)
{
    std::fprintf(stderr, "console_markup: %s at row %d, column %d\n", what, row, column);
    std::abort();
}

// Checks each write; the rest of the terminal is the unit tests' stand-in.
class BoundedScreen : public ScriptedScreen {
public:
    BoundedScreen(int rows, int lineRow) : rows(rows), lineRow(lineRow) {}

    void write(int row, int column, const QByteArray& bytes) override
    {
        if (row < 0 || row >= rows)
            fail("write outside the screen", row, column);
        if (row != lineRow)
            fail("write off the line's row", row, column);
        if (column < 0)
            fail("write left of the screen", row, column);
        if (bytes.contains('*'))
            fail("markup asterisk shown", row, column);
    }

private:
    int rows;
    int lineRow;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int rows = input.ConsumeIntegralInRange<int>(1, 60);
    const int columns = input.ConsumeIntegralInRange<int>(1, 300);
    const int row = input.ConsumeIntegralInRange<int>(0, rows - 1);
    const int column = input.ConsumeIntegralInRange<int>(0, columns - 1);
    const int systemVoltage = input.ConsumeIntegral<int>();
    const int powerSource = input.ConsumeIntegral<int>();
    const bool utf8 = input.ConsumeBool();
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const int length = static_cast<int>(bytes.size());
    const QString text = utf8 ? QString::fromUtf8(bytes.data(), length) : QString::fromLatin1(bytes.data(), length);

    BoundedScreen screen(rows, row);
    printMarkup(screen, row, column, replaceLiveTokens(text, systemVoltage, powerSource));
    if (screen.currentAttributes & Screen::Bold)
        fail("bold left on after the line", row, column);
    return 0;
}
