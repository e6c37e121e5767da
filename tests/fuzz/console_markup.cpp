// Any instruction text, any readings, any terminal size: the live tokens are
// filled in and the line drawn with asterisk markup on a screen that refuses
// every write starting outside it, as the terminal library does, and checks
// what the console asks of it: only the line's own row, never a negative
// column, never an asterisk shown, bold off again at the end of the line.

#include "console/LiveTokens.h"
#include "console/Markup.h"
#include "console/Screen.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, int row, int column)
{
    std::fprintf(stderr, "console_markup: %s at row %d, column %d\n", what, row, column);
    std::abort();
}

class BoundedScreen : public Screen {
public:
    BoundedScreen(int rows, int columns, int lineRow)
        : rows(rows), columns(columns), lineRow(lineRow), cells(static_cast<size_t>(rows * columns), ' ')
    {
    }

    void start() override {}
    void stop() override {}
    void erase() override {}
    void refresh() override {}
    void attributeOn(int attributes) override { current |= attributes; }
    void attributeOff(int attributes) override { current &= ~attributes; }
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
        // Past the right edge the terminal takes nothing.
        for (char byte : bytes) {
            if (column >= columns)
                break;
            cells.at(static_cast<size_t>(row * columns + column)) = byte;
            ++column;
        }
    }
    void setEcho(bool) override {}
    void setKeyWait(bool) override {}
    int readKey() override { return noKey; }

    int attributes() const { return current; }

private:
    int rows;
    int columns;
    int lineRow;
    int current = 0;
    std::vector<char> cells;
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

    BoundedScreen screen(rows, columns, row);
    printMarkup(screen, row, column, replaceLiveTokens(text, systemVoltage, powerSource));
    if (screen.attributes() & Screen::Bold)
        fail("bold left on after the line", row, column);
    return 0;
}
