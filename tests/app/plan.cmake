# The built-in test plan, checked against literal tables.
dynelle_unit_tests(tests_plan ${CMAKE_CURRENT_LIST_DIR}/TestPlanTest.cpp)
target_link_libraries(tests_plan PRIVATE dynelle_app dynelle_test_support GTest::gtest_main)
