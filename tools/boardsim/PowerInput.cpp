#include "PowerInput.h"

void PowerInput::setVoltage(int millivolts)
{
    const int from = voltageMv;
    voltageMv = millivolts;
    if (millivolts > from) {
        // Rising: the lower edge can switch the input on before the upper
        // edge switches it off again on the same sweep.
        if (!isLive && from < liveRisingMv && millivolts >= liveRisingMv)
            isLive = true;
        if (isLive && millivolts >= deadRisingMv)
            isLive = false;
    } else if (millivolts < from) {
        if (!isLive && from > liveFallingMv && millivolts <= liveFallingMv)
            isLive = true;
        if (isLive && millivolts <= deadFallingMv)
            isLive = false;
    }
}
