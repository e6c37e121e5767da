#include "app/TestManager.h"

#include "app/UnitTest.h"
#include "boardlink/PosixSerialDevice.h"
#include "console/NcursesScreen.h"
#include "console/Screen.h"
#include "upload/ProductionArtifactsNexusRepo.h"

#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <iostream>

namespace {

const char selectorCharacters[] = "123456789abcdefghijklmnop";
constexpr int selectorCount = sizeof selectorCharacters - 1;
constexpr int quitChoice = -1;
constexpr int uploadChoice = -2;

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
    if (!initialize(*this)) {
        closeDisplay();
        logUnitTestResults();
        return -1;
    }
    currentTest = 0;
    for (;;) {
        if (currentTest >= 0 && currentTest < static_cast<int>(unitTests.size())) {
            const int result = unitTests[static_cast<size_t>(currentTest)]->run(*this);
            if (result == Quit) {
                closeDisplay();
                logUnitTestResults();
                return -1;
            }
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
        if (choice == quitChoice) {
            closeDisplay();
            logUnitTestResults();
            return 0;
        }
        if (choice == uploadChoice) {
            closeDisplay();
            logUnitTestResults();
            ProductionArtifactsNexusRepo repository;
            const QString targetDir = repository.generateTargetDir("TR417", boardSerialNumber, "dynelle_test");
            if (!repository.upload(logFileLocation, targetDir))
                std::cerr << "Nexus Upload Failed, are you connected to the network?\n";
            return 0;
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
    int result;
    for (;;) {
        screen.erase();
        screen.attributeOn(Screen::Bold);
        screen.write(0, 0, "Select Dynelle Test");
        screen.attributeOff(Screen::Bold);
        const int listed = std::min(static_cast<int>(unitTests.size()), selectorCount);
        for (int i = 0; i < listed; ++i) {
            const UnitTest& test = *unitTests[static_cast<size_t>(i)];
            screen.write(i + 2, 2,
                         QByteArray(1, selectorCharacters[i]) + ") " + test.getTestStateStr().toLatin1() + " - "
                             + test.title.toLatin1());
        }
        screen.write(23, 6, "Selection, (Q)uit, (U)pload and quit : ");
        screen.refresh();
        const int key = Screen::lowerCase(screen.readKey());
        if (key == 'q') {
            result = quitChoice;
            break;
        }
        if (key == 'u') {
            result = uploadChoice;
            break;
        }
        const char* selector = key > 0 && key <= 255 ? std::strchr(selectorCharacters, key) : nullptr;
        if (selector) {
            result = static_cast<int>(selector - selectorCharacters);
            break;
        }
    }
    screen.setKeyWait(false);
    screen.setEcho(false);
    return result;
}

bool TestManager::createLogFile()
{
    logFile.setFileName(logFileLocation);
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::cerr << "Couldn't open the log file " << logFileLocation.toUtf8().constData() << std::flush;
        return false;
    }
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
    while (getLowerCh() != 'y') {
    }
    testDisplayActive = 1;
    show();
}
