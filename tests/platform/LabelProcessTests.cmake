# Every case of these two programs runs in a re-executed child.
foreach(test IN LISTS tests_platform_process_TESTS tests_platform_sensors_TESTS)
  set_tests_properties("${test}" PROPERTIES LABELS "unit;spawns")
endforeach()
