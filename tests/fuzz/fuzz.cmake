# The list parser's fuzz target, built by the "fuzz" preset (clang with
# libFuzzer); the native build runs it for a minute as one of its tests.
if(TALLIX_FUZZ)
    add_executable(parse_fuzz ${CMAKE_CURRENT_LIST_DIR}/ListParserFuzz.cpp)
    target_link_libraries(parse_fuzz PRIVATE tallix_core tallix_warnings)
    target_link_options(parse_fuzz PRIVATE -fsanitize=fuzzer)
    set_target_properties(parse_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
elseif(NOT WIN32 AND TALLIX_SANITIZE)
    # The first run installs clang and builds the target: time for both. It
    # runs alone: its build and its minute take the processors that the
    # tests under Wine need.
    add_test(NAME fuzz.parse COMMAND ${PROJECT_SOURCE_DIR}/scripts/fuzz parse 60)
    set_tests_properties(fuzz.parse PROPERTIES TIMEOUT 1800 RUN_SERIAL TRUE)
endif()
