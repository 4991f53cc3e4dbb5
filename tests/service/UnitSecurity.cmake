# SPDX-License-Identifier: MIT
# cmake -DSOURCE_DIR=<source tree> -DWORK_DIR=<scratch folder> -DMAX_EXPOSURE=<unit>=<figure>;... -P UnitSecurity.cmake
# The service's units as installed in /opt/sentrybell, rated by systemd's own offline analysis: fails
# when one is more exposed than its figure in MAX_EXPOSURE, or when systemd does not take a line of
# it (a mistyped option is ignored with a warning, and would leave a hole in the sandbox).
set(SENTRYBELL_PREFIX /opt/sentrybell)
set(SENTRYBELL_DATA ${SOURCE_DIR}/data)
set(SENTRYBELL_OUTPUT ${WORK_DIR})
file(REMOVE_RECURSE ${WORK_DIR})
include(${SOURCE_DIR}/cmake/InstallFiles.cmake)

find_program(SYSTEMD_ANALYZE systemd-analyze REQUIRED)
foreach(pair ${MAX_EXPOSURE})
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 unit)
    list(GET pair 1 most)
    execute_process(COMMAND ${SYSTEMD_ANALYZE} security --offline=true --no-pager ${WORK_DIR}/${unit}
                    OUTPUT_VARIABLE report ERROR_VARIABLE warnings RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR warnings)
        message(FATAL_ERROR "systemd-analyze security ${unit} (status ${status}):\n${warnings}")
    endif()
    if(NOT report MATCHES "Overall exposure level for ${unit}: ([0-9]+\\.[0-9])")
        message(FATAL_ERROR "no exposure level for ${unit} in:\n${report}")
    endif()
    set(exposure ${CMAKE_MATCH_1})
    if(exposure GREATER most)
        string(REGEX MATCHALL "\n✗[^\n]*" exposed "${report}")
        message(FATAL_ERROR "${unit}: exposure ${exposure}, above ${most}; what is open:${exposed}")
    endif()
    message(STATUS "${unit}: exposure ${exposure} (at most ${most})")
endforeach()
