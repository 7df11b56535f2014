# Each library exports the headers of its own folder and no other, so that a dependency
# pointing the wrong way (the core including the window, the shared window code including
# a toolkit) fails to compile. Sources include headers by their path from the top of the
# tree ("substitution/split.h"): each library gets an include root of its own in the build
# tree that holds a link to its folder only.
function(mardovane_export_headers target folder)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    elseif(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
