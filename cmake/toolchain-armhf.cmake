# Cross build for the host unit: 32-bit ARM, hard-float (Debian armhf).
# The compiler is Debian's arm-linux-gnueabihf cross g++; headers and
# libraries come from the private sysroot that scripts/setup-armhf-sysroot.sh
# unpacks from Debian's armhf packages; test programs run under qemu-arm.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(DYNELLE_ARMHF_SYSROOT "/var/cache/dynelle/armhf-sysroot/root"
    CACHE PATH "Root of the armhf libraries and headers (scripts/setup-armhf-sysroot.sh)")
# try_compile projects read this file again and need the same sysroot.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DYNELLE_ARMHF_SYSROOT)

if(NOT EXISTS "${DYNELLE_ARMHF_SYSROOT}/usr/include/arm-linux-gnueabihf")
  message(FATAL_ERROR
    "No armhf sysroot in ${DYNELLE_ARMHF_SYSROOT}; run scripts/setup.sh "
    "(or scripts/setup-armhf-sysroot.sh) first.")
endif()

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
# GCC notes that passing 64-bit-aligned structs changed in GCC 7.1; everything
# here, libraries included, is built by one GCC 12, so the note says nothing.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")

set(CMAKE_SYSROOT "${DYNELLE_ARMHF_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH "${DYNELLE_ARMHF_SYSROOT}")
# Programs (code generators, python, the emulator) are the host's; libraries,
# headers and package files only ever the target's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see the sysroot's .pc files and none of the host's.
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${DYNELLE_ARMHF_SYSROOT}")
set(ENV{PKG_CONFIG_DIR} "")
set(ENV{PKG_CONFIG_LIBDIR}
    "${DYNELLE_ARMHF_SYSROOT}/usr/lib/arm-linux-gnueabihf/pkgconfig:${DYNELLE_ARMHF_SYSROOT}/usr/lib/pkgconfig:${DYNELLE_ARMHF_SYSROOT}/usr/share/pkgconfig")

# ctest and test discovery run target programs through the emulator; -L lets
# it find the ARM dynamic loader and libraries in the sysroot.
find_program(DYNELLE_QEMU_ARM qemu-arm REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${DYNELLE_QEMU_ARM};-L;${DYNELLE_ARMHF_SYSROOT}")
