#include "tests/boardtests/BoardTestFixture.h"

// initialize() opens the link itself.
class LinkInitialisation : public BoardTestFixture {
protected:
    LinkInitialisation() { manager.fd = -1; device.setReply('V', "V1.2"); bench("S14000"); manager.createLogFile(); }
};

TEST_F(LinkInitialisation, AStopWhileWaitingForTheVersionEndsWithoutAVerdict)
{
    device.setReply('V', "");
    manager.keyboardClosed = true;
    EXPECT_FALSE(manager.initialize(manager));
    EXPECT_EQ(device.sleeps, 0);
    EXPECT_FALSE(logText().contains("FAIL!!")) << logText().toStdString();
}
