#pragma once

#include "framework/rawdata/PacketIdentifier.h"

#include <QByteArray>
#include <QString>

// Builds one whole frame for the engineer to replay; on bad input the frame
// is empty and error says why.
QByteArray frameFromJson(const QByteArray& jsonText, QString& error);
QByteArray frameFromHexPayload(PacketIdentifier id, quint16 source, const QByteArray& hexText, QString& error);
