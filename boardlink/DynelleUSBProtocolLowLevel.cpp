#include "boardlink/DynelleUSBProtocolLowLevel.h"

#include "boardlink/PosixSerialDevice.h"
#include "boardlink/ReplyParsing.h"
#include "logging/Report.h"

#include <QByteArray>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <string>

using Tessaly::SystemError;

int DynelleUSBProtocolLowLevel::writeFailureReports = 0;

namespace {

// After this many reported write failures a dead device stays quiet.
constexpr int maxWriteFailureReports = 5;

constexpr size_t readChunkSize = 32;

struct flock wholeFileLock(short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

// Shared body of the numeric reply handlers; the caller passes its own
// signature so that the report names the handler that got the line.
bool storeNumericReply(const QString& line, int& reading, const char* signature)
{
    if (line.size() <= 2) {
        Tessaly::report(spdlog::level::err, signature, ": ", " Expecting at least 3 chars in message \"", line, "\"");
        return false;
    }
    reading = parseReplyValue(line);
    return true;
}

} // namespace

DynelleUSBProtocolLowLevel::DynelleUSBProtocolLowLevel(SerialDevice& serialDevice, const char* path)
    : devicePath(path), device(serialDevice)
{
}

DynelleUSBProtocolLowLevel::DynelleUSBProtocolLowLevel()
    : DynelleUSBProtocolLowLevel(PosixSerialDevice::instance())
{
}

DynelleUSBProtocolLowLevel::~DynelleUSBProtocolLowLevel()
{
    if (fd != -1) {
        device.setLock(fd, wholeFileLock(F_UNLCK));
        device.close(fd);
    }
}

bool DynelleUSBProtocolLowLevel::initialize()
{
    return testPresenceOfUSBDevice() && openPort() && setTTY();
}

bool DynelleUSBProtocolLowLevel::testPresenceOfUSBDevice()
{
    if (device.stat(devicePath) == 0)
        return true;
    Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": ", devicePath, " Error ", SystemError::last());
    return false;
}

bool DynelleUSBProtocolLowLevel::openPort()
{
    if (fd != -1)
        return true;

    fd = device.open(devicePath, O_RDWR | O_NOCTTY | O_SYNC);
    if (fd == -1) {
        Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": Failed Opening \"", devicePath, "\": ",
                        SystemError::last().text());
        return false;
    }

    // Without waiting: if the instrument server holds the node, say so now.
    if (device.setLock(fd, wholeFileLock(F_WRLCK)) == -1) {
        Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": Couldnt get exclusive access \"", devicePath, "\": ",
                        SystemError::last().text());
        device.close(fd);
        fd = -1;
        return false;
    }
    return true;
}

bool DynelleUSBProtocolLowLevel::setTTY()
{
    struct termios attributes {};
    const char* failedCall = nullptr;
    if (device.tcgetattr(fd, attributes) != 0) {
        failedCall = " from tcgetattr: ";
    } else {
        attributes.c_iflag &= ~static_cast<tcflag_t>(IGNBRK);
        attributes.c_oflag = 0;
        attributes.c_lflag = 0;
        // Reads return at once with whatever is there, so a poll never blocks.
        attributes.c_cc[VMIN] = 0;
        attributes.c_cc[VTIME] = 0;
        if (device.tcsetattr(fd, TCSANOW, attributes) != 0)
            failedCall = " from tcsetattr: ";
    }
    if (!failedCall)
        return true;

    const SystemError error = SystemError::last();
    Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": ", error.number, failedCall, error.text());
    device.close(fd);
    fd = -1;
    return false;
}

bool DynelleUSBProtocolLowLevel::sendLine(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    const ssize_t written = device.write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (written != -1) {
        txByteCount += static_cast<int>(written);
        return true;
    }
    if (writeFailureReports < maxWriteFailureReports) {
        Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": ", " Error ", SystemError::last());
        ++writeFailureReports;
    }
    return false;
}

bool DynelleUSBProtocolLowLevel::fillReadQueue()
{
    char buffer[readChunkSize];
    for (;;) {
        const ssize_t count = device.read(fd, buffer, sizeof buffer);
        if (count == -1) {
            Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": ", "Read Error ", SystemError::last());
            return false;
        }
        rxByteCount += static_cast<int>(count);
        if (count == 0)
            return true;
        // A chunk counts as text only up to its first zero byte; the rest of
        // that chunk is dropped.
        const char* end = std::find(buffer, buffer + count, '\0');
        readQueue.insert(readQueue.end(), static_cast<const char*>(buffer), end);
    }
}

bool DynelleUSBProtocolLowLevel::servicePort()
{
    const bool ok = fillReadQueue();
    if (ok && !readQueue.empty())
        processReadQueueLines();
    return ok;
}

bool DynelleUSBProtocolLowLevel::processReadQueueLines()
{
    for (;;) {
        const auto lineFeed = std::find(readQueue.begin(), readQueue.end(), '\n');
        if (lineFeed == readQueue.end())
            return true;
        const std::string bytes(readQueue.begin(), lineFeed);
        const QString line = QString::fromLatin1(bytes.data(), static_cast<int>(bytes.size()));
        readQueue.erase(readQueue.begin(), lineFeed + 1);
        if (!line.isEmpty())
            processReceivedLine(line);
    }
}

bool DynelleUSBProtocolLowLevel::processReceivedLine(const QString& line)
{
    if (line.isEmpty())
        return true;

    using Handler = bool (DynelleUSBProtocolLowLevel::*)(const QString&);
    struct Route {
        char letter;
        Handler handler; // null: known, but nothing to do
    };
    static constexpr Route routes[] = {
        {'#', &DynelleUSBProtocolLowLevel::RXCommentData},
        {'A', &DynelleUSBProtocolLowLevel::RXAnalogFuelGauge},
        {'B', &DynelleUSBProtocolLowLevel::RXBatteryInterface},
        {'C', &DynelleUSBProtocolLowLevel::RXBatteryCapacity},
        {'D', nullptr},
        {'G', &DynelleUSBProtocolLowLevel::RXBatteryVoltage},
        {'H', nullptr},
        {'P', &DynelleUSBProtocolLowLevel::RXPowerSource},
        {'S', &DynelleUSBProtocolLowLevel::RXSystemVoltage},
        {'T', &DynelleUSBProtocolLowLevel::RXTimeToEmpty},
        {'V', &DynelleUSBProtocolLowLevel::RXVersion},
    };

    const QChar first = line[0];
    for (const Route& route : routes) {
        if (first == QLatin1Char(route.letter))
            return route.handler ? (this->*route.handler)(line) : true;
    }
    Tessaly::report(spdlog::level::info, Q_FUNC_INFO, ": \"", line, "\"");
    return true;
}

bool DynelleUSBProtocolLowLevel::RXAnalogFuelGauge(const QString& line)
{
    return storeNumericReply(line, analogFuelGauge, Q_FUNC_INFO);
}

bool DynelleUSBProtocolLowLevel::RXBatteryInterface(const QString& line)
{
    return storeNumericReply(line, batteryInterface, Q_FUNC_INFO);
}

bool DynelleUSBProtocolLowLevel::RXBatteryCapacity(const QString& line)
{
    return storeNumericReply(line, batteryCapacity, Q_FUNC_INFO);
}

bool DynelleUSBProtocolLowLevel::RXBatteryVoltage(const QString& line)
{
    return storeNumericReply(line, batteryVoltage, Q_FUNC_INFO);
}

bool DynelleUSBProtocolLowLevel::RXPowerSource(const QString& line)
{
    return storeNumericReply(line, powerSource, Q_FUNC_INFO);
}

bool DynelleUSBProtocolLowLevel::RXSystemVoltage(const QString& line)
{
    if (!storeNumericReply(line, systemVoltage, Q_FUNC_INFO))
        return false;
    if (systemVoltageMin == noReading || systemVoltageMin > systemVoltage)
        systemVoltageMin = systemVoltage;
    if (systemVoltageMax == noReading || systemVoltageMax < systemVoltage)
        systemVoltageMax = systemVoltage;
    return true;
}

bool DynelleUSBProtocolLowLevel::RXTimeToEmpty(const QString& line)
{
    return storeNumericReply(line, timeToEmpty, Q_FUNC_INFO);
}

bool DynelleUSBProtocolLowLevel::RXVersion(const QString& line)
{
    version = line;
    return true;
}

bool DynelleUSBProtocolLowLevel::RXCommentData(const QString& line)
{
    if (const auto raw = parseRawFuelGaugeComment(line))
        rawAnalogFuelGauge = *raw;
    return true;
}

void DynelleUSBProtocolLowLevel::resetSystemVoltageExtremes()
{
    systemVoltageMin = noReading;
    systemVoltageMax = noReading;
}
