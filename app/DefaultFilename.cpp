#include "app/DefaultFilename.h"

QString createDefaultFilename(const QString& serial, const QDateTime& now)
{
    return QString("/home/transfer/log/dynelle_test_%1-%2.txt").arg(serial, now.toString("yyyyMMdd-HHmmss"));
}

QString createDefaultFilename(const QString& serial)
{
    return createDefaultFilename(serial, QDateTime::currentDateTime());
}
