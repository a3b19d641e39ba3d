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
