# SPDX-License-Identifier: MIT
# Warnings for every target of ours. They are enforced: SENTRYBELL_WERROR turns them into errors,
# and scripts/test always builds with it.
option(SENTRYBELL_WERROR "Treat compiler warnings as errors" ON)

function(sentrybell_warnings target)
    set(flags -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
        -Wconversion -Wsign-conversion -Wformat=2 -Wno-psabi)
    if(SENTRYBELL_WERROR)
        list(APPEND flags -Werror)
    endif()
    # C++ only: a Windows target's resource script goes to the resource compiler, which takes none.
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${flags}>")
endfunction()
