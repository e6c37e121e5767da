# Debian packages for the host unit (cpack in the armhf build): the test
# program, and the board simulator on its own for training units that run
# the program against a simulated board.
if(TARGET tr417_sim)
  install(TARGETS tr417_sim RUNTIME DESTINATION bin COMPONENT boardsim)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dynelle-test)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TR417 production test <production-test@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR MATCHES "^arm")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL dynelle_test boardsim unittools)

# The run-time libraries, named by their Debian 12 packages. They are listed
# here rather than found by dpkg-shlibdeps, which only knows the libraries of
# the build machine's own architecture; test-all.sh checks every library the
# binaries need against these lists.
set(CPACK_DEBIAN_DYNELLE_TEST_PACKAGE_NAME dynelle-test)
set(CPACK_COMPONENT_DYNELLE_TEST_DESCRIPTION
  "TR417 production test\nConsole program that tests a TR417 power-sharing board fitted to a TR250 unit, writes the results log and uploads it to the artifact repository.")
set(CPACK_DEBIAN_DYNELLE_TEST_PACKAGE_DEPENDS
  "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libqt5core5a (>= 5.15.8), libqt5network5 (>= 5.15.8), libspdlog1.10, libncursesw6 (>= 6.4), libtinfo6 (>= 6.4), libssl3 (>= 3.0.0)")

set(CPACK_DEBIAN_BOARDSIM_PACKAGE_NAME dynelle-test-boardsim)
set(CPACK_COMPONENT_BOARDSIM_DESCRIPTION
  "TR417 board simulator for training units\nAnswers the board's line protocol on a pseudo-terminal, so that the production test can be run without a board.")
set(CPACK_DEBIAN_BOARDSIM_PACKAGE_DEPENDS "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1")
set(CPACK_DEBIAN_BOARDSIM_PACKAGE_RECOMMENDS "dynelle-test")

set(CPACK_DEBIAN_UNITTOOLS_PACKAGE_NAME dynelle-unit-tools)
set(CPACK_COMPONENT_UNITTOOLS_DESCRIPTION
  "Host unit engineering tools\nFlash and identity tools for the TR250, decoders for SDI payload identifiers and audio channel status, instrument-server probe and stand-in, and the line yield report over results logs.")
set(CPACK_DEBIAN_UNITTOOLS_PACKAGE_DEPENDS
  "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libqt5core5a (>= 5.15.8), libqt5network5 (>= 5.15.8), libspdlog1.10, libfmt9, libsensors5")

include(CPack)
