# Data blocks 130 (the game's font file) and 131 (the code-mapping dictionary
# text). Every build generates stand-ins for both (tools/stockdata, run from
# resources/CMakeLists.txt). A user who owns the game's files puts them into
# resources/ of the source tree as F_FONTJ.qzf and dictionary.txt; each file
# found there is embedded instead of its stand-in.
#
#   QZF_STOCK_FONT, QZF_STOCK_DICT       the files that are embedded
#   QZF_GENERATED_FONT, QZF_GENERATED_DICT  the stand-ins, always generated
#   qzf_embed_stock_data(<target> [<id> <file>...])  embeds both, plus any
#                                        further blocks given
set(QZF_GENERATED_FONT ${CMAKE_BINARY_DIR}/resources/F_FONTJ.qzf)
set(QZF_GENERATED_DICT ${CMAKE_BINARY_DIR}/resources/dictionary.txt)

set(QZF_STOCK_FONT ${QZF_GENERATED_FONT})
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/F_FONTJ.qzf)
  set(QZF_STOCK_FONT ${CMAKE_SOURCE_DIR}/resources/F_FONTJ.qzf)
endif()
set(QZF_STOCK_DICT ${QZF_GENERATED_DICT})
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/dictionary.txt)
  set(QZF_STOCK_DICT ${CMAKE_SOURCE_DIR}/resources/dictionary.txt)
endif()
message(STATUS "Data block 130: ${QZF_STOCK_FONT}")
message(STATUS "Data block 131: ${QZF_STOCK_DICT}")
# Putting a file into resources/ or taking it out changes the folder's time:
# the next build configures again and picks the other file.
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources)

# One call per target: the blocks of a target are laid down together.
function(qzf_embed_stock_data target)
  qzf_embed_blocks(${target} 130 ${QZF_STOCK_FONT} 131 ${QZF_STOCK_DICT} ${ARGN})
  # The assembler and windres do not track included files, and the stand-ins
  # are made by another folder's target: order the build explicitly.
  add_dependencies(${target} qzf_stock_data)
endfunction()
