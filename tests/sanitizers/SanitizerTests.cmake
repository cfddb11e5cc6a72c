# The tests once more, in two instrumented builds of this same tree: build/asan (ASan+UBSan,
# every unit and end-to-end test) and build/tsan (TSan, the tests that run threads). Each
# builds only the tests and what they start; one CTest entry per build and label runs the
# sub-build's own tests. Any report fails the entry.
include(ExternalProject)

set(SANITIZER_DIR ${CMAKE_CURRENT_LIST_DIR})
# Optimised a little: the instrumented code runs the same timers as the plain build.
set(SANITIZER_BUILD_ARGS -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g"
    "-DCMAKE_C_FLAGS_DEBUG=-O1 -g" -DTARNIX_BUILD_TESTS=ON -DTARNIX_WINDOWS_TESTS=OFF
    -DTARNIX_SANITIZER_TESTS=OFF
    -DTARNIX_FUZZ_TESTS=OFF -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
    -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER})

# The outer make's job server reaches the sub-build only through $(MAKE).
function(tarnix_sub_build_command out target)
    if(CMAKE_GENERATOR MATCHES "Makefiles")
        set(${out} "$(MAKE)" ${target} PARENT_SCOPE)
    else()
        set(${out} ${CMAKE_COMMAND} --build . --target ${target} PARENT_SCOPE)
    endif()
endfunction()

tarnix_sub_build_command(asan_build tarnix_tests_all)
ExternalProject_Add(tarnix_asan
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/asan
    CMAKE_ARGS ${SANITIZER_BUILD_ARGS} -DTARNIX_SANITIZE=address
    BUILD_COMMAND ${asan_build}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

tarnix_sub_build_command(tsan_build tarnix_tests_threaded)
ExternalProject_Add(tarnix_tsan
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/tsan
    CMAKE_ARGS ${SANITIZER_BUILD_ARGS} -DTARNIX_SANITIZE=thread
    BUILD_COMMAND ${tsan_build}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

# halt_on_error makes any report end the process with a failure; the suppression files
# name Qt's and the system libraries' own findings only, never ours.
set(ASAN_ENV
    "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
    "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=${SANITIZER_DIR}/ubsan.supp"
    "LSAN_OPTIONS=suppressions=${SANITIZER_DIR}/lsan.supp:print_suppressions=0")
set(TSAN_ENV
    "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${SANITIZER_DIR}/tsan.supp:print_suppressions=0")

function(tarnix_sanitized_test name dir labels timeout env)
    add_test(NAME ${name}
        COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${CMAKE_BINARY_DIR}/${dir}
                --output-on-failure --no-tests=error -L ${labels} ${ARGN})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${timeout}
        LABELS sanitizer)
endfunction()

tarnix_sanitized_test(asan_unit asan "^unit$" 900 "${ASAN_ENV}")
# Tests on a real X server (label xcb) stay out: libxkbcommon-x11 reads a keymap name with
# strndup past its allocation, which strict_string_checks reports inside the library before our
# code has run.
tarnix_sanitized_test(asan_endtoend asan "^endtoend$" 600 "${ASAN_ENV}" -LE "xcb|slow")
# The crash-restart test waits out a real minute of uptime; once under ASan is enough, and it
# is left out with the other slow entries (-LE slow).
tarnix_sanitized_test(asan_slow asan "^slow$" 600 "${ASAN_ENV}" -LE xcb)
set_tests_properties(asan_slow PROPERTIES LABELS "sanitizer;slow")
# Nor those with a real session bus (label sessionbus): Qt's D-Bus thread then runs libdbus and
# glib, whose own locks TSan cannot see.
tarnix_sanitized_test(tsan_threaded tsan "^(polling|transport|controller|endtoend)$" 900
    "${TSAN_ENV}" -LE "slow|xcb|sessionbus")
