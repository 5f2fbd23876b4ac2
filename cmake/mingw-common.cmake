# Shared part of the MinGW-w64 toolchain files; expects MARVENTO_MINGW_TRIPLE,
# MARVENTO_SUBSYSTEM_VERSION and MARVENTO_MANIFEST_ARCH.
set(_triple ${MARVENTO_MINGW_TRIPLE})

# The win32 thread model: the posix one links libwinpthread, which imports
# GetTickCount64, a Vista function, so the program would not start on XP.
find_program(_cxx NAMES ${_triple}-g++-win32 ${_triple}-g++ REQUIRED)
find_program(_cc NAMES ${_triple}-gcc-win32 ${_triple}-gcc REQUIRED)
find_program(_rc NAMES ${_triple}-windres REQUIRED)
set(CMAKE_CXX_COMPILER ${_cxx})
set(CMAKE_C_COMPILER ${_cc})
set(CMAKE_RC_COMPILER ${_rc})

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -D_WIN32_IE=0x0600")
set(CMAKE_C_FLAGS_INIT "${CMAKE_CXX_FLAGS_INIT}")
string(REPLACE "." ";" _ver "${MARVENTO_SUBSYSTEM_VERSION}")
list(GET _ver 0 _major)
list(GET _ver 1 _minor)
math(EXPR _minor "${_minor}")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--major-subsystem-version,${_major} -Wl,--minor-subsystem-version,${_minor} -Wl,--major-os-version,${_major} -Wl,--minor-os-version,${_minor}")
# No link time in the PE header: the same sources give the same bytes (release zips).
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--no-insert-timestamp")
# Release programs without symbol tables (40% smaller): the test build and the release
# zip link the same programs, so the zip's first build can be the test build.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# ctest runs the cross-built tests through Wine (prefix and display from the caller).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
