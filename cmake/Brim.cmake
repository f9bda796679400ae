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
# The default linker takes three times as long over the debug programs' sections as ld.lld (scripts/setup.sh
# installs it); without it they link as before.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld BRIM_HAVE_LLD)
if(BRIM_HAVE_LLD)
  add_link_options($<$<CONFIG:Debug>:-fuse-ld=lld>)
endif()

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
    add_executable(${name}_replay ${ARG_SOURCES})
    target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS} brim_fuzz_replay_main)
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
  add_dependencies(benchmarks ${name})
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
  # CTest starts the costliest tests first; before it has timed a run (a fresh build tree), it takes the COST given.
  # An on-screen test's time limit stands for its cost, so that a long one runs beside the other tests rather than
  # alone after them.
  set_tests_properties(${ARG_TEST} PROPERTIES TIMEOUT ${ARG_TIMEOUT} COST ${ARG_TIMEOUT} RESOURCE_LOCK x-server
                       ENVIRONMENT "BRIM_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# Precompiled headers (BRIM_PCH, the default preset). Half of a debug compile here reads the standard library's
# headers (and GoogleTest's, in a test), the same in every file: they are compiled once for each kind of file that
# can share them, and the libraries and programs reuse them. A build through a compiler cache (a compiler launcher)
# compiles every file on its own, as the cache needs, and so does the release preset, which also keeps every
# library file compiling from its own includes. Called once every folder has added its targets.
set(BRIM_PCH_HEADERS
  <algorithm> <cmath> <cstdint> <cstdio> <cstdlib> <cstring> <filesystem> <fstream> <functional> <map> <memory>
  <optional> <sstream> <string> <string_view> <utility> <vector>)
# A header compiled for fewer files costs more than it saves.
set(BRIM_PCH_MIN_FILES 10)

# The linked targets that give `target` compile definitions or options (imported packages: GoogleTest, SDL2), in
# `out`: a compiled header serves only files compiled with the same.
function(brim_usage_flavor target out)
  set(seen "")
  set(flavor "")
  get_target_property(queue ${target} LINK_LIBRARIES)
  while(queue)
    list(POP_FRONT queue t)
    # Entries that link without compiling (LINK_ONLY), markers of the folder a link was made in, other genexes.
    if(t MATCHES "^\\$<LINK_ONLY:|^::@")
      continue()
    endif()
    string(GENEX_STRIP "${t}" t)
    if(NOT t OR t IN_LIST seen OR NOT TARGET ${t})
      continue()
    endif()
    list(APPEND seen ${t})
    get_target_property(definitions ${t} INTERFACE_COMPILE_DEFINITIONS)
    get_target_property(options ${t} INTERFACE_COMPILE_OPTIONS)
    if(definitions OR options)
      list(APPEND flavor ${t})
    endif()
    get_target_property(libs ${t} INTERFACE_LINK_LIBRARIES)
    if(libs)
      list(APPEND queue ${libs})
    endif()
  endwhile()
  list(SORT flavor)
  set(${out} "${flavor}" PARENT_SCOPE)
endfunction()

function(brim_precompile_headers)
  if(NOT BRIM_PCH OR CMAKE_CXX_COMPILER_LAUNCHER)
    return()
  endif()
  # Every library and program, by kind: a header compiled with -fPIC (libraries) serves no -fPIE file (programs),
  # and one compiled with a package's definitions no file without them.
  set(kinds "")
  set(dirs ${PROJECT_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(sub DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${sub})
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(t IN LISTS targets)
      get_target_property(type ${t} TYPE)
      get_target_property(visibility ${t} CXX_VISIBILITY_PRESET)
      if(type MATCHES "^(STATIC|SHARED|MODULE|OBJECT)_LIBRARY$")
        set(pic library)
      elseif(type STREQUAL "EXECUTABLE")
        set(pic program)
      else()
        continue()
      endif()
      if(visibility)
        continue()   # compiled with other settings
      endif()
      brim_usage_flavor(${t} flavor)
      string(MAKE_C_IDENTIFIER "${pic};${flavor}" kind)
      string(REGEX REPLACE "_$" "" kind ${kind})
      if(NOT kind IN_LIST kinds)
        list(APPEND kinds ${kind})
        set(${kind}_flavor "${flavor}")
        set(${kind}_pic ${pic})
        set(${kind}_targets "")
        set(${kind}_files 0)
      endif()
      list(APPEND ${kind}_targets ${t})
      get_target_property(sources ${t} SOURCES)
      list(FILTER sources INCLUDE REGEX "\\.(cpp|cc|cxx)$")
      list(LENGTH sources count)
      math(EXPR ${kind}_files "${${kind}_files} + ${count}")
    endforeach()
  endwhile()

  set(empty ${PROJECT_BINARY_DIR}/brim_pch.cpp)
  file(CONFIGURE OUTPUT ${empty} CONTENT "// The precompiled headers' own file: they are all it reads.\n")
  foreach(kind IN LISTS kinds)
    if(${kind}_files LESS BRIM_PCH_MIN_FILES)
      continue()
    endif()
    # The header's own target: an empty file compiled as the kind's files are.
    set(donor brim_pch_${kind})
    add_library(${donor} OBJECT ${empty})
    target_link_libraries(${donor} PRIVATE ${${kind}_flavor})
    set(headers ${BRIM_PCH_HEADERS})
    if(GTest::gtest IN_LIST ${kind}_flavor)
      list(APPEND headers <gtest/gtest.h>)
    endif()
    if(${kind}_pic STREQUAL "program")
      set_target_properties(${donor} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
      target_compile_options(${donor} PRIVATE ${CMAKE_CXX_COMPILE_OPTIONS_PIE})
    endif()
    target_precompile_headers(${donor} PRIVATE ${headers})
    foreach(t IN LISTS ${kind}_targets)
      target_precompile_headers(${t} REUSE_FROM ${donor})
      # A file compiled with options of its own (another optimisation) cannot use the header compiled without them.
      get_target_property(sources ${t} SOURCES)
      get_target_property(sourceDir ${t} SOURCE_DIR)
      foreach(source IN LISTS sources)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${sourceDir})
        get_source_file_property(options ${source} TARGET_DIRECTORY ${t} COMPILE_OPTIONS)
        if(options)
          set_source_files_properties(${source} TARGET_DIRECTORY ${t} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
