# The project's one version, X.Y.Z from project(VERSION), as a generated header
# (target marvento_version) for the programs and their version resources.
configure_file(${CMAKE_CURRENT_LIST_DIR}/marvento_version.h.in
               ${PROJECT_BINARY_DIR}/generated/marvento_version.h @ONLY)
add_library(marvento_version INTERFACE)
target_include_directories(marvento_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
