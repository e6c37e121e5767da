#pragma once

#include "app/UnitTest.h"

#include <memory>
#include <vector>

// Tests run one after the other and judged together: the group passes only
// when every child passed.
class UnitTestGroup : public UnitTest {
public:
    explicit UnitTestGroup(const QString& title);
    ~UnitTestGroup() override;
    int run(TestManager& manager) override;
    void addUnitTest(std::shared_ptr<UnitTest> test);

    std::vector<std::shared_ptr<UnitTest>> children;
};
