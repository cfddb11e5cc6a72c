# tarnix_headers(<target> [PUBLIC <headers...>] [PRIVATE <headers...>] [INTERNALS])
#
# Stages a library's headers under the build tree, each at its path from the source root
# ("app/Monitor.h", "appdata/DDataManager.h"), so that every #include keeps its spelling while a
# target sees only its own headers and the public headers of what it links:
#   PUBLIC   ${CMAKE_BINARY_DIR}/include/<target>, the target's exported include directory;
#   PRIVATE  ${CMAKE_BINARY_DIR}/private-include/<target>, seen by the target's own sources.
# INTERNALS adds <target>_internals, an INTERFACE target that also shows the private headers;
# only tests link it.
# Headers are given relative to the current source folder, or as absolute paths.
include_guard(GLOBAL)

# The repository's root, also when the Windows layer is configured as a project of its own.
get_filename_component(TARNIX_HEADERS_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# Makes <dir> hold exactly <headers>, linked (or copied) at their path from the root.
function(_tarnix_stage_headers dir)
    set(wanted)
    foreach(header ${ARGN})
        get_filename_component(source "${header}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        file(RELATIVE_PATH relative "${TARNIX_HEADERS_ROOT}" "${source}")
        if(relative MATCHES "^\\.\\./")
            message(FATAL_ERROR "tarnix_headers: ${source} lies outside ${TARNIX_HEADERS_ROOT}")
        endif()
        set(staged "${dir}/${relative}")
        list(APPEND wanted "${staged}")
        get_filename_component(staged_dir "${staged}" DIRECTORY)
        file(MAKE_DIRECTORY "${staged_dir}")
        file(CREATE_LINK "${source}" "${staged}" SYMBOLIC COPY_ON_ERROR)
        if(NOT IS_SYMLINK "${staged}")
            # A copy goes stale when the header changes: configure again then.
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
        endif()
    endforeach()
    # A header dropped from the list must not stay reachable through an old link.
    file(GLOB_RECURSE present LIST_DIRECTORIES false "${dir}/*")
    foreach(old ${present})
        if(NOT old IN_LIST wanted)
            file(REMOVE "${old}")
        endif()
    endforeach()
endfunction()

function(tarnix_headers target)
    cmake_parse_arguments(H "INTERNALS" "" "PUBLIC;PRIVATE" ${ARGN})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    else()
        set(scope PUBLIC)
    endif()

    set(public_dir "${CMAKE_BINARY_DIR}/include/${target}")
    _tarnix_stage_headers("${public_dir}" ${H_PUBLIC})
    target_include_directories(${target} ${scope} "$<BUILD_INTERFACE:${public_dir}>")

    # The private view is a staged folder too rather than the whole source root: the
    # build then also fails when a library's own sources reach into another's private headers.
    if(H_PRIVATE OR H_INTERNALS)
        set(private_dir "${CMAKE_BINARY_DIR}/private-include/${target}")
        _tarnix_stage_headers("${private_dir}" ${H_PRIVATE})
        if(NOT scope STREQUAL "INTERFACE")
            target_include_directories(${target} PRIVATE "${private_dir}")
        endif()
    endif()
    if(H_INTERNALS)
        add_library(${target}_internals INTERFACE)
        target_include_directories(${target}_internals INTERFACE "$<BUILD_INTERFACE:${private_dir}>")
        target_link_libraries(${target}_internals INTERFACE ${target})
    endif()
endfunction()
