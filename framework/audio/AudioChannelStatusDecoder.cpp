#include "framework/audio/AudioChannelStatusDecoder.h"

#include "framework/audio/ChannelStatusBytes.h"

#include <QStringList>

namespace Tessaly {

namespace {

uint8_t byteAt(const uint32_t* cs, int k)
{
    return channelStatusByte(cs, k);
}

// Four bytes taken as characters of their own code; filled at once so that
// a '%' among them is never read as a placeholder.
QString fourCharacters(const uint32_t* cs, int first)
{
    QString text(4, QChar());
    for (int i = 0; i < 4; ++i)
        text[i] = QChar(ushort(byteAt(cs, first + i)));
    return text;
}

QString hexByte(uint8_t value)
{
    return QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}


// Word-length codes, professional (byte 2 AND 0x38) and consumer
// (byte 4 AND 0x0E) in the same row; 0 means not indicated.
constexpr struct {
    int professional;
    int consumer;
    int forMax24;
    int forMax20;
} kLengthCodes[] = {
    {0x28, 0x0A, 24, 20}, {0x20, 0x08, 23, 19}, {0x10, 0x04, 22, 18},
    {0x30, 0x0C, 21, 17}, {0x08, 0x02, 20, 16}, {0x00, 0x00, 0, 0},
};

QString wordLengthText(int code, bool professional, int maximum)
{
    for (const auto& row : kLengthCodes) {
        if ((professional ? row.professional : row.consumer) != code)
            continue;
        if (code == 0)
            return QStringLiteral("Default (%1)/%2").arg(maximum).arg(maximum);
        return QStringLiteral("%1/%2").arg(maximum == 24 ? row.forMax24 : row.forMax20).arg(maximum);
    }
    return QStringLiteral("?");
}

QString microSecondsEmphasis()
{
    return QStringLiteral("50/15 ") + QChar(0x00B5) + QStringLiteral("s");
}

} // namespace

AudioChannelStatusDecoder::DecodedCs AudioChannelStatusDecoder::decodeAll(const ChannelStatus& cs)
{
    return (byteAt(cs.csWords, 0) & 0x01) ? decodeAllProfessional(cs) : decodeAllConsumer(cs);
}

AudioChannelStatusDecoder::DecodedCs AudioChannelStatusDecoder::decodeAllProfessional(const ChannelStatus& cs)
{
    DecodedCs out;
    out.status = getStatus(cs, true);
    decodeChar0Professional(cs.csWords, out.char0);
    out.origin = getOriginFromCSBytes(cs.csWords);
    out.destination = getDestinationFromCSBytes(cs.csWords);
    out.sampleAddress = getSampleAddrFromCSBytes(cs.csWords);
    out.timeOfDay = getSamplesSinceMidnightFromCSBytes(cs.csWords);
    out.reliability = getReliabilityFromCSBytes(cs.csWords);
    return out;
}

AudioChannelStatusDecoder::DecodedCs AudioChannelStatusDecoder::decodeAllConsumer(const ChannelStatus& cs)
{
    DecodedCs out;
    out.status = getStatus(cs, false);
    out.char0.profile = QStringLiteral("Consumer");
    out.char0.dataType = getDataTypeFromCSBytes(cs.csWords);
    out.char0.preemphasis = getPreemphasisFromCSBytesConsumer(cs.csWords);
    out.char0.sourceLock = QStringLiteral("N/A");
    out.char0.frequency = getFrequencyFromCSBytesConsumer(cs.csWords);
    out.char0.channelMode = getChannelModeFromCSBytesConsumer(cs.csWords);
    out.char0.wordLength = getWordLengthFromCSBytesConsumer(cs.csWords);
    out.char0.alignmentLevel = QStringLiteral("N/A");
    return out;
}

void AudioChannelStatusDecoder::decodeChar0Professional(const uint32_t* cs, DecodedCs::Char0& out)
{
    out.profile = QStringLiteral("Pro");
    out.dataType = getDataTypeFromCSBytes(cs);
    out.preemphasis = getPreemphasisFromCSBytesProfessional(cs);
    out.sourceLock = getSourceLockFromCSBytes(cs);
    out.frequency = getFrequencyFromCSBytesProfessional(cs);
    out.channelMode = getChannelModeFromCSBytesProfessional(cs);
    out.wordLength = getWordLengthFromCSBytesProfessional(cs);
    out.alignmentLevel = getAlignmentLevelFromCSBytes(cs);
}

QString AudioChannelStatusDecoder::getStatus(const ChannelStatus& cs, bool crcUsed)
{
    if (crcUsed && cs.crcError != 0)
        return QStringLiteral("CRCC Bad");
    if (cs.valid == 1)
        return crcUsed ? QStringLiteral("CRCC Ok") : QStringLiteral("No CRC");
    return QStringLiteral("Invalid");
}

QString AudioChannelStatusDecoder::getDataTypeFromCSBytes(const uint32_t* cs)
{
    return (byteAt(cs, 0) & 0x02) ? QStringLiteral("Non-PCM") : QStringLiteral("PCM");
}

QString AudioChannelStatusDecoder::getPreemphasisFromCSBytesProfessional(const uint32_t* cs)
{
    switch (byteAt(cs, 0) & 0x1C) {
    case 0x00: return QStringLiteral("Unknown");
    case 0x04: return QStringLiteral("None");
    case 0x0C: return microSecondsEmphasis();
    case 0x1C: return QStringLiteral("ITU-T J.17");
    default: return QStringLiteral("?");
    }
}

QString AudioChannelStatusDecoder::getPreemphasisFromCSBytesConsumer(const uint32_t* cs)
{
    switch (byteAt(cs, 0) & 0x38) {
    case 0x00: return QStringLiteral("None");
    case 0x08: return microSecondsEmphasis();
    default: return QStringLiteral("?");
    }
}

QString AudioChannelStatusDecoder::getSourceLockFromCSBytes(const uint32_t* cs)
{
    return (byteAt(cs, 0) & 0x20) ? QStringLiteral("Unlocked") : QStringLiteral("Locked");
}

QString AudioChannelStatusDecoder::getFrequencyFromCSBytesProfessional(const uint32_t* cs)
{
    double kHz = 0;
    switch (byteAt(cs, 0) & 0xC0) {
    case 0x80: kHz = 48; break;
    case 0x40: kHz = 44.1; break;
    case 0xC0: kHz = 32; break;
    default:
        switch (byteAt(cs, 4) & 0x7C) {
        case 0x08: kHz = 24; break;
        case 0x10: kHz = 96; break;
        case 0x18: kHz = 192; break;
        case 0x48: kHz = 22.05; break;
        case 0x50: kHz = 88.2; break;
        case 0x58: kHz = 176.4; break;
        default: return QStringLiteral("Unspecified");
        }
    }
    if (byteAt(cs, 4) & 0x80)
        kHz /= 1.001;
    return QString::number(kHz, 'g', 6);
}

QString AudioChannelStatusDecoder::getFrequencyFromCSBytesConsumer(const uint32_t* cs)
{
    switch (byteAt(cs, 3) & 0x0F) {
    case 0: return QStringLiteral("44.1");
    case 2: return QStringLiteral("48");
    case 3: return QStringLiteral("32");
    default: return QStringLiteral("?");
    }
}

QString AudioChannelStatusDecoder::getChannelModeFromCSBytesProfessional(const uint32_t* cs)
{
    switch (byteAt(cs, 1) & 0x0F) {
    case 0: return QStringLiteral("Unknown");
    case 8: return QStringLiteral("2 Channel");
    case 4: return QStringLiteral("1 Channel");
    case 12: return QStringLiteral("Pri-Sec");
    case 2: return QStringLiteral("Stereo");
    case 14:
    case 1:
    case 9: return QStringLiteral("1 Ch 2xFs");
    case 15: return QStringLiteral("Multichannel");
    default: return QStringLiteral("?");
    }
}

QString AudioChannelStatusDecoder::getChannelModeFromCSBytesConsumer(const uint32_t* cs)
{
    return (byteAt(cs, 0) & 0xC0) == 0 ? QStringLiteral("Mode 0") : QStringLiteral("?");
}

QString AudioChannelStatusDecoder::getWordLengthFromCSBytesProfessional(const uint32_t* cs)
{
    const uint8_t byte2 = byteAt(cs, 2);
    switch (byte2 & 0x07) {
    case 0: return QStringLiteral("Default (20)");
    case 6: return QStringLiteral("User");
    case 4: return wordLengthText(byte2 & 0x38, true, 24);
    case 2: return wordLengthText(byte2 & 0x38, true, 20);
    default: return QStringLiteral("?");
    }
}

QString AudioChannelStatusDecoder::getWordLengthFromCSBytesConsumer(const uint32_t* cs)
{
    const uint8_t byte4 = byteAt(cs, 4);
    return wordLengthText(byte4 & 0x0E, false, (byte4 & 0x01) ? 24 : 20);
}

QString AudioChannelStatusDecoder::getAlignmentLevelFromCSBytes(const uint32_t* cs)
{
    switch (byteAt(cs, 2) & 0xC0) {
    case 0x00: return QStringLiteral("Unknown");
    case 0x80: return QStringLiteral("-20");
    case 0x40: return QStringLiteral("-18.06");
    default: return QStringLiteral("?");
    }
}

QString AudioChannelStatusDecoder::getOriginFromCSBytes(const uint32_t* cs)
{
    return fourCharacters(cs, 6);
}

QString AudioChannelStatusDecoder::getDestinationFromCSBytes(const uint32_t* cs)
{
    return fourCharacters(cs, 10);
}

QString AudioChannelStatusDecoder::getSampleAddrFromCSBytes(const uint32_t* cs)
{
    QString text;
    for (int k = 14; k < 18; ++k)
        text += hexByte(byteAt(cs, k));
    return text;
}

QString AudioChannelStatusDecoder::getSamplesSinceMidnightFromCSBytes(const uint32_t* cs)
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(hexByte(byteAt(cs, 18)), hexByte(byteAt(cs, 19)), hexByte(byteAt(cs, 20)), hexByte(byteAt(cs, 21)));
}

QString AudioChannelStatusDecoder::getReliabilityFromCSBytes(const uint32_t* cs)
{
    const int unreliable = byteAt(cs, 22) >> 4;
    if (unreliable == 0)
        return QStringLiteral("All Ok");
    if (unreliable == 0x0F)
        return QStringLiteral("All Bad");
    static const char* const groups[] = {"Si", "Ch", "Sa", "Ti"};
    QStringList reliable;
    for (int bit = 0; bit < 4; ++bit)
        if (!(unreliable & (1 << bit)))
            reliable << QLatin1String(groups[bit]);
    return reliable.join(QLatin1Char(',')) + QStringLiteral(" - Ok");
}

} // namespace Tessaly
