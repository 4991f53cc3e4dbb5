# SPDX-License-Identifier: MIT
# The install: one portable folder (the program and everything it expects beside itself), plus the
# desktop entry and the service unit where the system looks for them; and the .deb that carries it.
#
#   cmake --install <build>                  the folder at CMAKE_INSTALL_PREFIX (/opt/sentrybell)
#   cmake --install <build> --prefix <dir>   another folder; the generated files name that folder
#   cd <build> && cpack -G DEB               sentrybell_<version>_<arch>.deb (see scripts/package)

set(SENTRYBELL_DESKTOP_ENTRY_DIR /usr/share/applications
    CACHE STRING "Where cmake --install puts the desktop entry (empty: not installed)")
set(SENTRYBELL_SYSTEMD_UNIT_DIR /lib/systemd/system
    CACHE STRING "Where cmake --install puts the service's units (empty: not installed)")

# The files that name the install folder are made when installing, so that --prefix and the
# package's prefix both come out right.
set(generated ${CMAKE_BINARY_DIR}/install-files)
install(CODE "
    set(SENTRYBELL_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(SENTRYBELL_DATA \"${PROJECT_SOURCE_DIR}/data\")
    set(SENTRYBELL_OUTPUT \"${generated}\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/InstallFiles.cmake\")
")
# The service and the root side of its recovery (see data/sentrybell-recovery.service.in).
set(units ${generated}/sentrybell.service ${generated}/sentrybell-recovery.service
    ${generated}/sentrybell-recovery.path)

# The folder. (The programs, the iisreset script and the documents the contact labels open are
# installed by src/app and src/service.)
install(FILES ${generated}/SETTING.ini.example ${PROJECT_SOURCE_DIR}/data/sentrybell.svg DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION doc)
install(FILES ${PROJECT_SOURCE_DIR}/docs/sentrybell-window.png DESTINATION doc/docs)
# Copies of the system files, and the sudoers rule the package installs after checking it.
install(FILES ${generated}/sentrybell.desktop ${units} ${PROJECT_SOURCE_DIR}/data/sentrybell.sudoers
        DESTINATION system)

if(SENTRYBELL_DESKTOP_ENTRY_DIR)
    install(FILES ${generated}/sentrybell.desktop DESTINATION ${SENTRYBELL_DESKTOP_ENTRY_DIR})
endif()
if(SENTRYBELL_SYSTEMD_UNIT_DIR)
    install(FILES ${units} DESTINATION ${SENTRYBELL_SYSTEMD_UNIT_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sentrybell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Sentrybell maintainers <sentrybell@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watchdog that restarts a web server and mails its operator")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sentrybell fetches a check page of the web server at a fixed interval, logs every failure,\n"
    "and at the second failure in a row restarts the web server (or reboots the machine) and\n"
    "mails the failure lines to the operator. It runs in a window with a tray icon, or as a\n"
    "service on a server without a desktop (sentrybelld, watched by systemd). Installed in\n"
    "/opt/sentrybell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/sentrybell)
# The desktop entry and the unit lie outside the prefix: stage the whole tree under DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# iisreset goes through sudo when not run by root; the captions are Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "sudo, passwd")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, systemd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/data/debian/postinst ${PROJECT_SOURCE_DIR}/data/debian/prerm
    ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
