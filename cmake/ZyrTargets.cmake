# Helpers shared by every folder's CMakeLists.txt.

# zyr_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [LOCK name])
# A GoogleTest program; its cases are listed by CTest when the tests run
# (under Wine for the Windows build). Programs with the same LOCK never run at the same time
# (for example those that use the shared Wine registry or start the program).
function(zyr_add_test name)
    cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        ZYR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        ZYR_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(ZYR_DIST_DIR)
        target_compile_definitions(${name} PRIVATE ZYR_DIST_DIR="${ZYR_DIST_DIR}")
    endif()
    set(labels ${ZYR_PLATFORM_LABEL} ${ARG_LABELS})
    set(lock)
    if(ARG_LOCK)
        set(lock RESOURCE_LOCK ${ARG_LOCK})
    endif()
    gtest_discover_tests(${name}
        TEST_PREFIX "${ZYR_PLATFORM_LABEL}:"
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300 LABELS "${labels}" ${lock})
endfunction()

# zyr_portable_library(NAME SOURCES ...): a static library of the portable core.
# Portable code never includes <windows.h>; it builds natively and for Windows.
function(zyr_portable_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# zyr_add_fuzzer(NAME SOURCES ... LIBS ... [CORPUS dir])
# A libFuzzer target (LLVMFuzzerTestOneInput). Built with clang and ZYR_FUZZ=ON it is a real
# fuzzer (build/fuzz); otherwise it links a small driver that replays the seed corpus, and
# CTest runs that replay so every seed stays a regression test.
function(zyr_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    if(WIN32)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    add_dependencies(fuzzers ${name})
    if(ZYR_FUZZ)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    endif()
    if(ARG_CORPUS)
        set(corpus ${ARG_CORPUS})
        if(NOT IS_ABSOLUTE ${corpus})
            set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/${corpus})
        endif()
        if(ZYR_FUZZ)
            # A bounded run from the seeds; new inputs go to a scratch corpus.
            add_test(NAME fuzz:${name}
                COMMAND sh -c "mkdir -p ${CMAKE_BINARY_DIR}/corpus/${name} && $<TARGET_FILE:${name}> -max_total_time=${ZYR_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 ${CMAKE_BINARY_DIR}/corpus/${name} ${corpus}")
            set_tests_properties(fuzz:${name} PROPERTIES LABELS fuzz TIMEOUT 600)
        else()
            add_test(NAME native:replay.${name} COMMAND ${name} ${corpus})
            set_tests_properties(native:replay.${name} PROPERTIES LABELS native)
        endif()
    endif()
endfunction()

# zyr_ui_program(NAME): puts a Windows program in build/windows/uitests/, a folder that holds
# links to the program folder's colors.xml, settings.xml, MyResources.dll and Images/, so that
# the skin and the pages find their files beside the program as in the real program folder.
function(zyr_ui_program name)
    set(dir ${CMAKE_BINARY_DIR}/uitests)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
    if(NOT TARGET zyr_uitests_folder)
        add_custom_target(zyr_uitests_folder
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${CMAKE_COMMAND} -E create_symlink ${ZYR_DIST_DIR}/colors.xml ${dir}/colors.xml
            COMMAND ${CMAKE_COMMAND} -E create_symlink ${ZYR_DIST_DIR}/settings.xml ${dir}/settings.xml
            COMMAND ${CMAKE_COMMAND} -E create_symlink ${ZYR_DIST_DIR}/MyResources.dll ${dir}/MyResources.dll
            COMMAND ${CMAKE_COMMAND} -E create_symlink ${ZYR_DIST_DIR}/Images ${dir}/Images
            VERBATIM)
        add_dependencies(zyr_uitests_folder MyResources zyr_images)
    endif()
    add_dependencies(${name} zyr_uitests_folder)
endfunction()
