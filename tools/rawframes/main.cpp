// rawframes: lists the raw data packet frames of a byte stream or capture,
// and writes single frames for a test bench to replay.

#include "tools/rawframes/FrameScanner.h"
#include "tools/rawframes/FrameText.h"
#include "tools/rawframes/FrameWriter.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

const char* const usageLines[] = {
    "Usage: rawframes [read] FILE|-          list the frames of a stream or capture ('-' reads standard input)",
    "       rawframes json OBJECT            write a datacore (0x1010) frame holding the JSON object",
    "       rawframes hex ID PAYLOAD [SOURCE]",
    "                                        write a frame of type ID (e.g. 0x1011) with the hexadecimal payload",
    "OBJECT or PAYLOAD '-' is read from standard input.",
    "Frames are written to standard output; redirect it to a file or a socket tool.",
};

int usage(FILE* out, int status)
{
    for (const char* line : usageLines)
        std::fprintf(out, "%s\n", line);
    return status;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "rawframes: %s\n", message.toLocal8Bit().constData());
    return 1;
}

void print(const QString& text) { std::fputs(text.toUtf8().constData(), stdout); }

int readFrames(const QString& name)
{
    QFile input;
    const bool opened = name == QLatin1String("-") ? input.open(stdin, QIODevice::ReadOnly)
                                                    : (input.setFileName(name), input.open(QIODevice::ReadOnly));
    if (!opened)
        return fail(QStringLiteral("cannot open %1: %2").arg(name, input.errorString()));

    FrameScanner scanner(
        [](qint64 offset, const RawDataPacket::Header& header, const QByteArray& frame) {
            print(describeFrame(offset, header) + '\n' + describeContent(frame, header));
        },
        [](qint64 offset, qint64 count) { print(describeSkip(offset, count) + '\n'); });
    constexpr qint64 chunkSize = 64 * 1024;
    for (;;) {
        const QByteArray chunk = input.read(chunkSize);
        if (chunk.isEmpty())
            break;
        scanner.feed(chunk);
    }
    scanner.finish();
    print(describeSummary(scanner.frameCount(), scanner.skippedBytes()) + '\n');
    std::fflush(stdout);
    return 0;
}

int writeFrame(const QByteArray& frame, const QString& error)
{
    if (frame.isEmpty())
        return fail(error);
    if (std::fwrite(frame.constData(), 1, size_t(frame.size()), stdout) != size_t(frame.size())
        || std::fflush(stdout) != 0)
        return fail(QStringLiteral("cannot write the frame to standard output"));
    return 0;
}

// An argument, or standard input for "-".
QByteArray argumentText(const QString& arg)
{
    if (arg != QLatin1String("-"))
        return arg.toUtf8();
    QFile input;
    return input.open(stdin, QIODevice::ReadOnly) ? input.readAll() : QByteArray();
}

bool parseNumber(const QString& text, quint16& value)
{
    bool ok = false;
    const uint number = text.toUInt(&ok, 0);
    value = quint16(number);
    return ok && number <= 0xFFFF;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty())
        return usage(stderr, 1);
    const QString command = args.first();
    if (command == QLatin1String("-h") || command == QLatin1String("--help"))
        return usage(stdout, 0);

    QString error;
    if (command == QLatin1String("json") && args.size() == 2)
        return writeFrame(frameFromJson(argumentText(args[1]), error), error);
    if (command == QLatin1String("hex") && (args.size() == 3 || args.size() == 4)) {
        quint16 id = 0, source = 0;
        if (!parseNumber(args[1], id))
            return fail(QStringLiteral("not a packet identifier: %1").arg(args[1]));
        if (args.size() == 4 && !parseNumber(args[3], source))
            return fail(QStringLiteral("not a source instance (0..65535): %1").arg(args[3]));
        return writeFrame(frameFromHexPayload(id, source, argumentText(args[2]), error), error);
    }
    if (command == QLatin1String("read") && args.size() == 2)
        return readFrames(args[1]);
    if (args.size() == 1 && command != QLatin1String("json") && command != QLatin1String("hex")
        && command != QLatin1String("read"))
        return readFrames(command);
    return usage(stderr, 1);
}
