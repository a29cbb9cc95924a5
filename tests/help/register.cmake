# help.build: the help compiler's output on the real pages, checked with chmls (native configuration).
if(TARGET helpc AND EXISTS ${CMAKE_SOURCE_DIR}/docs/help/contents.txt)
    add_test(NAME help.build COMMAND bash ${CMAKE_SOURCE_DIR}/tests/help/help_build.sh $<TARGET_FILE:helpc>
                                     ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/help_check)
    set_tests_properties(help.build PROPERTIES TIMEOUT 120)
endif()
