# The fuzz targets, built by the "fuzz" preset (clang with libFuzzer): parse
# (the list parser) and cmdline (the command line). The native build runs
# each for a minute as one of its tests.
set(fuzz_targets parse ListParserFuzz cmdline CommandLineFuzz)
while(fuzz_targets)
    list(POP_FRONT fuzz_targets name source)
    if(TALLIX_FUZZ)
        add_executable(${name}_fuzz ${CMAKE_CURRENT_LIST_DIR}/${source}.cpp)
        target_link_libraries(${name}_fuzz PRIVATE tallix_core tallix_warnings)
        target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
        set_target_properties(${name}_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    elseif(NOT WIN32 AND TALLIX_SANITIZE)
        # The first run installs clang and builds the target: time for both.
        # It runs alone: its build and its minute take the processors that
        # the tests under Wine need.
        add_test(NAME fuzz.${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz ${name} 60)
        set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 1800 RUN_SERIAL TRUE)
    endif()
endwhile()
