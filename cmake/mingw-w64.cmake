# Cross-compiles for 64-bit Windows with MinGW-w64 from Linux:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Test programs then run under Wine (scripts/test-windows.sh does it all).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)

# The posix-threads flavour of the compilers where it is installed: its
# standard library has std::thread and std::mutex, and googletest needs them.
# (The plain names point at whichever flavour the system chose.)
foreach(_tool IN ITEMS gcc g++)
    find_program(_hushgate_mingw_${_tool} NAMES ${MINGW_PREFIX}-${_tool}-posix ${MINGW_PREFIX}-${_tool}
                 NO_CACHE)
endforeach()
set(CMAKE_C_COMPILER ${_hushgate_mingw_gcc})
set(CMAKE_CXX_COMPILER ${_hushgate_mingw_g++})
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 (Debian 12's MinGW) warns wrongly that "text" + std::string may copy
# overlapping memory (-Wrestrict) when optimising (GCC bug 105329, fixed in
# GCC 13); the Windows stage builds optimised, as shipped.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# The programs then run without the MinGW runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest (and test discovery) run the Windows programs through Wine, in the
# prefix named by WINEPREFIX or else in a scratch prefix inside the build
# folder. Give -DCMAKE_CROSSCOMPILING_EMULATOR=... to use something else.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(_hushgate_wine NAMES wine wine64 NO_CACHE)
    if(_hushgate_wine)
        set(CMAKE_CROSSCOMPILING_EMULATOR
            ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
    endif()
endif()
