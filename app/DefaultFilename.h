#pragma once

#include <QDateTime>
#include <QString>

QString createDefaultFilename(const QString& serial, const QDateTime& now);
QString createDefaultFilename(const QString& serial);
