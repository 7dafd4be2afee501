list(APPEND TALLIX_CORE_SOURCES
    engine/CheckSumTree.cpp
    engine/LxHash.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    engine/FileReaderWin32.cpp)
