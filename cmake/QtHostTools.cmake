# When cross compiling, the target's Qt CMake files name the target's own
# qmake, moc and rcc, which cannot run on the build machine (and are not
# unpacked into the sysroot). The host's tools of the same Qt release generate
# the same code, so they stand in under the names the Qt files look for.
if(CMAKE_CROSSCOMPILING)
  set(DYNELLE_QT_HOST_BINDIR "/usr/lib/qt5/bin"
      CACHE PATH "The build machine's Qt 5 code generators")
  foreach(tool IN ITEMS qmake moc rcc)
    if(NOT TARGET Qt5::${tool})
      set(location "${DYNELLE_QT_HOST_BINDIR}/${tool}")
      if(NOT EXISTS "${location}")
        message(FATAL_ERROR "Host Qt tool ${location} is missing (Debian packages qt5-qmake, qtbase5-dev-tools)")
      endif()
      add_executable(Qt5::${tool} IMPORTED)
      set_target_properties(Qt5::${tool} PROPERTIES IMPORTED_LOCATION "${location}")
    endif()
  endforeach()
endif()
