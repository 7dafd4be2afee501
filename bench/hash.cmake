# The floor of hashing under Wine: the least a Windows checksum program does,
# with the program's MD5 (win64 build; scripts/bench hash builds this target
# alone and runs it beside the program).
if(WIN32)
    add_executable(hash_floor EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/HashFloorWin32.cpp)
    target_link_libraries(hash_floor PRIVATE tallix_core tallix_warnings)
    target_link_options(hash_floor PRIVATE -municode)
    set_target_properties(hash_floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
