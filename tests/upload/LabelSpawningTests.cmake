# Run by ctest after the discovered tests of tests_upload are defined.
foreach(test IN LISTS tests_upload_TESTS)
  if(test MATCHES "(^|/)(StandIn|CredentialsTool)")
    set_tests_properties("${test}" PROPERTIES LABELS "unit;spawns")
  endif()
endforeach()
