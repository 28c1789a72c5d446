# qzf_version_resource(target description): gives a Windows executable a
# VERSIONINFO resource carrying the project version, so Explorer's
# Properties and installers see the same version as `--version`.
function(qzf_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(QZF_VERSION_TARGET ${target})
  set(QZF_VERSION_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
