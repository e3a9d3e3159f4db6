# The layers under the window, built for Windows where neither Qt nor a Windows build of the
# client library is at hand: platform/ and settings/ are built and tested; identification/
# and db/ are compiled only, so that every unit is known to build with the Windows headers.

# Directory holding mysql.h. The client library's headers select their Windows definitions
# themselves (_WIN32), so one copy serves both systems for compiling.
set(TARVIK_MYSQL_INCLUDE_DIR "" CACHE PATH "Directory of the client library's mysql.h")
if(NOT EXISTS "${TARVIK_MYSQL_INCLUDE_DIR}/mysql.h")
  message(FATAL_ERROR "TARVIK_WINDOWS_CORE_ONLY needs TARVIK_MYSQL_INCLUDE_DIR, the directory of mysql.h")
endif()
add_library(tarvik_mysql_headers INTERFACE)
target_include_directories(tarvik_mysql_headers SYSTEM INTERFACE "${TARVIK_MYSQL_INCLUDE_DIR}")

add_subdirectory(platform)
add_subdirectory(client)
add_subdirectory(settings)
add_subdirectory(identification)
add_subdirectory(db)

if(TARVIK_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
