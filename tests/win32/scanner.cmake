list(APPEND TALLIX_WIN32_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/ScannerSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScannerScanTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScannerWorkersTest.cpp)
if(NOT WIN32)
    # Root reads every folder whatever its mode: this entry runs the
    # access-denied case as an unprivileged user.
    add_test(NAME win64.scanner_access_denied
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-unprivileged.sh
                     ${TALLIX_WIN64_DIR}/win32_tests.exe ScannerAccessDenied.*)
endif()
