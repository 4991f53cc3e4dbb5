# SPDX-License-Identifier: MIT
# Warnings for every target of ours. They are enforced: SENTRYBELL_WERROR turns them into errors,
# and scripts/test always builds with it.
option(SENTRYBELL_WERROR "Treat compiler warnings as errors" ON)

function(sentrybell_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
        -Wconversion -Wsign-conversion -Wformat=2 -Wno-psabi)
    if(SENTRYBELL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
