# Test helpers shared by tests/, fuzz/ and bench/.
#
#   orvo_add_gtest(NAME <name> SOURCES <file>...
#                  [LIBS <lib>...] [LABELS <label>...] [ARGS <arg>...] [ENVIRONMENT <VAR=value>...]
#                  [TIMEOUT <seconds>] [WORKING_DIRECTORY <dir>] [NO_MAIN] [NO_DISCOVER] [NEEDS_DISPLAY])
#       Builds the googletest program <name> (linked with gtest, gmock and, unless NO_MAIN,
#       gtest_main) and registers it with ctest. Natively every test case becomes its own ctest
#       test, named <name>.<Suite>.<Case>, found when ctest starts; NO_DISCOVER registers the
#       program as one test. In the Windows build the program is always one ctest test, run
#       through Wine (CMAKE_CROSSCOMPILING_EMULATOR), because listing its cases would need Wine
#       at build time.
#
#   orvo_add_script_test(NAME <name> COMMAND <command> [<arg>...]
#                        [LABELS <label>...] [ENVIRONMENT <VAR=value>...] [TIMEOUT <seconds>]
#                        [WORKING_DIRECTORY <dir>] [NEEDS_DISPLAY])
#       Registers a command (a script, usually) as a ctest test. Generator expressions such as
#       $<TARGET_FILE:ozip> work in COMMAND. The command's environment has:
#         ORVO_SOURCE_DIR    the source tree
#         ORVO_BUILD_DIR     this build tree;  ORVO_BIN_DIR its bin/ folder
#         ORVO_TESTDATA_DIR  the shared corpora (may be absent: skip with a message)
#         ORVO_TARGET        native | windows
#         ORVO_EXE_SUFFIX    "" | .exe
#         ORVO_RUN           "" natively; the Wine wrapper in the Windows build, so that
#                            `$ORVO_RUN "$ORVO_BIN_DIR/ozip$ORVO_EXE_SUFFIX" ...` runs either
#
#   Both add the label `native` or `wine` (ORVO_TEST_LABEL) to the given labels; NEEDS_DISPLAY
#   adds `gui` and makes sure of an X display: a program run through Wine always has one
#   (scripts/wine-run), anything else runs under scripts/with-xvfb. Without a DISPLAY both use
#   the one shared Xvfb of scripts/xvfb-shared, so a script and the Wine programs it starts
#   see the same screen.
#   TIMEOUT defaults to ORVO_TEST_TIMEOUT (300 s).
#
#   orvo_target_path(<out-var> <host-path>)
#       The path under which a program of this build sees a host file: unchanged natively; in
#       the Windows build on the drive of the Wine prefix that leads to the deepest folder
#       holding it (scripts/wine-drives.txt: S: the checkout, B: its build trees, D: ../shared),
#       with forward slashes and no trailing one, e.g. B:/windows/tests or S: for the checkout
#       itself. A path on no drive stops the configuration: Wine could not reach it.
#
# Every gtest program gets two compile definitions, paths as the program sees them
# (orvo_target_path), without a trailing slash:
#   ORVO_TESTDATA_DIR  the shared corpora, ../shared/testdata beside the source tree (may be
#                      absent: tests then GTEST_SKIP() with a message saying so)
#   ORVO_SOURCE_DIR    the source tree, for our own fixtures in tests/data
include_guard(GLOBAL)

if(CMAKE_CROSSCOMPILING)
    set(ORVO_TEST_LABEL wine)
    set(ORVO_TARGET windows)
else()
    set(ORVO_TEST_LABEL native)
    set(ORVO_TARGET native)
endif()

set(ORVO_TEST_TIMEOUT 300 CACHE STRING "Default time limit of one test in seconds")

get_filename_component(_orvo_testdata_default "${PROJECT_SOURCE_DIR}/../shared/testdata" ABSOLUTE)
set(ORVO_TESTDATA_DIR "${_orvo_testdata_default}" CACHE PATH
    "Shared test corpora (tests that need them skip when the folder is absent)")
if(NOT IS_DIRECTORY "${ORVO_TESTDATA_DIR}")
    message(STATUS "Shared test corpora not found at ${ORVO_TESTDATA_DIR}: tests using them will skip")
endif()

set(ORVO_WITH_XVFB "${PROJECT_SOURCE_DIR}/scripts/with-xvfb")

if(CMAKE_CROSSCOMPILING)
    # scripts/bootstrap installs the cross-built googletest here (see the toolchain file).
    find_package(GTest CONFIG REQUIRED
        PATHS "${ORVO_MINGW_PREFIX}/lib/cmake/GTest" NO_DEFAULT_PATH)
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

function(orvo_target_path out path)
    if(NOT CMAKE_CROSSCOMPILING)
        set(${out} "${path}" PARENT_SCOPE)
        return()
    endif()
    cmake_path(ABSOLUTE_PATH path NORMALIZE OUTPUT_VARIABLE host)
    string(REGEX REPLACE "(.)/$" "\\1" host "${host}")
    get_filename_component(checkout "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
    file(STRINGS "${checkout}/scripts/wine-drives.txt" drives REGEX "^[A-Z] ")
    set(best "")
    set(best_length -1)
    set(known "")
    foreach(drive IN LISTS drives)
        string(REGEX MATCH "^([A-Z]) +([^ ]+)" _ "${drive}")
        set(letter "${CMAKE_MATCH_1}")
        set(folder "${CMAKE_MATCH_2}")
        cmake_path(ABSOLUTE_PATH folder BASE_DIRECTORY "${checkout}" NORMALIZE)
        string(REGEX REPLACE "(.)/$" "\\1" folder "${folder}")
        string(APPEND known " ${letter}: ${folder}")
        cmake_path(IS_PREFIX folder "${host}" NORMALIZE inside)
        string(LENGTH "${folder}" length)
        if(inside AND length GREATER best_length)
            set(best_length ${length})
            cmake_path(RELATIVE_PATH host BASE_DIRECTORY "${folder}" OUTPUT_VARIABLE rest)
            if(rest STREQUAL ".")
                set(best "${letter}:")
            else()
                set(best "${letter}:/${rest}")
            endif()
        endif()
    endforeach()
    if(NOT best)
        message(FATAL_ERROR "${path} is on no drive of the Wine prefix, so the Windows build's "
            "programs could not reach it; the drives (scripts/wine-drives.txt) are${known}")
    endif()
    set(${out} "${best}" PARENT_SCOPE)
endfunction()

# Every program of the Windows build runs from the build tree: it must lie on a drive.
if(CMAKE_CROSSCOMPILING)
    orvo_target_path(_orvo_build_tree "${PROJECT_BINARY_DIR}")
endif()

# Environment every test gets: sanitizer settings that make a finding fail the test.
function(_orvo_test_environment out)
    set(env ${ARGN})
    if(ORVO_SANITIZE)
        list(APPEND env
            "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1"
            "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    endif()
    set(${out} "${env}" PARENT_SCOPE)
endfunction()

function(orvo_add_gtest)
    cmake_parse_arguments(PARSE_ARGV 0 arg "NO_MAIN;NO_DISCOVER;NEEDS_DISPLAY"
        "NAME;TIMEOUT;WORKING_DIRECTORY" "SOURCES;LIBS;LABELS;ARGS;ENVIRONMENT")
    if(NOT arg_NAME OR NOT arg_SOURCES)
        message(FATAL_ERROR "orvo_add_gtest: NAME and SOURCES are required")
    endif()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "orvo_add_gtest(${arg_NAME}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT ${ORVO_TEST_TIMEOUT})
    endif()
    if(NOT arg_WORKING_DIRECTORY)
        set(arg_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    set(labels ${arg_LABELS} ${ORVO_TEST_LABEL})
    if(arg_NEEDS_DISPLAY)
        list(APPEND labels gui)
    endif()
    _orvo_test_environment(env ${arg_ENVIRONMENT})

    add_executable(${arg_NAME} ${arg_SOURCES})
    set(main GTest::gtest_main)
    if(arg_NO_MAIN)
        set(main)
    endif()
    target_link_libraries(${arg_NAME} PRIVATE ${arg_LIBS} GTest::gmock GTest::gtest ${main})
    orvo_target_path(testdata "${ORVO_TESTDATA_DIR}")
    orvo_target_path(source "${PROJECT_SOURCE_DIR}")
    target_compile_definitions(${arg_NAME} PRIVATE
        ORVO_TESTDATA_DIR="${testdata}" ORVO_SOURCE_DIR="${source}")

    if(NOT CMAKE_CROSSCOMPILING AND NOT arg_NO_DISCOVER AND NOT arg_NEEDS_DISPLAY)
        gtest_discover_tests(${arg_NAME}
            TEST_PREFIX "${arg_NAME}."
            TEST_LIST ${arg_NAME}_TESTS
            EXTRA_ARGS ${arg_ARGS}
            WORKING_DIRECTORY "${arg_WORKING_DIRECTORY}"
            DISCOVERY_MODE PRE_TEST
            PROPERTIES TIMEOUT ${arg_TIMEOUT})
        # gtest_discover_tests splits list values such as "unzip;native" given in PROPERTIES,
        # so the list-valued properties are set by a script ctest runs after the discovery.
        set(script "${CMAKE_CURRENT_BINARY_DIR}/${arg_NAME}_properties.cmake")
        file(WRITE "${script}"
            "if(${arg_NAME}_TESTS)\n"
            "    set_tests_properties(\${${arg_NAME}_TESTS} PROPERTIES\n"
            "        LABELS \"${labels}\" ENVIRONMENT \"${env}\")\n"
            "endif()\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
        return()
    endif()

    # Under Wine the emulator provides a display itself (scripts/wine-run).
    if(arg_NEEDS_DISPLAY AND NOT CMAKE_CROSSCOMPILING)
        set(command "${ORVO_WITH_XVFB}" "$<TARGET_FILE:${arg_NAME}>")
    else()
        set(command ${arg_NAME})
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${command} ${arg_ARGS}
        WORKING_DIRECTORY "${arg_WORKING_DIRECTORY}")
    set_tests_properties(${arg_NAME} PROPERTIES
        LABELS "${labels}" TIMEOUT ${arg_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

function(orvo_add_script_test)
    cmake_parse_arguments(PARSE_ARGV 0 arg "NEEDS_DISPLAY"
        "NAME;TIMEOUT;WORKING_DIRECTORY" "COMMAND;LABELS;ENVIRONMENT")
    if(NOT arg_NAME OR NOT arg_COMMAND)
        message(FATAL_ERROR "orvo_add_script_test: NAME and COMMAND are required")
    endif()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "orvo_add_script_test(${arg_NAME}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT ${ORVO_TEST_TIMEOUT})
    endif()
    if(NOT arg_WORKING_DIRECTORY)
        set(arg_WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    set(labels ${arg_LABELS} ${ORVO_TEST_LABEL})
    set(command ${arg_COMMAND})
    if(arg_NEEDS_DISPLAY)
        list(APPEND labels gui)
        list(PREPEND command "${ORVO_WITH_XVFB}")
    endif()
    if(CMAKE_CROSSCOMPILING)
        set(run "${CMAKE_CROSSCOMPILING_EMULATOR}")
        set(suffix .exe)
    else()
        set(run "")
        set(suffix "")
    endif()
    _orvo_test_environment(env
        "ORVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
        "ORVO_BUILD_DIR=${PROJECT_BINARY_DIR}"
        "ORVO_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
        "ORVO_TESTDATA_DIR=${ORVO_TESTDATA_DIR}"
        "ORVO_TARGET=${ORVO_TARGET}"
        "ORVO_EXE_SUFFIX=${suffix}"
        "ORVO_RUN=${run}"
        ${arg_ENVIRONMENT})

    add_test(NAME ${arg_NAME} COMMAND ${command} WORKING_DIRECTORY "${arg_WORKING_DIRECTORY}")
    set_tests_properties(${arg_NAME} PROPERTIES
        LABELS "${labels}" TIMEOUT ${arg_TIMEOUT} ENVIRONMENT "${env}")
endfunction()
