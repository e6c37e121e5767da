# The progress cases re-execute the test program for fresh process state.
foreach(test IN LISTS tests_platform_TESTS)
  if(test MATCHES "^FlashProgress\\.")
    set_tests_properties("${test}" PROPERTIES LABELS "unit;spawns")
  endif()
endforeach()
