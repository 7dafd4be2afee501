# Checks of the sources themselves, run by the native build's CTest.
if(NOT WIN32)
    add_test(NAME check.format COMMAND ${CMAKE_CURRENT_LIST_DIR}/format.sh)
    add_test(NAME check.unicode_tables COMMAND ${CMAKE_CURRENT_LIST_DIR}/unicode-tables.sh)
endif()
