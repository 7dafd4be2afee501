# Checks of the sources themselves, run by the native build's CTest.
if(NOT WIN32)
    add_test(NAME check.format COMMAND ${CMAKE_CURRENT_LIST_DIR}/format.sh)
    add_test(NAME check.unicode_tables COMMAND ${CMAKE_CURRENT_LIST_DIR}/unicode-tables.sh)
    # The release imports nothing the oldest Windows it names lacks.
    add_test(NAME check.windows_imports
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/windows-imports.py ${TALLIX_WIN32_DIR}/tallix.exe
                     ${CMAKE_CURRENT_LIST_DIR}/oldest-windows.txt)
    # The components are built for Windows only; compiling them here for
    # syntax proves that they and the headers they include name nothing of
    # <windows.h>.
    add_test(NAME check.portable_components
             COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only -Wall -Wextra -Werror
                     -I${PROJECT_SOURCE_DIR}/src ${TALLIX_COMPONENT_SOURCES}
                     ${PROJECT_SOURCE_DIR}/src/app/tallix.cpp)
endif()
