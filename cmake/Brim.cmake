# Project-wide compile settings and the helpers that every folder uses.

add_compile_options(-Wall -Wextra)
# The default and release presets build without a single warning and keep it so.
if(BRIM_WARNINGS_AS_ERRORS)
  add_compile_options(-Werror)
endif()
# GCC 12's optimiser reports impossible sizes inside libstdc++'s own string code (-Wrestrict and
# -Wstringop-overread on std::string insert/compare after inlining); the reports name no project line.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict -Wno-stringop-overread)
endif()
include_directories(${PROJECT_SOURCE_DIR})
# Debug test programs each carry the libraries' debug information; compressed, a build tree takes a third
# of the disk (debuggers and the sanitizers' symbolizer read compressed sections).
add_link_options($<$<CONFIG:Debug>:-Wl,--compress-debug-sections=zlib>)
# A position-independent test program carries a relocation for every address the sanitizers' tables hold (a
# third of its size); debug programs are linked at a fixed address instead.
add_link_options("$<$<AND:$<CONFIG:Debug>,$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>>:-no-pie>")

if(BRIM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(BRIM_FUZZ)
  # Everything is instrumented for coverage; only the fuzz targets link the fuzzer's main.
  # Every sanitizer report stops the run, so a finding cannot scroll by among the fuzzer's own lines.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Real-world test data lives beside the checkout; a checkout elsewhere falls back to the workplace copy.
set(BRIM_TESTDATA_DIR "${PROJECT_SOURCE_DIR}/../shared/testdata")
if(NOT EXISTS "${BRIM_TESTDATA_DIR}")
  set(BRIM_TESTDATA_DIR "/work/shared/testdata")
endif()
cmake_path(NORMAL_PATH BRIM_TESTDATA_DIR)

# brim_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; its tests are discovered when CTest runs, not at build time.
function(brim_test name)
  if(NOT BRIM_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest brim_test_main GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    # Two properties of one value each: the discovery script flattens a two-entry ENVIRONMENT list into one entry.
    PROPERTIES ENVIRONMENT "BRIM_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
               ENVIRONMENT_MODIFICATION "BRIM_TESTDATA_DIR=set:${BRIM_TESTDATA_DIR}")
endfunction()

# brim_fuzz(<name> SOURCES <files...> LIBS <targets...> CORPUS <dirs...>)
# A libFuzzer target in the fuzz preset, seeded from its CORPUS directories (relative to the calling folder).
# Test builds make the same sources a replay program instead, and CTest runs every committed seed through it
# once (FuzzCorpus.<name>), so a target that no longer builds or a seed that now crashes fails the tests.
# scripts/fuzz.sh reads the fuzz preset's list of targets and their corpora (fuzz-targets.txt in the build).
function(brim_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;CORPUS" ${ARGN})
  if(NOT ARG_CORPUS)
    message(FATAL_ERROR "fuzz target ${name} names no CORPUS")
  endif()
  set(corpus "")
  foreach(dir IN LISTS ARG_CORPUS)
    list(APPEND corpus ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
  endforeach()
  if(BRIM_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    list(JOIN corpus " " corpusText)
    set_property(GLOBAL APPEND PROPERTY BRIM_FUZZ_TARGETS "${name}\t$<TARGET_FILE:${name}>\t${corpusText}")
  elseif(BRIM_TESTS)
    add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/FuzzReplayMain.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
    add_test(NAME FuzzCorpus.${name} COMMAND ${name}_replay ${corpus})
    set_tests_properties(FuzzCorpus.${name} PROPERTIES TIMEOUT 300
                         ENVIRONMENT "BRIM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
endfunction()

# Writes the fuzz preset's target list once every folder has added its targets (called from fuzz/).
function(brim_write_fuzz_targets)
  if(NOT BRIM_FUZZ)
    return()
  endif()
  get_property(targets GLOBAL PROPERTY BRIM_FUZZ_TARGETS)
  list(JOIN targets "\n" text)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/fuzz-targets.txt CONTENT "${text}\n")
endfunction()

# brim_bench(<name> SOURCES <files...> LIBS <targets...>)
# A Google Benchmark program (main: bench/BenchMain.cpp), built where it measures: the release preset (BRIM_BENCH).
# There CTest runs each of its benchmarks once with the shortest run (BenchSmoke.<name>; the test command does), so
# a benchmark that no longer builds, aborts or reports an error (SkipWithError) fails the tests.
function(brim_bench name)
  if(NOT BRIM_BENCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} brim_bench_main)
  # A minimum time of 0 runs one iteration of each benchmark (one that fixes its own count runs that).
  add_test(NAME BenchSmoke.${name} COMMAND ${name} --benchmark_min_time=0)
  set_tests_properties(BenchSmoke.${name} PROPERTIES LABELS bench ENVIRONMENT "BRIM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# brim_screen_test(<name> TEST <ctest name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>])
# A test that shows real windows: it runs under a private Xvfb and drives the screen with xdotool.
# xvfb-run picks its display number racily, so on-screen tests never run at the same time.
function(brim_screen_test name)
  if(NOT BRIM_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TEST;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  find_program(BRIM_XVFB_RUN xvfb-run REQUIRED)
  find_program(BRIM_XDOTOOL xdotool REQUIRED)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest brim_test_main)
  add_test(NAME ${ARG_TEST} COMMAND ${BRIM_XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:${name}>)
  set_tests_properties(${ARG_TEST} PROPERTIES TIMEOUT ${ARG_TIMEOUT} RESOURCE_LOCK x-server
                       ENVIRONMENT "BRIM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
