# Native (Linux) build: the portable core, its tests, benchmarks and fuzzers.
if(SAVER_SANITIZE)
  set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(saver_core PUBLIC ${SANITIZE_FLAGS})
  target_link_options(saver_core PUBLIC ${SANITIZE_FLAGS})
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # Debian's GoogleTest library is 64-bit: a 32-bit build makes its own.
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(core_tests ${NATIVE_TESTS})
target_link_libraries(core_tests PRIVATE saver_core GTest::gtest_main)
include(GoogleTest)
# Listed when the tests run, not when they are built: a machine may build
# 32-bit programs that it cannot run.
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60 DISCOVERY_MODE PRE_TEST)

if(SAVER_BENCH AND NOT SAVER_SANITIZE)
  find_package(benchmark REQUIRED)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
  foreach(source ${BENCH_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE saver_core benchmark::benchmark_main)
  endforeach()
endif()

if(SAVER_FUZZ)
  # Each tests/fuzz/*.cpp is one libFuzzer target; CI runs each for a short smoke time.
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*.cpp)
  foreach(source ${FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    # Undefined behaviour stops the run like a crash, so CI sees it.
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_libraries(${name} PRIVATE saver_core)
    # New inputs go to a corpus in the build tree; the seeds in the source
    # tree are only read. Crash files land in the build tree too.
    set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
    file(MAKE_DIRECTORY ${corpus} ${CMAKE_BINARY_DIR}/fuzz-artifacts)
    add_test(NAME ${name}_smoke COMMAND ${name} -max_total_time=20 -rss_limit_mb=2048
             -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz-artifacts/
             ${corpus} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  endforeach()
  target_compile_options(saver_core PUBLIC -fsanitize=fuzzer-no-link,address,undefined
                         -fno-sanitize-recover=all)
  # Everything linking the instrumented core (core_tests too) needs the runtimes.
  target_link_options(saver_core PUBLIC -fsanitize=address,undefined)
endif()
