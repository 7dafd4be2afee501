# Checks of the sources themselves, run by the native build's CTest.
if(NOT WIN32)
    add_test(NAME check.format COMMAND ${CMAKE_CURRENT_LIST_DIR}/format.sh)
    add_test(NAME check.unicode_tables COMMAND ${CMAKE_CURRENT_LIST_DIR}/unicode-tables.sh)
    # The release package as a user gets it, its program's imports included.
    add_test(NAME check.package COMMAND ${CMAKE_CURRENT_LIST_DIR}/package.sh)
    set_tests_properties(check.package PROPERTIES RESOURCE_LOCK wine_prefix
                                                FIXTURES_REQUIRED wine_prefix)
    # The components are built for Windows only; compiling them here for
    # syntax proves that they and the headers they include name nothing of
    # <windows.h>.
    add_test(NAME check.portable_components
             COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only -Wall -Wextra -Werror
                     -I${PROJECT_SOURCE_DIR}/src ${TALLIX_COMPONENT_SOURCES}
                     ${PROJECT_SOURCE_DIR}/src/app/tallix.cpp)
endif()
