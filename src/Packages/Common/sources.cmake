list(APPEND TALLIX_CORE_SOURCES
    Packages/Common/Assertion.cpp
    Packages/Common/BaseTree.cpp
    Packages/Common/DirTree.cpp
    Packages/Common/Links.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    Packages/Common/WndManWin32.cpp)
