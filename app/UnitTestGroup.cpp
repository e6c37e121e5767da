#include "app/UnitTestGroup.h"

UnitTestGroup::UnitTestGroup(const QString& title)
    : UnitTest(title)
{
}

UnitTestGroup::~UnitTestGroup() = default;

void UnitTestGroup::addUnitTest(std::shared_ptr<UnitTest> test)
{
    children.push_back(std::move(test));
}

int UnitTestGroup::run(TestManager& manager)
{
    state = NotRun;
    unsigned passedCount = 0;
    for (const auto& entry : children) {
        const std::shared_ptr<UnitTest> child = entry;
        const int result = child->run(manager);
        if (child->state == Passed)
            ++passedCount;
        if (result == Quit || result == Menu || result == Debug) {
            resultMessage = "Test Not Completed";
            return result;
        }
    }
    const auto total = static_cast<unsigned>(children.size());
    if (passedCount == total) {
        resultMessage = "PASSED: Test Completed";
        state = Passed;
    } else {
        resultMessage = QString("FAILED: %1 failed out of %2").arg(total - passedCount).arg(total);
        state = Failed;
    }
    return Next;
}
