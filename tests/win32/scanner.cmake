list(APPEND TALLIX_WIN32_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/ScannerSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScannerScanTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScannerWorkersTest.cpp)
