# What the Windows build (cross-built with mingw-w64, cmake/mingw-w64-x86_64.cmake) takes from
# outside: the client library for Windows, and the two header-only libraries of tarvik-admin.
#
# TARVIK_WINDOWS_CLIENT_DIR is the folder scripts/windows-client-library prints: MariaDB
# Connector/C built for Windows, with include/mariadb/mysql.h, the import library
# lib/mariadb/liblibmariadb.dll.a and lib/mariadb/libmariadb.dll. It becomes the target
# tarvik::mariadb, as the Linux package does in the Linux build; TARVIK_CLIENT_DLL names the
# DLL that is shipped beside the programs.
set(TARVIK_WINDOWS_CLIENT_DIR "" CACHE PATH "The client library for Windows (scripts/windows-client-library)")
set(_client "${TARVIK_WINDOWS_CLIENT_DIR}")
foreach(_file include/mariadb/mysql.h lib/mariadb/liblibmariadb.dll.a lib/mariadb/libmariadb.dll)
  if(NOT EXISTS "${_client}/${_file}")
    message(FATAL_ERROR "The Windows build needs TARVIK_WINDOWS_CLIENT_DIR, the folder that "
                        "scripts/windows-client-library prints (no ${_file} in '${_client}')")
  endif()
endforeach()
add_library(tarvik_mariadb SHARED IMPORTED GLOBAL)
set_target_properties(tarvik_mariadb PROPERTIES
  IMPORTED_IMPLIB "${_client}/lib/mariadb/liblibmariadb.dll.a"
  IMPORTED_LOCATION "${_client}/lib/mariadb/libmariadb.dll")
target_include_directories(tarvik_mariadb SYSTEM INTERFACE "${_client}/include/mariadb")
add_library(tarvik::mariadb ALIAS tarvik_mariadb)
set(TARVIK_CLIENT_DLL "${_client}/lib/mariadb/libmariadb.dll")

# CLI11 and nlohmann-json are header-only: the build machine's copies serve. Only their own
# folders are put on the include path, never the build machine's /usr/include as a whole
# (whose C library headers are not Windows').
set(_header_only "${CMAKE_BINARY_DIR}/header-only")
file(MAKE_DIRECTORY "${_header_only}")
foreach(_dir CLI nlohmann)
  if(NOT EXISTS "/usr/include/${_dir}")
    message(FATAL_ERROR "/usr/include/${_dir} is missing (Debian's libcli11-dev and nlohmann-json3-dev)")
  endif()
  file(CREATE_LINK "/usr/include/${_dir}" "${_header_only}/${_dir}" SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE "${_header_only}")
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${_header_only}")
