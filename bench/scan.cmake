# Scanner speed and tree memory under Wine (win64 build; scripts/bench scan
# builds this target alone and runs it).
if(WIN32)
    add_executable(scan_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/ScanBenchWin32.cpp)
    target_link_libraries(scan_bench PRIVATE tallix_components tallix_warnings psapi)
    set_target_properties(scan_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
