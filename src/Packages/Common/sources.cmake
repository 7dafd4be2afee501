list(APPEND TALLIX_CORE_SOURCES
    Packages/Common/Assertion.cpp
    Packages/Common/BaseTree.cpp
    Packages/Common/DirTree.cpp
    Packages/Common/LoopGuard.cpp
    Packages/Common/Masks.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    Packages/Common/WndManWin32.cpp)
list(APPEND TALLIX_COMPONENT_SOURCES
    Packages/Common/DirScaner.cpp
    Packages/Common/ScanThreads.cpp)
