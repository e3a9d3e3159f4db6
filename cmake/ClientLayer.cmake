# tarvik_add_client_layer(NAME SOURCES files... LINKS targets...): a folder's library whose code
# talks to the MySQL client library. Normally a static library linking LINKS publicly (the
# client library comes with tarvik_client). In the Windows core-only build there is no client
# library to link against, so the sources are only compiled, against the headers alone, to
# show that nothing POSIX-only creeps in.
function(tarvik_add_client_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;LINKS" ${ARGN})
  if(TARVIK_WINDOWS_CORE_ONLY)
    add_library(${name} OBJECT ${L_SOURCES})
    list(FILTER L_LINKS EXCLUDE REGEX "^(tarvik_client|tarvik::mariadb)$")
    target_link_libraries(${name} PRIVATE tarvik_options ${L_LINKS} tarvik_mysql_headers)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    return()
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  string(REGEX REPLACE "^tarvik_" "tarvik::" alias ${name})
  add_library(${alias} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LINKS})
endfunction()
