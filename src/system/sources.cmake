list(APPEND TALLIX_CORE_SOURCES
    system/LxSys.cpp
    system/Unicode.cpp
    system/Utf8.cpp
    system/UnicodeTables.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    system/AnsiTextWin32.cpp
    system/HandlesWin32.cpp
    system/LxSysWin32.cpp
    system/ProcessWin32.cpp
    system/ThreadsWin32.cpp)
list(APPEND TALLIX_NATIVE_SOURCES
    system/AnsiTextNative.cpp
    system/LxSysNative.cpp)
