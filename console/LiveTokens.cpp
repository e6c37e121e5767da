#include "console/LiveTokens.h"

QString systemVoltageToken(int systemVoltage)
{
    if (systemVoltage < 0)
        return QStringLiteral("N/A");
    return QStringLiteral("%1").arg(systemVoltage / 1000.0, 0, 'f', 1);
}

QString activePowerSourceToken(int powerSource)
{
    // The lowest live input wins: it is the one the board draws from.
    if (powerSource & 1)
        return QStringLiteral("ACDC");
    if (powerSource & 2)
        return QStringLiteral("DC");
    if (powerSource & 4)
        return QStringLiteral("Batt");
    if (powerSource < 0)
        return QStringLiteral("N/A");
    return QString();
}

QString replaceLiveTokens(const QString& line, int systemVoltage, int powerSource)
{
    QString result = line;
    result.replace(QLatin1String("{SV}"), systemVoltageToken(systemVoltage));
    result.replace(QLatin1String("{APS}"), activePowerSourceToken(powerSource));
    return result;
}
