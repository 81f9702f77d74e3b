# googletest for a Windows cross build: GTest::gtest and GTest::gtest_main.
#
# Debian ships googletest for Linux only, and its source in /usr/src/googletest
# (package googletest). On the first configure of a build folder that source
# is built with this build's toolchain and installed into
# <build>/googletest; later configures find it there. Delete that folder to
# build it again. HUSHGATE_GOOGLETEST_SOURCE names another source folder.

find_package(GTest CONFIG QUIET)  # one installed for MinGW wins
if(GTest_FOUND)
    return()
endif()

set(HUSHGATE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "googletest source, built for the Windows test programs")
set(_gtest_prefix ${CMAKE_BINARY_DIR}/googletest)
set(_gtest_config ${_gtest_prefix}/lib/cmake/GTest/GTestConfig.cmake)

if(NOT EXISTS ${_gtest_config})
    if(NOT EXISTS ${HUSHGATE_GOOGLETEST_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "no googletest source in ${HUSHGATE_GOOGLETEST_SOURCE} "
                            "(Debian package googletest)")
    endif()
    message(STATUS "Building googletest for Windows into ${_gtest_prefix}")
    # A relative toolchain path means the build folder's, else the source's.
    set(_gtest_toolchain ${CMAKE_TOOLCHAIN_FILE})
    if(NOT IS_ABSOLUTE "${_gtest_toolchain}")
        if(EXISTS ${CMAKE_BINARY_DIR}/${_gtest_toolchain})
            set(_gtest_toolchain ${CMAKE_BINARY_DIR}/${_gtest_toolchain})
        else()
            set(_gtest_toolchain ${CMAKE_SOURCE_DIR}/${_gtest_toolchain})
        endif()
    endif()
    # Its own compiler flags, not ours: our warnings are for our code.
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${HUSHGATE_GOOGLETEST_SOURCE} -B ${_gtest_prefix}/build
                -G ${CMAKE_GENERATOR}
                -DCMAKE_TOOLCHAIN_FILE=${_gtest_toolchain}
                -DCMAKE_BUILD_TYPE=  # unoptimised: builds fastest, and its speed hardly matters
                -DCMAKE_INSTALL_PREFIX=${_gtest_prefix}
                -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
                -DBUILD_GMOCK=OFF
                -DINSTALL_GTEST=ON
        OUTPUT_QUIET
        RESULT_VARIABLE _gtest_result)
    if(_gtest_result EQUAL 0)
        cmake_host_system_information(RESULT _gtest_jobs QUERY NUMBER_OF_LOGICAL_CORES)
        execute_process(
            COMMAND ${CMAKE_COMMAND} --build ${_gtest_prefix}/build --target install
                    --parallel ${_gtest_jobs}
            OUTPUT_QUIET
            RESULT_VARIABLE _gtest_result)
    endif()
    if(NOT _gtest_result EQUAL 0)
        message(FATAL_ERROR "building googletest for Windows failed (${_gtest_result}); "
                            "see ${_gtest_prefix}/build")
    endif()
endif()

# The prefix lies outside the MinGW root, which the toolchain confines
# package searches to.
find_package(GTest CONFIG REQUIRED PATHS ${_gtest_prefix} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
