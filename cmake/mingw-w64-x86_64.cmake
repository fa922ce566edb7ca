# Cross-builds the Windows tool on Linux with the posix-thread flavour of
# mingw-w64 (it has std::thread) and runs the result through Wine, so that
# add_test and gtest_discover_tests work unchanged.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${BRK_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A fully static .exe imports only Windows' own DLLs; without -static the
# result needs libwinpthread-1.dll, which neither Windows nor Wine has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# -static alone still takes zlib's import library when one is installed, and
# the .exe then needs zlib1.dll: Wine has one of its own, Windows does not.
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run through Wine by way of a wrapper that starts a program once more
# when Wine failed to start it at all (see the script).
get_filename_component(BRK_WINE_TEST_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-test-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${BRK_WINE_TEST_RUN})
