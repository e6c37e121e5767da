#include "framework/audio/ConsumerCategory.h"

#include "framework/audio/ChannelStatusBytes.h"

namespace Tessaly {

QString consumerCopyrightText(const uint32_t* csWords)
{
    return (channelStatusByte(csWords, 0) & 0x04) ? QStringLiteral("No copyright asserted")
                                                  : QStringLiteral("Copyright asserted");
}

QString consumerCategoryText(const uint32_t* csWords)
{
    const uint8_t code = channelStatusByte(csWords, 1);
    QString group;
    if (code == 0x00) {
        group = QStringLiteral("General");
    } else {
        // Bits 0..2 of the byte are the group bits as transmitted.
        switch (code & 0x07) {
        case 0x01: group = QStringLiteral("Laser optical"); break;
        case 0x02: group = QStringLiteral("Digital converter or signal processor"); break;
        case 0x03: group = QStringLiteral("Magnetic tape or disc"); break;
        case 0x04: group = QStringLiteral("Broadcast reception"); break;
        case 0x05: group = QStringLiteral("Musical instrument or microphone"); break;
        default: group = QStringLiteral("Other"); break;
        }
    }
    return QStringLiteral("0x%1 %2").arg(QString::number(code, 16).rightJustified(2, QLatin1Char('0')).toUpper(), group);
}

} // namespace Tessaly
