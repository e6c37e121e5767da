#pragma once

#include <QString>

// Texts of the live tokens the test screen fills at every redraw.
QString systemVoltageToken(int systemVoltage);   // {SV}
QString activePowerSourceToken(int powerSource); // {APS}

// Replaces {SV}, then {APS}, in one instruction line.
QString replaceLiveTokens(const QString& line, int systemVoltage, int powerSource);
