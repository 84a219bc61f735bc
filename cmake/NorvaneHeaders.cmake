# norvane_export_headers(target name [FOLDER folder]): the target and whatever links it include
# the headers of `folder` (default: the current source folder) as "name/Header.h", and nothing
# beside them. The include root handed out is a build-tree folder of the target's own that holds
# a single link, name -> folder, so no library exposes its parent folder or its siblings.
function(norvane_export_headers target name)
    cmake_parse_arguments(ARG "" "FOLDER" "" ${ARGN})
    if(NOT ARG_FOLDER)
        set(ARG_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${name} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${ARG_FOLDER} ${root}/${name} SYMBOLIC)
    get_target_property(roots ${target} INTERFACE_INCLUDE_DIRECTORIES)
    if(NOT roots OR NOT root IN_LIST roots)
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
