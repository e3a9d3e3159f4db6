# tarvik_add_client_layer(NAME SOURCES files... LINKS targets...): a folder's library whose code
# talks to the MySQL client library: a static library linking LINKS publicly (the client
# library, tarvik::mariadb, comes with tarvik_client).
function(tarvik_add_client_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  string(REGEX REPLACE "^tarvik_" "tarvik::" alias ${name})
  add_library(${alias} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LINKS})
endfunction()
