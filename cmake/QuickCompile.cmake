# Targets compiled at -O0 whatever the preset's level, to save build time:
# template-heavy code that computes little, which gcc compiles in about half
# the time at -O0, and clang (the sanitizer build) in about a third: the HTTP
# server 36 to 13 s. The warnings and, in the sanitizer build, the
# sanitizers' checks stay. In the native and sanitizer builds: GoogleTest and the tests,
# except those whose own code computes (scripted glyphs, the stock data's
# text, the tests' shared support) and, natively, those valgrind runs again
# (not in the Windows build: its linker takes longer over the many more
# sections of -O0 objects than their compile saves). In the sanitizer build
# also the HTTP server and the command line (the JSON the studio parses, its
# answers and the code that draws and packs glyphs stay at -O1: the suites
# run four times faster).

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

# qzf_compile_at(<level> <targets>...): the targets' C++ at that level, after
# the preset's on the command line so that this one counts.
function(qzf_compile_at level)
  foreach(target ${ARGN})
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY" AND NOT type STREQUAL "UTILITY")
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${level}>)
    endif()
  endforeach()
endfunction()

# The tests whose own code computes, kept at the preset's level.
set(QZF_COMPUTING_TESTS qzf_test_support patch_pass_test build_stages_test font_build_test data_test)

if(NOT QZF_FUZZ AND NOT WIN32)
  qzf_targets_under(QZF_QUICK_TARGETS ${CMAKE_SOURCE_DIR}/tests)
  list(REMOVE_ITEM QZF_QUICK_TARGETS ${QZF_COMPUTING_TESTS})
  if(NOT WIN32 AND NOT QZF_SANITIZE)
    get_directory_property(memcheck DIRECTORY ${CMAKE_SOURCE_DIR}/tests/valgrind DEFINITION QZF_MEMCHECK_TESTS)
    list(REMOVE_ITEM QZF_QUICK_TARGETS ${memcheck})
  endif()
  list(APPEND QZF_QUICK_TARGETS gtest gtest_main)
endif()
if(QZF_SANITIZE)
  list(APPEND QZF_QUICK_TARGETS qzf_cli qzffont qzffont-studio)
  # The server alone (its own translation unit), not the rest of the studio.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/studio/loopback_server.cpp DIRECTORY ${CMAKE_SOURCE_DIR}/studio
                              PROPERTIES COMPILE_OPTIONS -O0)
  # Programs no sanitizer suite runs.
  set_target_properties(glyph_probe punctuation_probe PROPERTIES EXCLUDE_FROM_ALL ON)
elseif(NOT QZF_FUZZ)
  # The HTTP server waits on sockets: -O1 compiles it in about four fifths
  # of the time (measured: 20.5 to 16.6 s natively, 14.4 to 11.2 s with
  # mingw) and serves as fast.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/studio/loopback_server.cpp DIRECTORY ${CMAKE_SOURCE_DIR}/studio
                              PROPERTIES COMPILE_OPTIONS -O1)
endif()
# The Windows build's tests at -O1: about a quarter less compile time
# (studio_test's batch 9.0 to 6.3 s, dict_test's 11.2 to 9.0 s) without
# the many sections of -O0 objects its linker is slow over.
if(WIN32 AND NOT QZF_FUZZ)
  qzf_targets_under(windows_tests ${CMAKE_SOURCE_DIR}/tests)
  list(REMOVE_ITEM windows_tests ${QZF_COMPUTING_TESTS})
  qzf_compile_at(-O1 ${windows_tests} gtest gtest_main)
endif()
qzf_compile_at(-O0 ${QZF_QUICK_TARGETS})
