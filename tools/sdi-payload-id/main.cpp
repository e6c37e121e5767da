// Decodes SDI payload identifiers and builds them from field values.
#include "framework/sdi/PayloadIdentifierFactory.h"
#include "tools/sdi-payload-id/DecodeReport.h"
#include "tools/sdi-payload-id/IdentifierText.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QStringList>

#include <cstdio>

using namespace Tessaly::Sdi;
using namespace SdiPayloadIdTool;

namespace {

constexpr int exitClean = 0;
constexpr int exitUsage = 1;
constexpr int exitMessages = 2;

const char* const usageText =
    "Usage: sdi-payload-id [--json] [--as CLASS] WORD | BYTE1 BYTE2 BYTE3 BYTE4\n"
    "       sdi-payload-id [--json] [--as CLASS]          (identifiers from standard input, one a line)\n"
    "       sdi-payload-id [--json] --build CLASS FIELD=VALUE...\n"
    "       sdi-payload-id --list\n"
    "\n"
    "Decodes a four-byte SDI payload identifier: payload code and class, every field\n"
    "with its meaning, scan type, links, data rate and level, geometry, reserved bits\n"
    "and the checks of its interface standard.\n"
    "\n"
    "  WORD         32-bit hex word, byte 1 first: 0x89C98001 or 89C98001\n"
    "  BYTE1..4     the four bytes in hex: 89 C9 80 01 (also 89:C9:80:01)\n"
    "  --as CLASS   read with this class (name or payload code) whatever byte 1 says\n"
    "  --build      make the word of CLASS from field values, then decode it\n"
    "  --json       one JSON object per identifier, one a line\n"
    "  --list       the interface classes and their payload codes\n"
    "\n"
    "Fields: %1\n"
    "Exit status: 0 decoded cleanly, 1 usage error, 2 reserved bits or checks reported.\n";

void write(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

void complain(const QString& text) { std::fprintf(stderr, "sdi-payload-id: %s\n", text.toUtf8().constData()); }

int usageError(const QString& text)
{
    complain(text);
    std::fputs("Try 'sdi-payload-id --help'.\n", stderr);
    return exitUsage;
}

struct Options {
    bool json = false;
    bool list = false;
    const PayloadIdentifierClass* forcedClass = nullptr;
    const PayloadIdentifierClass* buildClass = nullptr;
    QStringList operands;
};

class Decoder {
public:
    Decoder(const Options& options) : options(options) {}

    // Decodes one word; returns whether it was clean.
    bool decode(unsigned int word)
    {
        std::shared_ptr<PayloadIdentifierBase> id;
        QString name;
        if (options.forcedClass) {
            id = options.forcedClass->make(word);
            name = QLatin1String(options.forcedClass->name);
        } else {
            id = makePayloadIdentifier(word);
            if (const auto* found = findPayloadIdentifierClass(QString::number(word >> 24)))
                name = QLatin1String(found->name);
        }
        const DecodeReport report = describeIdentifier(*id, name);
        if (options.json) {
            write(QString::fromUtf8(QJsonDocument(report.json).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
        } else {
            if (count++ > 0)
                write(QStringLiteral("\n"));
            write(report.text);
        }
        return report.clean;
    }

private:
    const Options& options;
    int count = 0;
};

int listClasses()
{
    for (const auto& entry : payloadIdentifierClasses()) {
        auto id = entry.make(static_cast<unsigned int>(entry.payloadCode) << 24);
        write(QStringLiteral("0x%1  %2  %3\n")
                  .arg(QString::number(entry.payloadCode, 16).toUpper())
                  .arg(QLatin1String(entry.name), -28)
                  .arg(id->interfaceDescription()));
    }
    return exitClean;
}

int build(const Options& options)
{
    const PayloadIdentifierClass& cls = *options.buildClass;
    unsigned int word = static_cast<unsigned int>(cls.payloadCode) << 24;
    const auto id = cls.make(word);
    for (const QString& assignment : options.operands) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return usageError(QStringLiteral("expected FIELD=VALUE, not \"%1\"").arg(assignment));
        const QString name = assignment.left(equals);
        const auto type = parseFieldName(name);
        if (!type || *type == PayloadIdentifierBase::FieldType::PayloadAndDigitalInterface)
            return usageError(QStringLiteral("unknown field \"%1\"").arg(name));
        const auto field = id->getFieldMap().find(*type);
        if (field == id->getFieldMap().end())
            return usageError(QStringLiteral("%1 has no field %2").arg(QLatin1String(cls.name), fieldKey(*type)));
        bool ok = false;
        const int value = assignment.mid(equals + 1).toInt(&ok, 0);
        if (!ok || !field->second.applyValueToPayloadIdentifierWord(word, value))
            return usageError(QStringLiteral("value \"%1\" does not fit field %2 (%3 bits)")
                                  .arg(assignment.mid(equals + 1), fieldKey(*type))
                                  .arg(field->second.width()));
    }
    Options decodeOptions = options;
    decodeOptions.forcedClass = options.buildClass;
    Decoder decoder(decodeOptions);
    return decoder.decode(word) ? exitClean : exitMessages;
}

// Reads one line of at most `limit` bytes; a longer line is consumed and
// reported as too long, so no input grows memory without bound.
enum class LineRead { Line, TooLong, End };

LineRead readLine(std::FILE* in, QByteArray& line, int limit)
{
    line.clear();
    bool tooLong = false;
    for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
        if (c == '\n')
            return tooLong ? LineRead::TooLong : LineRead::Line;
        if (line.size() < limit)
            line.append(static_cast<char>(c));
        else
            tooLong = true;
    }
    if (tooLong)
        return LineRead::TooLong;
    return line.isEmpty() ? LineRead::End : LineRead::Line;
}

int decodeStandardInput(const Options& options)
{
    constexpr int longestLine = 256;
    Decoder decoder(options);
    bool allClean = true;
    bool unreadable = false;
    QByteArray line;
    int number = 0;
    for (LineRead read = readLine(stdin, line, longestLine); read != LineRead::End;
         read = readLine(stdin, line, longestLine)) {
        ++number;
        if (read == LineRead::TooLong) {
            complain(QStringLiteral("line %1: longer than %2 bytes").arg(number).arg(longestLine));
            unreadable = true;
            continue;
        }
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const auto word = parseIdentifier(text);
        if (!word) {
            complain(QStringLiteral("line %1: cannot read \"%2\" as a 32-bit word or four hex bytes").arg(number).arg(text));
            unreadable = true;
            continue;
        }
        allClean = decoder.decode(*word) && allClean;
        std::fflush(stdout);
    }
    if (unreadable)
        return exitUsage;
    return allClean ? exitClean : exitMessages;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    Options options;
    while (!arguments.isEmpty() && arguments.front().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--help")) {
            write(QString::fromLatin1(usageText).arg(fieldKeyList()));
            return exitClean;
        }
        if (option == QLatin1String("--json")) {
            options.json = true;
        } else if (option == QLatin1String("--list")) {
            options.list = true;
        } else if (option == QLatin1String("--as") || option == QLatin1String("--build")) {
            if (arguments.isEmpty())
                return usageError(QStringLiteral("%1 needs a class").arg(option));
            const QString name = arguments.takeFirst();
            const PayloadIdentifierClass* cls = findPayloadIdentifierClass(name);
            if (!cls)
                return usageError(QStringLiteral("unknown class \"%1\" (see --list)").arg(name));
            (option == QLatin1String("--as") ? options.forcedClass : options.buildClass) = cls;
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(option));
        }
    }
    if (!arguments.isEmpty() && arguments.front() == QLatin1String("-h")) {
        write(QString::fromLatin1(usageText).arg(fieldKeyList()));
        return exitClean;
    }
    options.operands = arguments;

    if (options.list)
        return listClasses();
    if (options.buildClass)
        return build(options);
    if (options.operands.isEmpty())
        return decodeStandardInput(options);
    const auto word = parseIdentifier(options.operands.join(QLatin1Char(' ')));
    if (!word)
        return usageError(QStringLiteral("cannot read \"%1\" as a 32-bit word or four hex bytes")
                              .arg(options.operands.join(QLatin1Char(' '))));
    Decoder decoder(options);
    return decoder.decode(*word) ? exitClean : exitMessages;
}
