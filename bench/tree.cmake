# Path-tree memory and speed against a plain node tree (bench preset only:
# native, no sanitizers, so that process memory is the program's own).
if(NOT WIN32 AND NOT TALLIX_SANITIZE)
    add_executable(tree_bench ${CMAKE_CURRENT_LIST_DIR}/TreeBench.cpp)
    target_link_libraries(tree_bench PRIVATE tallix_core tallix_warnings)
endif()
