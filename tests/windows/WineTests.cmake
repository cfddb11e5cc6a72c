# Builds tests/windows with the mingw-w64 toolchain and runs each tst_*.exe under wine64.
find_program(MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(WINE64 NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT WINE64)
    find_program(WINE64 NAMES wine64 wine)
endif()
if(NOT MINGW_CXX OR NOT WINE64)
    message(WARNING "mingw-w64 or wine64 missing: the Windows layer tests are not built")
    return()
endif()

include(ExternalProject)
set(WIN_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(tarnix_windows_layer
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/windows
    BINARY_DIR ${WIN_BUILD_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
               -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

# The 32-bit hwsensors.dll, for the 32-bit product: compiled as a check, never run (these
# machines run no 32-bit user code).
find_program(MINGW_CXX_I686 i686-w64-mingw32-g++-posix)
if(MINGW_CXX_I686)
    ExternalProject_Add(tarnix_hwsensors_i686
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/windows
        BINARY_DIR ${CMAKE_BINARY_DIR}/windows-i686
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
                   -DCMAKE_BUILD_TYPE=Release
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target hwsensors
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON)
else()
    message(WARNING "i686 mingw-w64 missing: the 32-bit hwsensors.dll is not built")
endif()

set(WINE_ENV WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
    "WINEDLLOVERRIDES=mscoree,mshtml=" WINEARCH=win64 DISPLAY=)
# The first start of wine creates its prefix; done once, as a fixture.
add_test(NAME wine_prefix
    COMMAND ${CMAKE_COMMAND} -E env ${WINE_ENV} ${WINE64} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 LABELS wine)

file(GLOB WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/windows/tst_*.cpp)
foreach(src ${WIN_TESTS})
    get_filename_component(name ${src} NAME_WE)
    add_test(NAME win_${name}
        COMMAND ${CMAKE_COMMAND} -E env ${WINE_ENV} ${WINE64} ${WIN_BUILD_DIR}/${name}.exe
        WORKING_DIRECTORY ${WIN_BUILD_DIR})
    set_tests_properties(win_${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 180 LABELS wine)
endforeach()

# The whole Windows product (Tarnix.exe with its stand-in DLLs) under wine, when a Windows Qt
# has been built: building that Qt takes long, so the test command never starts it.
if(DEFINED ENV{TARNIX_QT_WIN64})
    set(TARNIX_QT_WIN64 $ENV{TARNIX_QT_WIN64})
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(TARNIX_QT_WIN64 $ENV{XDG_CACHE_HOME}/tarnix/qt5-win64)
else()
    set(TARNIX_QT_WIN64 $ENV{HOME}/.cache/tarnix/qt5-win64)
endif()
if(EXISTS ${TARNIX_QT_WIN64}/.tarnix-complete)
    add_test(NAME windows_product
        COMMAND ${CMAKE_SOURCE_DIR}/tests/windows-product/run.sh ${CMAKE_BINARY_DIR}/windows-product)
    set_tests_properties(windows_product PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 1800
        ENVIRONMENT TARNIX_QT_WIN64=${TARNIX_QT_WIN64} LABELS "wine;windows-product;slow")
else()
    message(STATUS "Windows product not tested: no Windows Qt at ${TARNIX_QT_WIN64} "
                   "(scripts/build-qt-windows.sh win64 builds it)")
endif()
