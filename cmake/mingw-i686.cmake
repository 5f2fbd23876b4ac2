# Cross build of the Windows XP program with MinGW-w64 (i686, win32 threads).
# Targets XP: API level 0x0501, PE subsystem version 5.01, libgcc and libstdc++
# linked in, so Marvento.exe needs nothing but the DLLs that XP ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MARVENTO_MINGW_TRIPLE i686-w64-mingw32)
set(MARVENTO_SUBSYSTEM_VERSION 5.01)
set(MARVENTO_MANIFEST_ARCH X86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
