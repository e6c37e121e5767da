#include "platform/KwPlatformAbstraction.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <memory>

using Tessaly::KwPlatformAbstraction;
using KwTypes::boardIdentity;

// Board ids are cached per process: each scenario starts a fresh one.
TEST(PlatformAbstraction, BoardPresenceFollowsBoardId)
{
    SimulatedHostUnit unit;
    unit.setBoardId(0, 70);
    unit.setBoardId(3, 2);
    unit.removeGpio(506);  // mezzanine unreadable
    IN_FRESH_PROCESS({
        std::unique_ptr<Tessaly::PlatformAbstractionInterface> platform = std::make_unique<KwPlatformAbstraction>();
        EXPECT_EQ(platform->getBoardId(boardIdentity::main), 70);
        EXPECT_EQ(platform->getBoardId(boardIdentity::mainEcn), 2);
        EXPECT_EQ(platform->getBoardId(boardIdentity::mezzanine), -1);
        EXPECT_EQ(platform->getBoardId(static_cast<boardIdentity>(4)), -1);
        EXPECT_EQ(platform->getBoardId(static_cast<boardIdentity>(-1)), -1);
        for (int which = -1; which <= 5; ++which) {
            const auto identity = static_cast<boardIdentity>(which);
            EXPECT_EQ(platform->hasBoard(identity), platform->getBoardId(identity) >= 0) << which;
        }
    });
}

TEST(PlatformAbstraction, LedPassesComponentsInOrder)
{
    SimulatedHostUnit unit;
    IN_FRESH_PROCESS({
        KwPlatformAbstraction platform;
        EXPECT_EQ(platform.setLED(KwTypes::ledRGB{255, 0, 128}, true), 0);
        EXPECT_EQ(unit.readFile("/sys/class/pwm/pwmchip2/pwm0/duty_cycle"), "254000");
        EXPECT_EQ(unit.readFile("/sys/class/pwm/pwmchip0/pwm0/duty_cycle"), "0");
        EXPECT_EQ(unit.readFile("/sys/class/pwm/pwmchip1/pwm0/duty_cycle"), "127000");
    });
}
