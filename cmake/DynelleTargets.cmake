# Warnings and sanitizers are applied per target, so that only our own code
# is held to -Werror and third-party headers stay out of it.
function(dynelle_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor)
  if(DYNELLE_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(DYNELLE_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  elseif(DYNELLE_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A static library for one folder of the program.
function(dynelle_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  dynelle_target_defaults(${target})
endfunction()

# libFuzzer target from tests/fuzz: one executable per target, seed corpus in
# tests/fuzz/corpus/<name>/, smoke-run by CTest (label "fuzz") for
# DYNELLE_FUZZ_SMOKE_SECONDS on a scratch copy so the checked-in corpus is
# never written to. Builds without libFuzzer get <name>_replay instead, which
# runs the harness over the checked-in corpus once (test fuzz_replay_<name>,
# label "replay"), so regression inputs are checked by every compiler.
set(DYNELLE_FUZZ_SMOKE_SECONDS 20 CACHE STRING "Seconds each fuzz target runs in the test suite")
function(dynelle_fuzz_target name)
  cmake_parse_arguments(FUZZ "" "" "SOURCES;LIBRARIES" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(DYNELLE_FUZZ)
    add_executable(${name} ${FUZZ_SOURCES})
    dynelle_target_defaults(${name})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${FUZZ_LIBRARIES})
    add_test(NAME fuzz_${name}
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz.sh --smoke ${DYNELLE_FUZZ_SMOKE_SECONDS}
              $<TARGET_FILE:${name}> ${corpus})
    set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT 300)
    return()
  endif()
  # The harnesses read their input through clang's header-only data provider,
  # which gcc can use as well; a cross build without it has no replays.
  # That header alone is copied: clang's other headers would shadow gcc's.
  file(GLOB clang_includes LIST_DIRECTORIES true /usr/lib/llvm-*/lib/clang/*/include)
  find_file(DYNELLE_FUZZED_DATA_PROVIDER fuzzer/FuzzedDataProvider.h PATHS ${clang_includes})
  if(NOT DYNELLE_FUZZED_DATA_PROVIDER)
    return()
  endif()
  set(provider_dir ${PROJECT_BINARY_DIR}/fuzz-include)
  configure_file(${DYNELLE_FUZZED_DATA_PROVIDER} ${provider_dir}/fuzzer/FuzzedDataProvider.h COPYONLY)
  add_executable(${name}_replay ${FUZZ_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
  dynelle_target_defaults(${name}_replay)
  target_include_directories(${name}_replay SYSTEM PRIVATE ${provider_dir})
  target_link_libraries(${name}_replay PRIVATE ${FUZZ_LIBRARIES})
  add_test(NAME fuzz_replay_${name} COMMAND ${name}_replay ${corpus})
  set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS replay TIMEOUT 120)
endfunction()

# Google Benchmark executable from tests/bench, built with release flags.
# Every build that has tests runs it once, briefly (test bench_<name>, label
# "bench"), so that it keeps building and working; its figures come from the
# "bench" preset.
function(dynelle_benchmark name)
  cmake_parse_arguments(BENCH "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${BENCH_SOURCES})
  dynelle_target_defaults(${name})
  target_compile_options(${name} PRIVATE -O2)
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${BENCH_LIBRARIES})
  add_test(NAME bench_${name} COMMAND ${name} --benchmark_min_time=0.01)
  set_tests_properties(bench_${name} PROPERTIES LABELS bench TIMEOUT 120)
endfunction()
