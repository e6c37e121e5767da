#include "platform/KwPlatformAbstraction.h"
#include "tests/platform/FreshProcess.h"
#include "tests/platform/SimulatedHostUnit.h"

#include <gtest/gtest.h>

#include <memory>

using KwTypes::boardIdentity;

TEST(PlatformAbstraction, BoardPresenceFollowsBoardIdAndLedOrder)
{
    IN_FRESH_PROCESS({
        SimulatedHostUnit unit;
        unit.setBoardId(0, 70);
        unit.remove(unit.gpio(506));  // mezzanine unreadable
        std::unique_ptr<Tessaly::PlatformAbstractionInterface> platform =
            std::make_unique<Tessaly::KwPlatformAbstraction>();
        EXPECT_EQ(platform->getBoardId(boardIdentity::main), 70);
        EXPECT_EQ(platform->getBoardId(boardIdentity::mezzanine), -1);
        for (int which = -1; which <= 5; ++which) {
            const auto identity = static_cast<boardIdentity>(which);
            EXPECT_EQ(platform->hasBoard(identity), which == 0 || which == 2 || which == 3) << which;
        }
        EXPECT_EQ(platform->setLED(KwTypes::ledRGB{255, 0, 128}, true), 0);
        EXPECT_EQ(unit.read("sys/class/pwm/pwmchip2/pwm0/duty_cycle"), "254000");
        EXPECT_EQ(unit.read("sys/class/pwm/pwmchip0/pwm0/duty_cycle"), "0");
        EXPECT_EQ(unit.read("sys/class/pwm/pwmchip1/pwm0/duty_cycle"), "127000");
    });
}
