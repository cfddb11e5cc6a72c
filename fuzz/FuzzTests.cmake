# The fuzz targets, built with clang and libFuzzer in build/fuzz (this same tree with
# TARNIX_SANITIZE=fuzzer), and one CTest entry per target that fuzzes it briefly from its
# corpus. Longer runs by hand: fuzz/run.sh TARGET SECONDS.
find_program(TARNIX_CLANGXX NAMES clang++ clang++-14)
find_program(TARNIX_CLANG NAMES clang clang-14)
if(NOT TARNIX_CLANGXX OR NOT TARNIX_CLANG)
    message(WARNING "clang missing: the fuzz targets are not built")
    return()
endif()

include(ExternalProject)
if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(fuzz_build "$(MAKE)" tarnix_fuzz_targets)
else()
    set(fuzz_build ${CMAKE_COMMAND} --build . --target tarnix_fuzz_targets)
endif()
ExternalProject_Add(tarnix_fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${TARNIX_CLANGXX} -DCMAKE_C_COMPILER=${TARNIX_CLANG}
               -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g"
               -DTARNIX_SANITIZE=fuzzer -DTARNIX_BUILD_TESTS=OFF
    BUILD_COMMAND ${fuzz_build}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

set(TARNIX_FUZZ_SECONDS 10 CACHE STRING "How long each fuzz target runs in the test command")
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    string(REGEX REPLACE "^fuzz_" "" name ${name})
    add_test(NAME fuzz_${name}
        COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run.sh ${name} ${TARNIX_FUZZ_SECONDS} ${CMAKE_BINARY_DIR})
    set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz
        TIMEOUT 300)
endforeach()
