list(APPEND TALLIX_CORE_SOURCES
    engine/CheckSumTree.cpp
    engine/FileEvents.cpp
    engine/ListParser.cpp
    engine/ListText.cpp
    engine/LxHash.cpp
    engine/Md5Lanes.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    engine/FileReaderWin32.cpp)
list(APPEND TALLIX_COMPONENT_SOURCES
    engine/ChksumCalc.cpp
    engine/FlatScanThread.cpp
    engine/ListLoader.cpp
    engine/ListUpdate.cpp
    engine/uFileSaver.cpp
    engine/ReaderLanes.cpp
    engine/ReaderThread.cpp)
