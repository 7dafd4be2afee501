list(APPEND TALLIX_CORE_SOURCES
    Packages/Files/FileMasks.cpp
    Packages/Files/StrProc.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    Packages/Files/FileFuncWin32.cpp
    Packages/Files/LocaleWin32.cpp)
list(APPEND TALLIX_NATIVE_SOURCES
    Packages/Files/FileFuncNative.cpp
    Packages/Files/LocaleNative.cpp)
list(APPEND TALLIX_COMPONENT_SOURCES
    Packages/Files/FileFunc.cpp)
