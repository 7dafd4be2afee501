list(APPEND TALLIX_CORE_SOURCES
    console/Console.cpp
    console/LogHeader.cpp
    console/Text.cpp)
list(APPEND TALLIX_WIN32_SOURCES
    console/ConsoleDeviceWin32.cpp)
list(APPEND TALLIX_COMPONENT_SOURCES
    console/ConsoleWriters.cpp
    console/LogFile.cpp
    console/OutputCheck.cpp)
