# SPDX-License-Identifier: MIT
# Windows test programs of a cross-build run under Wine, through a small wrapper that gives every run
# the tree's own Wine prefix (never the user's ~/.wine) and the Japanese locale, under which Wine's
# ANSI code page is 932 (Shift-JIS), as on the systems the program's texts are written for, in
# their time zone.
# The prefix must have been created (wineboot -i) and its server started and warmed (wineserver -p,
# then one wineboot) before ctest runs: scripts/test-windows does that.
set(SENTRYBELL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the Windows tests")
set(SENTRYBELL_WINE_LOCALE ja_JP.UTF-8 CACHE STRING "Locale the Windows tests run in")
# A zone other than UTC, so that a test can tell local time from universal time.
set(SENTRYBELL_WINE_TIMEZONE Asia/Tokyo CACHE STRING "Time zone the Windows tests run in")

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(SENTRYBELL_WINE wine REQUIRED)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
    set(SENTRYBELL_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
    # ctest's runs are GoogleTest programs; see the wrapper for what --test changes.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SENTRYBELL_WINE_RUN} --test)
else()
    set(SENTRYBELL_WINE_RUN ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
