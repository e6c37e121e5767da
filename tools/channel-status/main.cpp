// channel-status: decodes 24 channel-status bytes given in hex into the
// display texts, with the CRC computed from the bytes themselves.
#include "framework/audio/AudioChannelStatusDecoder.h"
#include "framework/audio/ChannelStatusCrc.h"
#include "framework/audio/ConsumerCategory.h"
#include "tools/channel-status/ChannelStatusInput.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

using namespace Tessaly;

namespace {

enum Exit { Clean = 0, UsageError = 1, Reported = 2 };

const char* const usage =
    "Usage: channel-status [--json] [HEX...]\n"
    "Decodes 24 channel-status bytes written in hex (48 digits, or 24 groups).\n"
    "Without bytes on the command line, or with '-', reads one block per line\n"
    "from standard input (blank lines and lines starting with '#' are skipped).\n"
    "  --json  one JSON object per block\n"
    "Exit status: 0 decoded cleanly, 1 usage or input error, 2 when a field is\n"
    "unrecognised ('?') or the CRC does not match.\n";

QString hex2(uint8_t value)
{
    return QStringLiteral("0x") + QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

// Decodes one block; returns whether it decoded cleanly.
bool decodeBlock(const ChannelStatusBytes& bytes, bool json)
{
    AudioProcessingRegisterApi::ChannelStatus cs{};
    const auto words = channelStatusWordsFromBytes(bytes);
    std::copy(words.begin(), words.end(), cs.csWords);
    cs.valid = 1;
    const bool professional = bytes[0] & 0x01;
    const ChannelStatusCrcCheck crc = checkChannelStatusCrc(cs.csWords);
    cs.crcError = professional && !crc.matches;

    const auto d = AudioChannelStatusDecoder::decodeAll(cs);
    std::vector<std::pair<const char*, QString>> fields = {
        {"status", d.status},
        {"profile", d.char0.profile},
        {"dataType", d.char0.dataType},
        {"preemphasis", d.char0.preemphasis},
        {"sourceLock", d.char0.sourceLock},
        {"frequency", d.char0.frequency},
        {"channelMode", d.char0.channelMode},
        {"wordLength", d.char0.wordLength},
        {"alignmentLevel", d.char0.alignmentLevel},
    };
    if (professional) {
        fields.insert(fields.end(), {{"origin", d.origin},
                                     {"destination", d.destination},
                                     {"sampleAddress", d.sampleAddress},
                                     {"timeOfDay", d.timeOfDay},
                                     {"reliability", d.reliability}});
    } else {
        fields.insert(fields.end(), {{"copyright", consumerCopyrightText(cs.csWords)},
                                     {"category", consumerCategoryText(cs.csWords)}});
    }
    bool clean = !(professional && !crc.matches);
    for (const auto& field : fields)
        clean = clean && field.second != QLatin1String("?");

    const QString crcVerdict = !professional ? QStringLiteral("not used in the consumer format")
                               : crc.matches ? QStringLiteral("computed %1, received %2: match").arg(hex2(crc.computed), hex2(crc.received))
                                             : QStringLiteral("computed %1, received %2: MISMATCH").arg(hex2(crc.computed), hex2(crc.received));
    if (json) {
        QJsonObject object;
        for (const auto& field : fields)
            object.insert(QLatin1String(field.first), field.second);
        QJsonObject crcObject{{"computed", hex2(crc.computed)}, {"received", hex2(crc.received)}, {"matches", crc.matches}};
        if (professional)
            object.insert(QStringLiteral("crc"), crcObject);
        object.insert(QStringLiteral("clean"), clean);
        std::cout << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
    } else {
        for (const auto& field : fields)
            std::cout << field.first << ": " << printableText(field.second) << '\n';
        std::cout << "crc: " << crcVerdict.toStdString() << '\n';
    }
    return clean;
}

} // namespace

int main(int argc, char** argv)
{
    bool json = false;
    std::string hex;
    bool fromStdin = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--json")) {
            json = true;
        } else if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
            std::cout << usage;
            return Clean;
        } else if (!std::strcmp(argv[i], "-")) {
            fromStdin = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::cerr << "channel-status: unknown option " << argv[i] << '\n' << usage;
            return UsageError;
        } else {
            hex += std::string(hex.empty() ? "" : " ") + argv[i];
        }
    }
    if (!hex.empty() && fromStdin) {
        std::cerr << "channel-status: give the bytes or '-', not both\n" << usage;
        return UsageError;
    }

    std::string error;
    if (!hex.empty()) {
        const auto bytes = parseChannelStatusHex(hex, error);
        if (!bytes) {
            std::cerr << "channel-status: " << error << '\n';
            return UsageError;
        }
        return decodeBlock(*bytes, json) ? Clean : Reported;
    }

    int status = Clean;
    bool first = true;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
            continue;
        const auto bytes = parseChannelStatusHex(line, error);
        if (!bytes) {
            std::cerr << "channel-status: line " << number << ": " << error << '\n';
            status = UsageError;
            continue;
        }
        if (!json)
            std::cout << (first ? "" : "\n") << "# line " << number << '\n';
        first = false;
        if (!decodeBlock(*bytes, json) && status == Clean)
            status = Reported;
    }
    return status;
}
