// Any instruction text, any readings, any terminal size: the live tokens are
// filled in and the line drawn with asterisk markup, checked write by write.

#include "console/LiveTokens.h"
#include "console/Markup.h"
#include "console/Screen.h"
#include "tests/fuzz/Check.h"
#include "tests/support/ScriptedScreen.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// Checks each write; the rest of the terminal is the unit tests' stand-in.
class LineScreen : public ScriptedScreen {
public:
    explicit LineScreen(int lineRow) : lineRow(lineRow) {}

    void write(int row, int column, const QByteArray& bytes) override
    {
        check(row == lineRow, "a write on the line's own row");
        check(column >= 0, "a write at a column on the screen");
        check(!bytes.contains('*'), "no markup asterisk shown");
    }

private:
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

    LineScreen screen(row);
    printMarkup(screen, row, column, replaceLiveTokens(text, systemVoltage, powerSource));
    check(!(screen.currentAttributes & Screen::Bold), "bold off after the line");
    return 0;
}
