# orvo_add_wine_oracle(NAME <test> PROBE <program> SCRIPT <file.py> LIBS <lib>... [LABELS <label>...])
#   Windows build only: builds the probe program from <program>.cpp and registers the Python
#   script of the same folder that runs it through Wine ($ORVO_RUN) and checks what it did
#   with Wine's own tools (`wine reg query`, lnkinfo).
include_guard(GLOBAL)

function(orvo_add_wine_oracle)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;PROBE;SCRIPT" "LIBS;LABELS")
    if(NOT WIN32)
        return()
    endif()
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    add_executable(${arg_PROBE} ${arg_PROBE}.cpp)
    target_link_libraries(${arg_PROBE} PRIVATE ${arg_LIBS})
    orvo_add_script_test(NAME ${arg_NAME}
        COMMAND "${Python3_EXECUTABLE}" "${CMAKE_CURRENT_SOURCE_DIR}/${arg_SCRIPT}"
        LABELS ${arg_LABELS})
endfunction()
