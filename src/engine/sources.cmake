list(APPEND TALLIX_CORE_SOURCES
    engine/CheckSumTree.cpp
    engine/LxHash.cpp)
