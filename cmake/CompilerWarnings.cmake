# SPDX-License-Identifier: MIT
# Warnings for every target of ours. They are enforced: SENTRYBELL_WERROR turns them into errors,
# and scripts/test always builds with it.
option(SENTRYBELL_WERROR "Treat compiler warnings as errors" ON)

function(sentrybell_warnings target)
    set(flags -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
        -Wconversion -Wsign-conversion -Wformat=2 -Wno-psabi)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # GCC 12 at -O3 reports std::string's own memcpy in operator+ as overlapping (GCC bug 105651),
        # which stops a Release build; at the test build's -O0 the warning finds nothing anyway.
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(SENTRYBELL_WERROR)
        list(APPEND flags -Werror)
    endif()
    # C++ only: a Windows target's resource script goes to the resource compiler, which takes none.
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${flags}>")
endfunction()
