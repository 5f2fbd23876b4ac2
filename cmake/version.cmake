# The project's one version, X.Y.Z from project(VERSION), as a generated header
# (target marvento_version) for the programs and their version resources.
configure_file(${CMAKE_CURRENT_LIST_DIR}/marvento_version.h.in
               ${PROJECT_BINARY_DIR}/generated/marvento_version.h @ONLY)
add_library(marvento_version INTERFACE)
target_include_directories(marvento_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

set(MARVENTO_COPYRIGHT "Copyright (C) 2026 The Marvento authors. MIT License.")

if(WIN32)
  enable_language(RC)
endif()

# Gives a Windows program a VERSIONINFO resource: file and product version X.Y.Z,
# product name, `description` and the copyright. Nothing elsewhere.
function(marvento_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(MARVENTO_FILE_DESCRIPTION "${description}")
  set(MARVENTO_INTERNAL_NAME "${target}")
  set(MARVENTO_ORIGINAL_FILENAME "${target}.exe")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS ${PROJECT_BINARY_DIR}/generated/marvento_version.h)
  target_sources(${target} PRIVATE ${rc})
  target_link_libraries(${target} PRIVATE marvento_version)
endfunction()
