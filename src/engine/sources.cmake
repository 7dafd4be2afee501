list(APPEND TALLIX_CORE_SOURCES
    engine/LxHash.cpp)
