#include "tools/rawframes/FrameText.h"

#include "framework/datacore/RawDataPacketFactory.h"
#include "framework/datacore/SerialisableDataPacket.h"
#include "framework/rawdata/RegistrationRawDataPacket.h"

#include <QHostAddress>

#include <QJsonDocument>
#include <QStringList>

QString describeFrame(qint64 offset, const RawDataPacket::Header& header)
{
    const char* name = RawDataPacketFactory::getClassName(header.packetIdentifier);
    return QStringLiteral("offset %1: 0x%2 %3, source %4, payload %5 bytes")
        .arg(offset)
        .arg(int(header.packetIdentifier), 4, 16, QChar('0'))
        .arg(QString::fromLatin1(name ? name : "unknown"))
        .arg(header.sourceInstanceIdentifier)
        .arg(header.payloadLength);
}

QString describeContent(const QByteArray& frame, const RawDataPacket::Header& header)
{
    const auto packet = RawDataPacketFactory::createPacket(frame, header);
    if (const auto* registration = dynamic_cast<const RegistrationRawDataPacket*>(packet.get())) {
        return QStringLiteral("  packet type 0x%1 to %2:%3\n")
            .arg(int(registration->getRawDataPacketID()), 4, 16, QChar('0'))
            .arg(QHostAddress(registration->getDstAddr()).toString())
            .arg(registration->getDstPort());
    }
    if (header.packetIdentifier != PID_SERIALISABLE_DATA)
        return QString();
    const auto* datacore = dynamic_cast<const SerialisableDataPacket*>(packet.get());
    if (!datacore)
        return QStringLiteral("  (payload too short for a datacore packet)\n");
    const QString text = QString::fromUtf8(QJsonDocument(datacore->jsonObject).toJson(QJsonDocument::Indented));
    QString indented;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        indented += QStringLiteral("  ") + line + '\n';
    return indented;
}

QString describeSkip(qint64 offset, qint64 count)
{
    return QStringLiteral("offset %1: skipped %2 bytes").arg(offset).arg(count);
}

QString describeSummary(qint64 frames, qint64 skippedBytes)
{
    return QStringLiteral("%1 frames, %2 bytes skipped").arg(frames).arg(skippedBytes);
}
