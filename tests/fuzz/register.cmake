# Registers the fuzz targets with CTest (native configuration), so that every run of the test command fuzzes a
# little: fuzz.build configures and builds them with clang in build/native/fuzz, and fuzz.NAME runs the target of
# tests/fuzz/NAME_fuzz.cpp for 15 s over a scratch copy of its committed corpus (scripts/fuzz.sh runs them longer).
set(VITRELL_FUZZ_BUILD ${CMAKE_BINARY_DIR}/fuzz)

add_test(NAME fuzz.build COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --build ${VITRELL_FUZZ_BUILD})
set_tests_properties(fuzz.build PROPERTIES FIXTURES_SETUP fuzz_targets TIMEOUT 900)

file(GLOB vitrell_fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(source ${vitrell_fuzz_sources})
    get_filename_component(name ${source} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" name ${name})
    add_test(NAME fuzz.${name} COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --run ${VITRELL_FUZZ_BUILD} ${name} 15)
    set_tests_properties(fuzz.${name} PROPERTIES FIXTURES_REQUIRED fuzz_targets TIMEOUT 120 LABELS fuzz)
endforeach()
