# Source paths in log lines, assertions and debug information are written relative to the
# project, as reproducible builds do, instead of as the folders of the machine that built it:
# a log line names "app/Monitor.cpp", wherever the tree was checked out.
#   tarnix_relative_paths(<project's top folder>)
function(tarnix_relative_paths root)
    add_compile_options(-ffile-prefix-map=${root}/=)
    # Generated sources (moc, uic, rcc) lie in the build folder; outside the tree it is
    # written as "build/".
    file(RELATIVE_PATH from_root ${root} ${CMAKE_BINARY_DIR})
    if(from_root MATCHES "^\\.\\.")
        add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/)
    endif()
endfunction()
