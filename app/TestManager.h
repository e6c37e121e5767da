#pragma once

#include "boardtests/TestUSBProtocol.h"

#include <QFile>
#include <QString>

#include <memory>
#include <vector>

class Screen;
class UnitTest;
struct PanelLine;

// Controller of one interactive production-test run. Its first part is the
// board link, so the tests and the console read the board readings and call
// the link operations through the manager. It owns the tests, the console
// state and the results log file.
class TestManager : public TestUSBProtocol {
public:
    // Production wiring: the terminal, the real device node.
    explicit TestManager(bool skipVoltageCheck = false);
    // Any screen and device, for tests and simulations.
    TestManager(bool skipVoltageCheck, Screen& screen, SerialDevice& device,
                const char* devicePath = defaultDevicePath);
    ~TestManager() override;

    void addUnitTest(std::shared_ptr<UnitTest> test);
    void setLogFileLocation(const QString& location);
    void title(const QString& text);
    void show();
    int run();
    int nextIncompleteTest();
    int selectUnitTest();
    bool createLogFile();
    void log(const QString& text);
    void logUnitTestResults();
    void debugDynelle();

    // Console.
    void initDisplay();
    void closeDisplay();
    void detail(const QString& text);
    void updatePrompt(const QString& text);
    void showTestDisplay();
    int getLowerCh();
    int prompt(const QString& text);
    void showTestSummary();
    QString enterBoardSerialNumber();

    // Debug screen and its panels.
    void showDebugDisplay();
    void showSystemVoltage();
    void showBatteryVoltage();
    void showAnalogFuelGauge();
    void showBatteryCapacity();
    void showTimeToEmpty();
    void showPowerSource();
    void showProtocols();

    static constexpr int promptLineCount = 2;
    static constexpr int detailLineCount = 15;

    QString logFileLocation{"/tmp/log.txt"};
    QFile logFile;
    bool displayInitialised = false;
    QString boardSerialNumber;
    QString promptLines[promptLineCount];
    QString detailLines[detailLineCount];
    QString screenTitle;
    int currentTest = -1;
    int testDisplayActive = 1;
    std::vector<std::shared_ptr<UnitTest>> unitTests;
    bool skipVoltageCheck;

    // The keyboard input has ended, or a stop signal arrived: every wait
    // ends as if the operator had pressed Q, and the run ends with -1.
    bool stopRequested() const;
    bool keyboardClosed = false;
    // The first failure to write the results log, as the system words it.
    QString logWriteError;

private:
    // Flushes the results log to the disk; false (and says so on standard
    // error) when any write to it failed.
    bool finishLogFile();
    // The end of every run that opened its log: console closed, result lines logged.
    int endRun(int result);
    // A key, or Screen::resized; Screen::inputClosed once nobody will answer.
    int waitForKey();
    void drawScreen(const std::vector<PanelLine>& panel);

    Screen& screen;
};
