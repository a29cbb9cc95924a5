# Registers the installers' test with CTest (native configuration): scripts/release.sh packs the cross builds of
# cross.build_win64 and cross.build_win32 into both setups and the manifests, and the 64-bit setup is installed,
# used, upgraded and uninstalled under Wine in a prefix and X screen of its own.
add_test(NAME installer.win64 COMMAND bash ${CMAKE_SOURCE_DIR}/tests/installer/installer_test.sh ${VITRELL_CROSS_ROOT}
                                      ${CMAKE_BINARY_DIR}/installer)
set_tests_properties(installer.win64 PROPERTIES FIXTURES_REQUIRED "exe_win64;exe_win32" RESOURCE_LOCK vitrell_desktop
                     TIMEOUT 600 LABELS installer)
