# The layers of the program and what each may see.
#
# Every folder of src/ is one layer and one target. A layer's sources find
# headers as "platform/X.h", "gif/Y.h"... through an include root of its own
# in the build tree: a folder of links to its own source folder and to the
# folders of the layers it depends on, and nothing else. So a header of a
# layer above, or of a layer that was not asked for, is a build error where
# it is written, not a tangle found later.
#
#   animora_layer(<target> <folder> [INTERFACE | EXECUTABLE]
#                 [DEPENDS <layer targets>...]          public: users see them too
#                 [PRIVATE_DEPENDS <layer targets>...]  for the layer's own sources)
#
# Libraries from elsewhere (Qt, libjpeg, FFmpeg) are linked with an ordinary
# target_link_libraries line after the call; their headers stay SYSTEM.

set(ANIMORA_SOURCE_ROOT "${PROJECT_SOURCE_DIR}/src")
set(ANIMORA_INCLUDE_ROOTS "${PROJECT_BINARY_DIR}/include-roots")

# The folders a target's include root links to: its own and those of every
# layer it depends on, directly or not.
function(_animora_layer_folders out folder)
    set(folders ${folder})
    foreach(dependency IN LISTS ARGN)
        if(NOT TARGET ${dependency})
            message(FATAL_ERROR "animora_layer: ${dependency} is not defined yet (layers are added bottom up)")
        endif()
        get_target_property(seen ${dependency} ANIMORA_LAYER_FOLDERS)
        if(seen)
            list(APPEND folders ${seen})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES folders)
    set(${out} ${folders} PARENT_SCOPE)
endfunction()

function(_animora_include_root out name)
    set(root "${ANIMORA_INCLUDE_ROOTS}/${name}")
    file(REMOVE_RECURSE "${root}")
    file(MAKE_DIRECTORY "${root}")
    foreach(folder IN LISTS ARGN)
        file(CREATE_LINK "${ANIMORA_SOURCE_ROOT}/${folder}" "${root}/${folder}" SYMBOLIC)
    endforeach()
    set(${out} "${root}" PARENT_SCOPE)
endfunction()

function(animora_layer target folder)
    cmake_parse_arguments(ARG "INTERFACE;EXECUTABLE" "" "DEPENDS;PRIVATE_DEPENDS" ${ARGN})
    _animora_layer_folders(public_folders ${folder} ${ARG_DEPENDS})
    _animora_layer_folders(own_folders ${folder} ${ARG_DEPENDS} ${ARG_PRIVATE_DEPENDS})

    if(ARG_INTERFACE)
        # A name for several layers together: it sees what they see.
        add_library(${target} INTERFACE)
        target_link_libraries(${target} INTERFACE ${ARG_DEPENDS})
        _animora_layer_folders(public_folders "" ${ARG_DEPENDS})
        set_target_properties(${target} PROPERTIES ANIMORA_LAYER_FOLDERS "${public_folders}")
        return()
    endif()

    file(GLOB sources CONFIGURE_DEPENDS "${ANIMORA_SOURCE_ROOT}/${folder}/*.cpp")
    if(ARG_EXECUTABLE)
        add_executable(${target} ${sources})
    else()
        add_library(${target} STATIC ${sources})
    endif()
    target_compile_options(${target} PRIVATE ${ANIMORA_WARNINGS})
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})

    _animora_include_root(own_root ${target} ${own_folders})
    target_include_directories(${target} PRIVATE "${own_root}")
    if(NOT ARG_EXECUTABLE)
        # Users see the layer and what it publishes, not its private helpers.
        _animora_include_root(public_root ${target}-public ${public_folders})
        target_include_directories(${target} INTERFACE "${public_root}")
        set_target_properties(${target} PROPERTIES ANIMORA_LAYER_FOLDERS "${public_folders}")
    endif()
endfunction()
