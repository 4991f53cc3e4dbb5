# SPDX-License-Identifier: MIT
# The Win32 view and the Windows program, under Wine on the display scripts/test-windows provides:
# the view's test program, the end-to-end run of sentrybell.exe, and the installer's run. They share
# Wine's one desktop (focus, the foreground window, the notification area), so they run one at a time.

# imm32: the key filter tests commit text as an input method does.
sentrybell_test(winview_tests winview sentrybell_winview version imm32)
target_sources(winview_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../win/WinFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winview_tests.rc)
# The iisreset.exe recorder of the adapter tests stands in for any program the shell is asked to start.
target_compile_definitions(winview_tests PRIVATE SENTRYBELL_RECORDER_EXE="$<TARGET_FILE:iisreset_recorder>"
    SENTRYBELL_VERSION="${PROJECT_VERSION}")
add_dependencies(winview_tests iisreset_recorder sentrybell)

set(desktop_lock ${CMAKE_CURRENT_BINARY_DIR}/winview_desktop_lock.cmake)
file(WRITE ${desktop_lock}
    "if(winview_tests_TESTS)\n"
    "  set_tests_properties(\${winview_tests_TESTS} PROPERTIES RESOURCE_LOCK wine_desktop)\n"
    "endif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${desktop_lock})

# Looks at the running program from outside: its window, its tray icon, its caption.
add_executable(window_probe ${CMAKE_CURRENT_LIST_DIR}/probe/WindowProbe.cpp)
set_target_properties(window_probe PROPERTIES OUTPUT_NAME sentrybell-probe
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/recorder)
target_link_libraries(window_probe PRIVATE shell32)
target_link_options(window_probe PRIVATE -municode)
sentrybell_warnings(window_probe)

# The real sentrybell.exe under Wine against a loopback web server and aiosmtpd, and the installer's
# silent install and uninstall. Both are Python, run by the build machine's interpreter (Debian's, for
# aiosmtpd); they start the Windows programs through the tree's wine-run.
set(windows_program_environment
    SENTRYBELL_APP_DIR=${SENTRYBELL_APP_DIR}
    SENTRYBELL_SOURCE_DIR=${PROJECT_SOURCE_DIR}
    SENTRYBELL_BUILD_DIR=${CMAKE_BINARY_DIR}
    SENTRYBELL_WINE_RUN=${SENTRYBELL_WINE_RUN}
    SENTRYBELL_WINEPREFIX=${SENTRYBELL_WINEPREFIX}
    SENTRYBELL_RECORDER=$<TARGET_FILE:iisreset_recorder>
    SENTRYBELL_PROBE=$<TARGET_FILE:window_probe>
    SENTRYBELL_VERSION=${PROJECT_VERSION})
add_test(NAME WindowsProgram.EndToEnd COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/end_to_end.py)
add_test(NAME WindowsProgram.Installer COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/installer_test.py)
set_tests_properties(WindowsProgram.EndToEnd WindowsProgram.Installer PROPERTIES
    ENVIRONMENT "${windows_program_environment}" RESOURCE_LOCK "wine_desktop;system32_iisreset" TIMEOUT 240)
add_dependencies(winview_tests window_probe)
