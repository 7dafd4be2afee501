list(APPEND TALLIX_CORE_SOURCES
    Packages/Files/StrProc.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    Packages/Files/FileFuncWin32.cpp)
list(APPEND TALLIX_COMPONENT_SOURCES
    Packages/Files/FileFunc.cpp)
