# Loading a large checksum list under Wine against std::getline (win64 build;
# scripts/bench parse builds this target alone and runs it).
if(WIN32)
    add_executable(parse_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/ParseBenchWin32.cpp)
    target_link_libraries(parse_bench PRIVATE tallix_components tallix_warnings psapi)
    set_target_properties(parse_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
