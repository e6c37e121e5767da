#include "app/DischargeLog.h"

#include "boardlink/DynelleUSBProtocolLowLevel.h"

#include <unistd.h>

#include <ctime>

int runDischargeLog(DynelleUSBProtocolLowLevel& link, std::FILE* out)
{
    if (!link.initialize()) {
        std::fputs("Cant Initialise interface\n", out);
        std::fflush(out);
        return -1;
    }
    // Every line is flushed: the output is usually redirected to a file and
    // the run ended with Ctrl-C, which must not cost the end of the curve.
    std::fputs("delta,batteryCapacity,analogFuelGauge,rawAnalogFuelGauge\n", out);
    std::fflush(out);
    const std::time_t start = std::time(nullptr);
    int lastCapacity = -100;
    int lastFuelGauge = -100;
    for (;;) {
        link.sendLine("D 41\n");
        link.sendLine("A\n");
        link.sendLine("V\n");
        link.sendLine("C\n");
        ::sleep(1);
        link.servicePort();
        if (link.analogFuelGauge != lastFuelGauge || link.batteryCapacity != lastCapacity) {
            std::fprintf(out, "%d,%d,%d,%d\n", static_cast<int>(std::time(nullptr) - start), link.batteryCapacity,
                         link.analogFuelGauge, link.rawAnalogFuelGauge);
            std::fflush(out);
            lastCapacity = link.batteryCapacity;
            lastFuelGauge = link.analogFuelGauge;
        }
    }
}
