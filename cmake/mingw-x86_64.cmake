# The same sources built for x86_64. Only used to run the tests and the program under
# 64-bit Wine where 32-bit processes cannot run; the XP deliverable is the i686 build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MARVENTO_MINGW_TRIPLE x86_64-w64-mingw32)
set(MARVENTO_SUBSYSTEM_VERSION 5.02)
set(MARVENTO_MANIFEST_ARCH amd64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
