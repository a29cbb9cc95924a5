# The layers beyond the native unit tests, registered with CTest so that one run counts them all:
# the MinGW-w64 cross builds (warnings as errors), the end-to-end tests of VITRELL.exe under Wine and the fuzz
# targets.
set(VITRELL_CROSS_ROOT ${CMAKE_BINARY_DIR}/cross)

foreach(arch win64 win32)
    add_test(NAME cross.build_${arch}
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/cross_build.sh ${arch} ${VITRELL_CROSS_ROOT}/${arch})
    set_tests_properties(cross.build_${arch} PROPERTIES FIXTURES_SETUP exe_${arch} TIMEOUT 900)
endforeach()

# Every C++ source agrees with .clang-format.
add_test(NAME format.check COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_format.sh)
set_tests_properties(format.check PROPERTIES TIMEOUT 120)

# The DLL imports of each exe against the committed list: nothing newer than the oldest Windows of the build.
foreach(arch win64 win32)
    add_test(NAME imports.${arch} COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check_imports.sh
                                          ${VITRELL_CROSS_ROOT}/${arch}/VITRELL.exe ${arch})
    set_tests_properties(imports.${arch} PROPERTIES FIXTURES_REQUIRED exe_${arch} TIMEOUT 60)
endforeach()

include(${CMAKE_SOURCE_DIR}/tests/e2e/register.cmake OPTIONAL)
include(${CMAKE_SOURCE_DIR}/tests/fuzz/register.cmake)
include(${CMAKE_SOURCE_DIR}/tests/help/register.cmake)

# The benchmarks in their quick mode: every section must still run and print its figures.
add_test(NAME bench.quick COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/bench_check.sh ${VITRELL_CROSS_ROOT})
set_tests_properties(bench.quick PROPERTIES FIXTURES_REQUIRED "exe_win64;exe_win32" RESOURCE_LOCK vitrell_desktop
                     TIMEOUT 600)

# The benchmark programs (scripts/bench.sh builds and runs them).
add_subdirectory(${CMAKE_SOURCE_DIR}/tests/bench ${CMAKE_BINARY_DIR}/bench)
