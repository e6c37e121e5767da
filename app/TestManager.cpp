#include "app/TestManager.h"

#include "app/StopSignals.h"
#include "app/UnitTest.h"
#include "boardlink/PosixSerialDevice.h"
#include "console/ConsoleScreens.h"
#include "console/NcursesScreen.h"
#include "console/Screen.h"
#include "upload/ProductionArtifactsNexusRepo.h"

#include <QTextStream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>

namespace {

constexpr int quitChoice = -1;
constexpr int uploadChoice = -2;

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TestManager::TestManager(bool skipVoltageCheck)
    : TestManager(skipVoltageCheck, NcursesScreen::instance(), PosixSerialDevice::instance())
{
}

TestManager::TestManager(bool skipVoltageCheck, Screen& screen, SerialDevice& device, const char* devicePath)
    : TestUSBProtocol(device, devicePath), skipVoltageCheck(skipVoltageCheck), screen(screen)
{
}

TestManager::~TestManager()
{
    closeDisplay();
}

void TestManager::addUnitTest(std::shared_ptr<UnitTest> test)
{
    unitTests.push_back(std::move(test));
}

void TestManager::setLogFileLocation(const QString& location)
{
    logFileLocation = location;
}

void TestManager::title(const QString& text)
{
    screenTitle = text;
}

void TestManager::show()
{
    if (testDisplayActive)
        showTestDisplay();
    else
        showDebugDisplay();
}

int TestManager::run()
{
    if (!createLogFile())
        return -1;
    initDisplay();
    // Nobody left to answer: the board is not touched.
    if (stopRequested() || !initialize(*this))
        return endRun(-1);
    currentTest = 0;
    for (;;) {
        if (stopRequested())
            return endRun(-1);
        if (currentTest >= 0 && currentTest < static_cast<int>(unitTests.size())) {
            const int result = unitTests[static_cast<size_t>(currentTest)]->run(*this);
            if (result == Quit)
                return endRun(-1);
            if (result == Next) {
                showTestSummary();
                currentTest = nextIncompleteTest();
                continue;
            }
            if (result == Debug) {
                debugDynelle();
                continue;
            }
            if (result != Menu)
                continue;
        }
        const int choice = selectUnitTest();
        if (choice == quitChoice)
            return endRun(stopRequested() ? -1 : 0);
        if (choice == uploadChoice) {
            const int result = endRun(0);
            ProductionArtifactsNexusRepo repository;
            const QString targetDir = repository.generateTargetDir("TR417", boardSerialNumber, "dynelle_test");
            if (!repository.upload(logFileLocation, targetDir))
                std::cerr << "Nexus Upload Failed, are you connected to the network?\n";
            return result;
        }
        currentTest = choice;
    }
}

int TestManager::nextIncompleteTest()
{
    const auto incomplete = [this](int index) {
        const int state = unitTests[static_cast<size_t>(index)]->state;
        return state != Passed && state != Skipped;
    };
    const int count = static_cast<int>(unitTests.size());
    for (int i = currentTest + 1; i < count; ++i)
        if (incomplete(i))
            return i;
    // Wrap round, the test just run included, so a failed test is offered
    // again once everything after it is done.
    if (currentTest >= 0)
        for (int i = 0; i <= currentTest && i < count; ++i)
            if (incomplete(i))
                return i;
    return count;
}

int TestManager::selectUnitTest()
{
    initDisplay();
    screen.setEcho(true);
    screen.setKeyWait(true);
    std::vector<MenuEntry> entries;
    for (const auto& test : unitTests)
        entries.push_back(MenuEntry{test->getTestStateStr(), test->title});
    const Panel menu = menuPanel(entries);
    int result;
    for (;;) {
        drawScreen(menu);
        const int key = Screen::lowerCase(waitForKey());
        if (key == 'q' || key == Screen::inputClosed) {
            result = quitChoice;
            break;
        }
        if (key == 'u') {
            result = uploadChoice;
            break;
        }
        result = menuSelection(key);
        if (result >= 0)
            break;
    }
    screen.setKeyWait(false);
    screen.setEcho(false);
    return result;
}

bool TestManager::createLogFile()
{
    const QByteArray path = logFileLocation.toUtf8();
    // Opened without truncating and cut only once the lock is held, so that
    // a second run on the same file leaves the first run's log alone.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd != -1 && ::flock(fd, LOCK_EX | LOCK_NB) == -1 && errno == EWOULDBLOCK) {
        ::close(fd);
        closeDisplay();
        std::cerr << "The results log " << path.constData() << " is in use by another run" << std::endl;
        return false;
    }
    logFile.setFileName(logFileLocation);
    if (fd == -1 || !logFile.open(fd, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle)) {
        if (fd != -1)
            ::close(fd);
        // The operator must see this: the console goes first.
        closeDisplay();
        std::cerr << "Couldn't open the log file " << path.constData() << std::flush;
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::ftruncate(fd, 0) == -1)
        logWriteError = systemErrorText(errno);
    log("Dynelle Test Log\n");
    log("~~~~~~~~~~~~~~~~~~~~\n\n");
    char started[99];
    const std::time_t now = std::time(nullptr);
    std::strftime(started, sizeof started, "Tests Started: %H:%M %d/%m/%Y\n", std::localtime(&now));
    log(started);
    log(QString("Serial No: %1\n").arg(boardSerialNumber));
    return true;
}

void TestManager::log(const QString& text)
{
    // Flushed at once: the file must be complete whenever it is read or
    // uploaded, and nothing is lost if the run is cut short.
    QTextStream stream(&logFile);
    stream << text;
    stream.flush();
    if (stream.status() != QTextStream::Ok && logWriteError.isEmpty())
        logWriteError = logFile.errorString();
}

bool TestManager::finishLogFile()
{
    // These units lose power: the results must be on the disk when the run
    // ends. Files that cannot be synchronised (devices, pipes) say EINVAL.
    if (!logFile.flush() && logWriteError.isEmpty())
        logWriteError = logFile.errorString();
    if (logFile.isOpen() && ::fsync(logFile.handle()) == -1) {
        const int error = errno;
        if (error != EINVAL && error != EROFS && logWriteError.isEmpty())
            logWriteError = systemErrorText(error);
    }
    if (logWriteError.isEmpty())
        return true;
    closeDisplay();
    std::cerr << "Couldn't write the log file " << logFileLocation.toUtf8().constData() << ": "
              << logWriteError.toUtf8().constData() << std::endl;
    return false;
}

int TestManager::endRun(int result)
{
    closeDisplay();
    logUnitTestResults();
    return finishLogFile() ? result : -1;
}

bool TestManager::stopRequested() const
{
    return keyboardClosed || stopSignalReceived();
}

void TestManager::logUnitTestResults()
{
    for (const auto& test : unitTests)
        log(QString("%1 - %2\n").arg(test->getTestStateStr(), test->title));
}

void TestManager::debugDynelle()
{
    testDisplayActive = 0;
    resetSystemVoltageExtremes();
    show();
    while (getLowerCh() != 'y' && !stopRequested()) {
    }
    testDisplayActive = 1;
    show();
}
