# The library core is a stack of layers, one CMake library per folder:
#   platform < fileutil < dict < fontpatch < fontbuild < preview < studio < app, cli
# A target sees in its includes only the folders it is given: its own and the
# layers below it. Each target gets a view of the source tree (a folder of
# links) holding just those folders, so an include of a higher layer does not
# compile.

# qzf_layer_view(<target> <folder>...): the folders (relative to the source
# tree) the target's sources may include from.
function(qzf_layer_view target)
  set(view ${CMAKE_BINARY_DIR}/layer-views/${target})
  file(REMOVE_RECURSE ${view})
  foreach(folder ${ARGN})
    get_filename_component(parent ${view}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()

# The core folders from the bottom up; a layer sees its own and those below.
set(QZF_CORE_LAYERS platform fileutil dict fontpatch fontbuild preview studio)

# qzf_core_view(<target> <layer> [<folder>...]): the view of a target in
# <layer> (one of QZF_CORE_LAYERS, or ALL for every core layer), plus extra
# folders.
function(qzf_core_view target layer)
  set(folders)
  foreach(l ${QZF_CORE_LAYERS})
    list(APPEND folders ${l})
    if(l STREQUAL layer)
      break()
    endif()
  endforeach()
  qzf_layer_view(${target} ${folders} ${ARGN})
endfunction()
