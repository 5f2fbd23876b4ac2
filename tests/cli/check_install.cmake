# Installs the build into a fresh prefix and checks that the command line, its manual
# page and its bash completion land where the README says. Run as: cmake -DBUILD=dir -DPREFIX=dir -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}" RESULT_VARIABLE failed
                OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed: ${failed}")
endif()
foreach(installed bin/marvento-cli share/man/man1/marvento-cli.1 share/bash-completion/completions/marvento-cli)
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/marvento-cli" --help RESULT_VARIABLE failed OUTPUT_VARIABLE help)
if(failed OR NOT help MATCHES "marvento-cli diff A B")
  message(FATAL_ERROR "the installed marvento-cli --help failed: ${failed}")
endif()
