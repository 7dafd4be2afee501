list(APPEND TALLIX_CORE_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/LxHashTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Md5LanesTest.cpp)
# md5sum of the host is the independent oracle; it runs beside the native tests only.
if(NOT WIN32)
    list(APPEND TALLIX_CORE_TESTS
        ${CMAKE_CURRENT_LIST_DIR}/LxHashOracleTest.cpp)
endif()
