# Cross build: the DLL, its host double, the Wine test suites, the demo and
# the benchmarks. Every program links its runtimes statically, so Wine needs
# nothing but its own system DLLs.
enable_language(RC)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
add_compile_definitions(NOMINMAX _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 WINVER=0x0601)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(SYSTEM_LIBRARIES user32 gdi32 comctl32 comdlg32 version ole32 oleaut32 shell32 uuid)

file(GLOB DLL_SOURCES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/host/*.cpp
    ${PROJECT_SOURCE_DIR}/mask/*.cpp
    ${PROJECT_SOURCE_DIR}/events/*.cpp
    ${PROJECT_SOURCE_DIR}/controls/*.cpp)
add_library(vantor44i SHARED ${DLL_SOURCES} ${CORE_SOURCES}
    ${PROJECT_SOURCE_DIR}/resources/vantor44i.rc
    ${PROJECT_SOURCE_DIR}/resources/vantor44i.def)
set_target_properties(vantor44i PROPERTIES PREFIX "" OUTPUT_NAME vantor44i)
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/vantor44i.rc PROPERTIES
    OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/manifest.xml)
target_include_directories(vantor44i PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
target_compile_options(vantor44i PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${PROJECT_WARNINGS}>)
target_link_options(vantor44i PRIVATE ${STATIC_RUNTIME} -Wl,--enable-stdcall-fixup)
target_link_libraries(vantor44i PRIVATE ${SYSTEM_LIBRARIES})
add_custom_command(TARGET vantor44i POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_SOURCE_DIR}/dist
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vantor44i> ${PROJECT_SOURCE_DIR}/dist/vantor44i.dll
    COMMAND ${CMAKE_STRIP} --strip-debug ${PROJECT_SOURCE_DIR}/dist/vantor44i.dll)

add_test(NAME dll_exports_and_imports
    COMMAND sh ${PROJECT_SOURCE_DIR}/tests/check_dll.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:vantor44i>)

# Programs that stand in for the host run with the common-controls 6
# manifest a current host has.
set(PROGRAM_MANIFEST_RC ${CMAKE_BINARY_DIR}/program_manifest.rc)
# (written only when it changes, so a new configure rebuilds nothing)
file(CONFIGURE OUTPUT ${PROGRAM_MANIFEST_RC}
    CONTENT "1 24 \"${PROJECT_SOURCE_DIR}/resources/manifest.xml\"\n")

function(vantor_program target)
    add_executable(${target} ${ARGN} ${PROGRAM_MANIFEST_RC})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${PROJECT_WARNINGS}>)
    target_link_options(${target} PRIVATE ${STATIC_RUNTIME})
    target_link_libraries(${target} PRIVATE ${SYSTEM_LIBRARIES})
    add_dependencies(${target} vantor44i)
endfunction()

# The host double every Wine test stands on.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(GLOB HOST_DOUBLE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/host/*.cpp)
add_library(host_double STATIC ${HOST_DOUBLE_SOURCES})
target_include_directories(host_double PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(host_double PRIVATE ${PROJECT_WARNINGS})
target_link_libraries(host_double PUBLIC GTest::gtest ${SYSTEM_LIBRARIES})

# The platform-free cores, for Wine programs that also drive them directly
# against real windows (reference runs, benchmarks).
add_library(vantor_core STATIC ${CORE_SOURCES})
target_include_directories(vantor_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(vantor_core PRIVATE ${PROJECT_WARNINGS})

# Every Wine suite in one program, run once by the test command: under
# emulation most of a test program's time is Wine starting the process.
# ctest has one entry per source file (its suites, picked with
# --gtest_filter) for running one area alone; tests/run_in_wine.sh keeps
# Wine's own processes, which the first program of a session starts, off
# ctest's output pipe.
file(GLOB WINE_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*_test.cpp)
# Beside the suites, the one source of the library the header-only helpers
# they test directly need.
vantor_program(wine_tests ${WINE_TESTS} ${PROJECT_SOURCE_DIR}/tests/win/main.cpp
    ${PROJECT_SOURCE_DIR}/controls/subclass.cpp)
# The sample language file of docs/, which a suite loads through the DLL.
configure_file(${PROJECT_SOURCE_DIR}/docs/OLVELANG.deu ${CMAKE_BINARY_DIR}/bin/docs/OLVELANG.deu COPYONLY)
# The function reference, whose examples a suite plays.
configure_file(${PROJECT_SOURCE_DIR}/docs/functions.md ${CMAKE_BINARY_DIR}/bin/docs/functions.md COPYONLY)
target_link_libraries(wine_tests PRIVATE host_double vantor_core GTest::gtest)
foreach(source ${WINE_TESTS})
    get_filename_component(area ${source} NAME_WE)
    file(STRINGS ${source} lines REGEX "^TEST(_F)?\\(")
    set(filter "")
    foreach(line ${lines})
        string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
        list(APPEND filter "${suite}.*")
    endforeach()
    list(REMOVE_DUPLICATES filter)
    string(REPLACE ";" ":" filter "${filter}")
    if(filter STREQUAL "")
        continue()
    endif()
    add_test(NAME ${area} COMMAND bash ${PROJECT_SOURCE_DIR}/tests/run_in_wine.sh
        $<TARGET_FILE:wine_tests> --gtest_filter=${filter})
    # One at a time: the suites share one display, and a window one of
    # them brings to the foreground would change what another measures.
    set_tests_properties(${area} PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endforeach()

vantor_program(vantor_demo ${PROJECT_SOURCE_DIR}/demo/demo.cpp ${PROJECT_SOURCE_DIR}/demo/picture.cpp)
target_link_libraries(vantor_demo PRIVATE host_double)

# The picture test: plays the demo and compares its pictures with the
# references of tests/pictures/ (scripts/pictures.sh; --update rewrites them).
vantor_program(picture_check ${PROJECT_SOURCE_DIR}/tests/pictures/picture_check.cpp
    ${PROJECT_SOURCE_DIR}/demo/picture.cpp)
target_compile_definitions(picture_check PRIVATE VANTOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(picture_check vantor_demo)

# Every benchmark in one program, as for the tests: under emulation most of
# a program's time is Wine starting it. scripts/bench.sh runs it.
# (bench_table_main.cpp is the native program that writes their table.)
file(GLOB BENCHMARKS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
list(FILTER BENCHMARKS EXCLUDE REGEX "/bench_table_main\\.cpp$")
vantor_program(benchmarks ${BENCHMARKS})
target_link_libraries(benchmarks PRIVATE host_double vantor_core)

# The soak: long runs of repeated calls with memory and object counts
# before and after (scripts/soak.sh; not part of the test command).
vantor_program(soak ${PROJECT_SOURCE_DIR}/tests/soak/soak.cpp)
target_link_libraries(soak PRIVATE host_double psapi)
