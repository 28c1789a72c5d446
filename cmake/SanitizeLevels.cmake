# The sanitizer build's optimisation per target. Its preset compiles at -O1,
# where the suites run four times faster than at -O0; but much of its compile
# time goes to template-heavy code that computes little (the HTTP server, the
# command-line parser, the tests and GoogleTest), which gcc compiles in about
# half the time at -O0. Those drop to -O0 (the sanitizers' checks stay); the
# code that draws, packs and parses stays at -O1, and so do the tests whose
# own code computes (scripted glyphs, the stock data's text).
if(NOT QZF_SANITIZE)
  return()
endif()

# qzf_targets_under(<out> <dir>): the targets defined in <dir> and its subdirectories.
function(qzf_targets_under out dir)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    qzf_targets_under(more ${sub})
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

qzf_targets_under(QZF_SANITIZE_O0_TARGETS ${CMAKE_SOURCE_DIR}/tests)
list(REMOVE_ITEM QZF_SANITIZE_O0_TARGETS qzf_test_support patch_pass_test build_stages_test font_build_test data_test)
list(APPEND QZF_SANITIZE_O0_TARGETS qzf_cli qzffont qzffont-studio gtest gtest_main)
foreach(target ${QZF_SANITIZE_O0_TARGETS})
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY" AND NOT type STREQUAL "UTILITY")
    # After the preset's -O1 on the command line, so this one counts.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-O0>)
  endif()
endforeach()
# The studio's server alone (its own translation unit): the JSON it parses
# and the answers it builds stay at -O1 with the rest of the studio.
set_source_files_properties(${CMAKE_SOURCE_DIR}/studio/loopback_server.cpp DIRECTORY ${CMAKE_SOURCE_DIR}/studio
                            PROPERTIES COMPILE_OPTIONS -O0)

# Programs no sanitizer suite runs.
set_target_properties(glyph_probe punctuation_probe PROPERTIES EXCLUDE_FROM_ALL ON)
