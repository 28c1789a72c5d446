# The library core is a graph of layers, one CMake library per folder; each
# layer names the layers right below it:
#
#   platform < fileutil < dict < fontpatch < fontbuild ---+
#                                          < preview -----+-- < studio < cli
#   i18n (the message catalog) < fontbuild
#   app (the window) stands on fontbuild and preview.
#
# platform is itself four layers (platform/CMakeLists.txt):
#   platform_base < platform_fontengine < platform_native < platform
#
# preview/ and fontbuild/ are siblings: neither sees the other. A target sees
# in its includes only the folders it is given: its layer's own and those
# below it. Each target gets a view of the source tree (a folder of links)
# holding just those folders, so an include of a higher or a sibling layer
# does not compile.
set(QZF_LAYER_platform_base_BELOW)
set(QZF_LAYER_platform_fontengine_BELOW platform_base)
set(QZF_LAYER_platform_native_BELOW platform_fontengine)
set(QZF_LAYER_platform_BELOW platform_native)
set(QZF_LAYER_i18n_BELOW)
set(QZF_LAYER_fileutil_BELOW platform)
set(QZF_LAYER_dict_BELOW fileutil)
set(QZF_LAYER_fontpatch_BELOW dict)
set(QZF_LAYER_fontbuild_BELOW fontpatch i18n)
set(QZF_LAYER_preview_BELOW fontpatch)
set(QZF_LAYER_studio_BELOW fontbuild preview)
set(QZF_LAYER_cli_BELOW studio)
set(QZF_LAYER_app_BELOW fontbuild preview)

# The folders (or files) of a layer whose name is not its folder.
set(QZF_LAYER_platform_base_FOLDERS platform/base)
set(QZF_LAYER_platform_fontengine_FOLDERS platform/fontengine)
set(QZF_LAYER_platform_native_FOLDERS platform/native)
set(QZF_LAYER_platform_FOLDERS platform/portable platform/win32.h)

# The core layers; ALL names every one of them.
set(QZF_CORE_LAYERS platform_base platform_fontengine platform_native platform i18n fileutil dict fontpatch fontbuild preview studio)

# qzf_layer_view(<target> <folder>...): the folders (relative to the source
# tree) the target's sources may include from; a file may stand for a folder.
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

# qzf_layers_under(<out> <layer>): the layer and every layer below it.
function(qzf_layers_under out layer)
  set(seen)
  set(pending ${layer})
  while(pending)
    list(POP_FRONT pending l)
    if(NOT l IN_LIST seen)
      list(APPEND seen ${l})
      list(APPEND pending ${QZF_LAYER_${l}_BELOW})
    endif()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# qzf_core_view(<target> <layer> [<folder>...]): the view of a target in
# <layer> (one of the layers above, or ALL for every core layer), plus extra
# folders.
function(qzf_core_view target layer)
  if(layer STREQUAL "ALL")
    set(layers ${QZF_CORE_LAYERS})
  else()
    qzf_layers_under(layers ${layer})
  endif()
  set(folders)
  foreach(l ${layers})
    if(DEFINED QZF_LAYER_${l}_FOLDERS)
      list(APPEND folders ${QZF_LAYER_${l}_FOLDERS})
    else()
      list(APPEND folders ${l})
    endif()
  endforeach()
  qzf_layer_view(${target} ${folders} ${ARGN})
endfunction()
