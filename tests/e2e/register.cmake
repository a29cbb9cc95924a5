# Registers the end-to-end layer with CTest (native configuration): one CTest entry per end-to-end test, each
# running the Windows test driver under Wine against the VITRELL.exe of the 64-bit cross build.
#   e2e.setup    fresh Wine prefix (virtual desktop 1280x1024, Japanese fonts) and an X server
#   e2e.Suite.Name   one per TEST/TEST_F/TEST_P found in tests/e2e/*_test.cpp
#   e2e.cleanup  stops the wineserver and the X server
set(VITRELL_E2E_DIR ${CMAKE_BINARY_DIR}/e2e)
set(VITRELL_E2E_CROSS ${VITRELL_CROSS_ROOT}/win64)  # where cross.build_win64 builds

add_test(NAME e2e.setup COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e_env.sh start ${VITRELL_E2E_DIR})
set_tests_properties(e2e.setup PROPERTIES FIXTURES_SETUP e2e_env TIMEOUT 300 RESOURCE_LOCK vitrell_desktop)
add_test(NAME e2e.cleanup COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e_env.sh stop ${VITRELL_E2E_DIR})
set_tests_properties(e2e.cleanup PROPERTIES FIXTURES_CLEANUP e2e_env TIMEOUT 60 RESOURCE_LOCK vitrell_desktop)

# The test names are read from the sources at configure time; a changed source configures again.
file(GLOB vitrell_e2e_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
set(vitrell_e2e_pattern "TEST(_F|_P)?[ \t\r\n]*\\([ \t\r\n]*([A-Za-z0-9_]+)[ \t\r\n]*,[ \t\r\n]*([A-Za-z0-9_]+)[ \t\r\n]*\\)")
foreach(source ${vitrell_e2e_sources})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(READ ${source} text)
    string(REGEX MATCHALL "${vitrell_e2e_pattern}" cases "${text}")
    foreach(case ${cases})
        string(REGEX MATCH "${vitrell_e2e_pattern}" _ "${case}")
        set(kind ${CMAKE_MATCH_1})
        set(suite ${CMAKE_MATCH_2})
        set(name ${CMAKE_MATCH_3})
        if(name MATCHES "^DISABLED_" OR suite MATCHES "^DISABLED_")
            continue()
        endif()
        if(kind STREQUAL "_P")
            set(filter "*/${suite}.${name}/*")
        else()
            set(filter "${suite}.${name}")
        endif()
        add_test(NAME e2e.${suite}.${name}
                 COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e_run.sh ${VITRELL_E2E_DIR} ${VITRELL_E2E_CROSS} ${filter})
        set_tests_properties(e2e.${suite}.${name} PROPERTIES
                             FIXTURES_REQUIRED "e2e_env;exe_win64"
                             RESOURCE_LOCK vitrell_desktop
                             TIMEOUT 120
                             LABELS e2e)
    endforeach()
endforeach()
