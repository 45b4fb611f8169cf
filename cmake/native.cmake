# Native build: the platform-free cores under AddressSanitizer and
# UndefinedBehaviorSanitizer, their GoogleTest suites and libFuzzer targets.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_compile_options(${SANITIZE})
add_link_options(${SANITIZE})
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(vantor_core STATIC ${CORE_SOURCES})
target_include_directories(vantor_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(vantor_core PRIVATE ${PROJECT_WARNINGS})

# The benchmarks' table of medians (scripts/bench.sh runs it on the
# benchmark program's output).
add_library(bench_table_core STATIC ${PROJECT_SOURCE_DIR}/bench/core/bench_table.cpp)
target_include_directories(bench_table_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(bench_table_core PRIVATE ${PROJECT_WARNINGS})
add_executable(bench_table ${PROJECT_SOURCE_DIR}/bench/bench_table_main.cpp)
target_compile_options(bench_table PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(bench_table PRIVATE bench_table_core)
# ... against the sample runs of bench/sample/ and the tables made from them.
add_test(NAME bench_table_test
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/bench_table_test.sh $<TARGET_FILE:bench_table>)

file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${NATIVE_TESTS})
target_compile_options(native_tests PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(native_tests PRIVATE vantor_core bench_table_core GTest::gtest_main)
add_test(NAME native_tests COMMAND native_tests)
set_tests_properties(native_tests PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")

# libFuzzer targets: fuzz/<name>_fuzz.cpp runs from fuzz/corpus/<name>.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # The test command runs every target briefly; together they take about
    # FUZZ_TEST_BUDGET seconds (scripts/fuzz.sh runs them long).
    set(FUZZ_TEST_BUDGET 45 CACHE STRING "Seconds all fuzz targets share in the test command")
    set(FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined)
    add_library(vantor_core_fuzz STATIC ${CORE_SOURCES})
    target_include_directories(vantor_core_fuzz PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(vantor_core_fuzz PRIVATE ${FUZZ_FLAGS})
    file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*_fuzz.cpp)
    list(LENGTH FUZZ_TARGETS fuzzTargetCount)
    math(EXPR FUZZ_SECONDS "${FUZZ_TEST_BUDGET} / ${fuzzTargetCount}")
    foreach(source ${FUZZ_TARGETS})
        get_filename_component(target ${source} NAME_WE)
        string(REGEX REPLACE "_fuzz$" "" corpus ${target})
        add_executable(${target} ${source})
        target_compile_options(${target} PRIVATE ${PROJECT_WARNINGS} -fsanitize=fuzzer)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${target} PRIVATE vantor_core_fuzz)
        set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${corpus})
        add_test(NAME ${target}
            COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                $<TARGET_FILE:${target}> -max_total_time=${FUZZ_SECONDS} -timeout=60
                -rss_limit_mb=2048 -print_final_stats=1 ${work} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus})
        file(MAKE_DIRECTORY ${work})
    endforeach()
else()
    message(STATUS "clang not used: libFuzzer targets are not built")
endif()

# The installer's decisions, with stand-in commands.
add_test(NAME install_lib_test COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/install_lib_test.sh)
# The Wine steps' time limits and second attempts, with stand-in commands.
add_test(NAME wine_steps_test COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/wine_steps_test.sh)
# The mutation run's list, edits and counts, with stand-in builds and tests.
add_test(NAME mutate_test COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/mutate_test.sh)
