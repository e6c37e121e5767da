#pragma once

#include "framework/rawdata/RawDataPacket.h"

#include <QByteArray>
#include <QString>

// The line printed for one frame: offset, identifier with class name,
// source instance and payload length.
QString describeFrame(qint64 offset, const RawDataPacket::Header& header);
// Indented lines under the frame line: a datacore packet's JSON, or what a
// registration asks for; empty for other packet types.
QString describeContent(const QByteArray& frame, const RawDataPacket::Header& header);
QString describeSkip(qint64 offset, qint64 count);
QString describeSummary(qint64 frames, qint64 skippedBytes);
