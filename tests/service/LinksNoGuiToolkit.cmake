# SPDX-License-Identifier: MIT
# cmake -DPROGRAM=<path> -P LinksNoGuiToolkit.cmake
# Fails when the program loads a GUI toolkit or a display library, directly or through a library it
# links: the service runs on servers without a desktop, and a toolkit would cost it several times its
# memory.
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd ${PROGRAM} failed (${status})")
endif()
string(REGEX MATCHALL "[^\n]*(libQt|libgtk|libX11|libxcb|libwayland|libGL)[^\n]*" toolkit "${libraries}")
if(toolkit)
    message(FATAL_ERROR "${PROGRAM} loads a GUI toolkit:\n${toolkit}")
endif()
message(STATUS "${PROGRAM} loads no GUI toolkit")
