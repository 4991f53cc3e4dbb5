# SPDX-License-Identifier: MIT
# Cross-build for 64-bit Windows with Debian's mingw-w64. The -posix compilers carry the threading
# model that std::thread and std::mutex need; the runtime is linked statically, so each .exe stands
# alone and needs nothing beside it but the system's own DLLs.
#
#   cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCURL_DIR=<curl prefix>/lib/cmake/CURL
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SENTRYBELL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SENTRYBELL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SENTRYBELL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SENTRYBELL_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the Windows side only; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SENTRYBELL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
