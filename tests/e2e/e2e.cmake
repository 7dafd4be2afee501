list(APPEND TALLIX_E2E_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/Harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConsoleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FaultExitTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CalculationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FaultScanTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FaultListsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VerificationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UpdateTest.cpp)
if(NOT WIN32)
    # Root reads every folder whatever its mode: this case runs the program
    # as an unprivileged user.
    add_test(NAME e2e.Unprivileged.DeniedFolders
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/unprivileged.sh ${TALLIX_WIN64_DIR}/tallix.exe)
endif()
