# Build helpers shared by every folder.

function(bd_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(BD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(BD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  if(BD_FUZZ)
    # Coverage counters in the game code too, so the fuzz targets learn
    # from the loaders they call (the sanitizer runtime serves the rest).
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# bd_add_test(NAME SOURCES a.cpp b.cpp LIBS bd_logic [LABELS unit] [WORKDIR dir] [TIMEOUT s])
# A GoogleTest executable registered with CTest, one CTest entry per test case.
function(bd_add_test name)
  cmake_parse_arguments(T "" "WORKDIR;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(BD_SANITIZE)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/sanitizer_defaults.cpp)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  bd_warnings(${name})
  if(NOT T_WORKDIR)
    set(T_WORKDIR ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  # gtest_discover_tests expands its properties several times before they
  # reach set_tests_properties; without these escapes only the first
  # variable of the list would be set.
  # XDG_DATA_HOME: no test may read or write a save in the real home folder.
  set(env "ALSOFT_DRIVERS=null" "BD_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "BD_RUNTIME_DIR=${BD_RUNTIME_DIR}"
      "XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/xdg-data-${name}")
  string(REPLACE ";" "\\\\\\\\\\\\\\\\;" env "${env}")
  set(timeout)
  if(T_TIMEOUT)
    set(timeout TIMEOUT ${T_TIMEOUT})
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${T_WORKDIR}
    PROPERTIES LABELS "${T_LABELS}" ENVIRONMENT "${env}" ${timeout}
    DISCOVERY_TIMEOUT 60)
endfunction()

# bd_add_fuzz(NAME SOURCES fuzz_x.cpp LIBS bd_logic [SECONDS 5])
# A libFuzzer target (clang, BD_FUZZ=ON) and a bounded CTest run of it. Its
# corpus: what the fuzzer learnt (build folder), seeds copied from the built
# game's files at every build, and the hand-made cases checked in under
# tests/fuzz_corpus/<name>/; seeds and -max_len come from cmake/fuzz_corpus.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/fuzz_corpus.cmake)
function(bd_add_fuzz name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT BD_FUZZ)
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 5)
  endif()
  if(NOT DEFINED bd_fuzz_max_len_${name})
    message(FATAL_ERROR "${name}: no -max_len in cmake/fuzz_corpus.cmake")
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(dirs ${corpus})
  if(bd_fuzz_seeds_${name})
    set(seeds ${CMAKE_CURRENT_BINARY_DIR}/${name}_seeds)
    string(REPLACE ";" "|" items "${bd_fuzz_seeds_${name}}")
    add_custom_target(${name}_seeds
      COMMAND ${CMAKE_COMMAND} -DRUNTIME=${BD_RUNTIME_DIR} -DSOURCE=${CMAKE_SOURCE_DIR} -DOUT=${seeds}
              -DSEEDS=${items} -P ${CMAKE_SOURCE_DIR}/cmake/fuzz_seeds.cmake
      VERBATIM)
    add_dependencies(${name}_seeds game_data)
    add_dependencies(${name} ${name}_seeds)
    list(APPEND dirs ${seeds})
  endif()
  set(hand ${CMAKE_SOURCE_DIR}/tests/fuzz_corpus/${name})
  if(IS_DIRECTORY ${hand})
    list(APPEND dirs ${hand})
  endif()
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${F_SECONDS} -rss_limit_mb=2048
           -max_len=${bd_fuzz_max_len_${name}} ${dirs})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()

# bd_add_bench(NAME SOURCES b.cpp LIBS ...): a Google Benchmark executable.
function(bd_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  bd_warnings(${name})
endfunction()
