#include "app/UnitTest.h"

UnitTest::UnitTest(const QString& title)
    : title(title), state(NotRun), resultMessage("Test Not Run")
{
}

UnitTest::~UnitTest() = default;

void UnitTest::show(TestManager&)
{
}

const QString& UnitTest::getTestStateStr() const
{
    // Seven characters each so that menu and log columns line up.
    static const QString passed("PASSED ");
    static const QString failed("FAIL!! ");
    static const QString notRun("Not Run");
    static const QString skipped("SKIPPED");
    static const QString error("*ERROR*");
    switch (state) {
    case Passed: return passed;
    case Failed: return failed;
    case NotRun: return notRun;
    case Skipped: return skipped;
    default: return error;
    }
}
