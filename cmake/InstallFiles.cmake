# SPDX-License-Identifier: MIT
# The files that name the install folder, configured for it: by cmake --install (and so by the
# package) when installing, and by the tests that check them as installed.
#
#   SENTRYBELL_PREFIX   the install folder
#   SENTRYBELL_DATA     the source tree's data/ folder
#   SENTRYBELL_OUTPUT   where the configured files go
foreach(name SETTING.ini.example sentrybell.desktop sentrybell.service sentrybell-recovery.service
        sentrybell-recovery.path)
    configure_file("${SENTRYBELL_DATA}/${name}.in" "${SENTRYBELL_OUTPUT}/${name}" @ONLY)
endforeach()
