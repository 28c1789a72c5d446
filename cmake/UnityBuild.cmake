# Files kept out of the unity batches (see QZF_UNITY_BUILD): each has a
# helper in its anonymous namespace under the same name as one in a file of
# its batch, so the two cannot share a translation unit (or, as the server,
# declares a class of its own header with a member of such a type, which gcc
# refuses outside the main file, or, as the style options, gcc's
# -Wmaybe-uninitialized misfires on it among the others). Listed here rather
# than in each folder's CMakeLists.txt; a new clash shows as a
# "redefinition" error naming the file to add.
set(QZF_UNITY_OWN_UNIT
    fileutil/pending_file.cpp
    cli/style_options.cpp
    preview/preview_picture.cpp
    preview/sheet_index.cpp
    studio/loopback_server.cpp
    tests/studio/loopback_server_test.cpp
    tests/platform/private_font_file_test.cpp)
# Only in the folders this build added (the fuzz build has no tests/ but tests/fuzz).
set(added ${CMAKE_SOURCE_DIR})
set(pending ${CMAKE_SOURCE_DIR})
while(pending)
  list(POP_FRONT pending dir)
  get_property(below DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  list(APPEND added ${below})
  list(APPEND pending ${below})
endwhile()
foreach(file ${QZF_UNITY_OWN_UNIT})
  get_filename_component(dir ${CMAKE_SOURCE_DIR}/${file} DIRECTORY)
  if(dir IN_LIST added)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/${file} DIRECTORY ${dir} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endif()
endforeach()
