#include "app/DefaultFilename.h"
#include "app/DischargeLog.h"
#include "app/RunLevel.h"
#include "app/StopSignals.h"
#include "app/TestManager.h"
#include "app/TestPlan.h"
#include "app/Usage.h"
#include "boardlink/DynelleUSBProtocolLowLevel.h"
#include "logging/Logging.h"

#include <QCoreApplication>

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

int runDischargeMode()
{
    DynelleUSBProtocolLowLevel link;
    return runDischargeLog(link, stdout);
}

int runProductionTest(bool skipVoltageCheck, const QString& requestedLogFile)
{
    QString logFileName;
    int result;
    {
        // Before the console is set up, so that the terminal library keeps
        // its own handlers out of the way.
        catchStopSignals();
        TestManager manager(skipVoltageCheck);
        const QString serial = manager.enterBoardSerialNumber();
        logFileName = requestedLogFile.isEmpty() ? createDefaultFilename(serial) : requestedLogFile;
        manager.setLogFileLocation(logFileName);
        populateTests(manager);
        result = manager.run();
        Tessaly::ceaseLogging();
        manager.closeDisplay(); // already closed on every path; what follows must stay readable
        std::cout << "Log filename: " << logFileName.toUtf8().constData() << std::endl;
    }
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    // Never enters its event loop; it lets the Qt classes (network access in
    // the upload above all) work.
    QCoreApplication application(argc, argv);

    if (!checkRunLevel())
        return -1;

    bool dischargeMode = false;
    bool skipVoltageCheck = false;
    QString logFileName;
    int option;
    while ((option = getopt(argc, argv, "spf:h?")) != -1) {
        switch (option) {
        case 's':
            skipVoltageCheck = true;
            break;
        case 'p':
            dischargeMode = true;
            break;
        case 'f':
            logFileName = QString::fromUtf8(optarg);
            break;
        default:
            printUsage(std::cerr);
            return 1;
        }
    }

    Tessaly::initLogging(true, "/home/transfer/log/");

    if (dischargeMode)
        return runDischargeMode();
    return runProductionTest(skipVoltageCheck, logFileName);
}
