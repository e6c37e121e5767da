#include "console/SerialEntry.h"

#include "console/Markup.h"

namespace {

constexpr int backspace = 8;
constexpr int deleteKey = 127;
constexpr int cursesBackspace = 0407;

bool continuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

bool blank(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f';
}

} // namespace

QByteArray editedLine(const QByteArray& line, int key)
{
    if (key == backspace || key == deleteKey || key == cursesBackspace) {
        int end = line.size();
        while (end > 0 && continuationByte(line[end - 1]))
            --end;
        return line.left(end > 0 ? end - 1 : 0);
    }
    if (key < 0x20 || key > 0xff || key == deleteKey || line.size() >= maxTypedBytes)
        return line;
    return line + static_cast<char>(key);
}

bool endsLine(int key)
{
    return key == '\n' || key == '\r';
}

QString serialNumberFromLine(const QByteArray& line)
{
    int start = 0;
    while (start < line.size() && blank(line[start]))
        ++start;
    int end = start;
    while (end < line.size() && !blank(line[end]))
        ++end;
    if (end - start > maxSerialBytes) {
        end = start + maxSerialBytes;
        while (end > start && continuationByte(line[end]))
            --end;
    }
    const QString serial = QString::fromUtf8(line.mid(start, end - start));
    return serial.isEmpty() ? QStringLiteral("Unassigned") : serial;
}

Panel serialEntryPanel(const QByteArray& typed)
{
    // The typed text comes last, so the cursor stands after it.
    return {
        PanelLine{14, 10, "Enter TR417 PCB Serial No: " + typed, 0},
    };
}

Panel serialConfirmationPanel(const QByteArray& typed, const QString& serial)
{
    return {
        PanelLine{14, 10, "Enter TR417 PCB Serial No: " + typed, 0},
        PanelLine{16, 10, consoleBytes(QStringLiteral("You Entered \"%1\"").arg(serial)), 0},
        PanelLine{18, 10, "Is that correct? (Y/n): ", 0},
    };
}
