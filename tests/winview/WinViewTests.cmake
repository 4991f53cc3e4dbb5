# SPDX-License-Identifier: MIT
# The Win32 view and the Windows program, under Wine on the display scripts/test-windows provides:
# the view's test program, the end-to-end run of sentrybell.exe, and the installer's run. They share
# Wine's one desktop (focus, the foreground window, the notification area), so they run one at a time.

# A recorder standing in for iisreset.exe (and for any program the shell is asked to start).
add_executable(iisreset_recorder ${CMAKE_CURRENT_LIST_DIR}/recorder/IisResetRecorder.cpp)
set_target_properties(iisreset_recorder PROPERTIES OUTPUT_NAME iisreset
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/recorder)
target_link_libraries(iisreset_recorder PRIVATE shell32)
sentrybell_warnings(iisreset_recorder)

sentrybell_test(winview_tests winview sentrybell_winview sentrybell_winapp version)
target_sources(winview_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../win/WinTestFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winview_tests.rc)
target_compile_definitions(winview_tests PRIVATE SENTRYBELL_RECORDER_EXE="$<TARGET_FILE:iisreset_recorder>"
    SENTRYBELL_VERSION="${PROJECT_VERSION}")
add_dependencies(winview_tests iisreset_recorder sentrybell)

set(desktop_lock ${CMAKE_CURRENT_BINARY_DIR}/winview_desktop_lock.cmake)
file(WRITE ${desktop_lock}
    "if(winview_tests_TESTS)\n"
    "  set_tests_properties(\${winview_tests_TESTS} PROPERTIES RESOURCE_LOCK wine_desktop)\n"
    "endif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${desktop_lock})
