list(APPEND TALLIX_E2E_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/Harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Tmux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConsoleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CalculationTest.cpp)
