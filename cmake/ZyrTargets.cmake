# Helpers shared by every folder's CMakeLists.txt.

# zyr_add_test(NAME SOURCES ... LIBS ... [LABELS ...])
# A GoogleTest program; its cases are listed by CTest when the tests run
# (under Wine for the Windows build).
function(zyr_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        ZYR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        ZYR_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(ZYR_DIST_DIR)
        target_compile_definitions(${name} PRIVATE ZYR_DIST_DIR="${ZYR_DIST_DIR}")
    endif()
    set(labels ${ZYR_PLATFORM_LABEL} ${ARG_LABELS})
    gtest_discover_tests(${name}
        TEST_PREFIX "${ZYR_PLATFORM_LABEL}:"
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300 LABELS "${labels}")
endfunction()

# zyr_portable_library(NAME SOURCES ...): a static library of the portable core.
# Portable code never includes <windows.h>; it builds natively and for Windows.
function(zyr_portable_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# zyr_add_fuzzer(NAME SOURCES ... LIBS ... CORPUS dir)
# A libFuzzer target (LLVMFuzzerTestOneInput). Built with clang and ZYR_FUZZ=ON it is a real
# fuzzer, and CTest runs it for ZYR_FUZZ_SECONDS from the seed corpus; otherwise (gcc) the same
# source links with a replay main() and CTest runs it over the committed seed corpus.
option(ZYR_FUZZ "Build fuzz targets as libFuzzer programs (clang only)" OFF)
set(ZYR_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzzer runs under CTest")
if(ZYR_FUZZ)
    enable_testing()  # a fuzz build (BUILD_TESTING off) holds only the fuzz tests
endif()
function(zyr_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    if(WIN32)
        return()
    endif()
    if(ZYR_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        add_executable(${name} ${ARG_SOURCES})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
        set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
        add_test(NAME fuzz:${name}
            COMMAND sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=${ZYR_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 '${work}' '${ARG_CORPUS}'")
        set_tests_properties(fuzz:${name} PROPERTIES LABELS "fuzz" TIMEOUT 300)
        if(NOT TARGET zyr_fuzzers)
            add_custom_target(zyr_fuzzers)
        endif()
        add_dependencies(zyr_fuzzers ${name})
    else()
        add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
        add_test(NAME ${ZYR_PLATFORM_LABEL}:fuzz-replay.${name} COMMAND ${name} ${ARG_CORPUS})
        set_tests_properties(${ZYR_PLATFORM_LABEL}:fuzz-replay.${name} PROPERTIES LABELS "${ZYR_PLATFORM_LABEL};fuzz" TIMEOUT 300)
    endif()
endfunction()
