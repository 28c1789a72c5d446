# Runs the stand-in generator again into OUT_DIR and compares its output with
# the files the build generated (FONT, DICT).
file(REMOVE_RECURSE ${OUT_DIR})
execute_process(COMMAND ${GENERATOR} --font ${OUT_DIR}/F_FONTJ.qzf --dictionary ${OUT_DIR}/dictionary.txt
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${result}")
endif()
foreach(pair "F_FONTJ.qzf;${FONT}" "dictionary.txt;${DICT}")
  list(GET pair 0 name)
  list(GET pair 1 built)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT_DIR}/${name} ${built} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name} differs between two runs of the generator")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT_DIR})
