# SPDX-License-Identifier: MIT
# AddressSanitizer and UndefinedBehaviorSanitizer for the Linux test build. They apply to the whole
# tree (our code, GoogleTest, the test programs) so that an error in any of our frames is caught;
# what Qt and the system libraries leak is suppressed in tests/sanitizers/lsan.supp.
option(SENTRYBELL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(SENTRYBELL_SANITIZE AND WIN32)
    message(FATAL_ERROR "mingw-w64 has no sanitizer runtimes: build the Windows tree without SENTRYBELL_SANITIZE")
endif()

if(SENTRYBELL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
