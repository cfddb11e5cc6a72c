# The arm64 build of this tree, cross-compiled against Debian's arm64 multiarch packages
# (build/arm64, as scripts/build-arm64.sh makes it), and two checks on it, label "arm64":
# arm64_deb packages it and checks the package, arm64_runs runs its programs under qemu-user
# and compares what they produce with this build's. Off unless TARNIX_ARM64_TESTS is on.
if(NOT TARNIX_ARM64_TESTS)
    return()
endif()
find_program(AARCH64_CXX aarch64-linux-gnu-g++)
find_program(QEMU_AARCH64 NAMES qemu-aarch64-static qemu-aarch64)
if(NOT AARCH64_CXX OR NOT QEMU_AARCH64)
    message(FATAL_ERROR "TARNIX_ARM64_TESTS: g++-aarch64-linux-gnu or qemu-user-static "
                        "missing (scripts/install-deps.sh installs them)")
endif()
# The program that feeds the display in arm64_runs, from both builds.
set(TARNIX_ARM64_FEEDER "tarnixd" CACHE STRING
    "The executable that arm64_runs drives with the scripted sensors and the hidapi double")

include(ExternalProject)
# Every target of the arm64 build (so each new program is cross-built too); the outer make's
# job server reaches it only through $(MAKE).
if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(arm64_build_command "$(MAKE)")
else()
    set(arm64_build_command ${CMAKE_COMMAND} --build .)
endif()
ExternalProject_Add(tarnix_arm64
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/arm64
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/aarch64-linux-gnu.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DTARNIX_BUILD_TESTS=OFF -DTARNIX_TEST_DOUBLES=ON
               -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
               -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
    BUILD_COMMAND ${arm64_build_command}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

add_test(NAME arm64_deb
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/arm64/check-deb.sh ${CMAKE_BINARY_DIR}/arm64
            ${CMAKE_BINARY_DIR}/arm64/package)
# About a minute, most of it lintian.
set_tests_properties(arm64_deb PROPERTIES LABELS "arm64;slow" TIMEOUT 600)
add_test(NAME arm64_runs
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/arm64/compare-runs.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_BINARY_DIR}/arm64 ${CMAKE_SOURCE_DIR})
set_tests_properties(arm64_runs PROPERTIES LABELS arm64 TIMEOUT 600
    ENVIRONMENT "TARNIX_ARM64_FEEDER=${TARNIX_ARM64_FEEDER}")
