# The tests of the Windows build, run through CMAKE_CROSSCOMPILING_EMULATOR (Wine) against the
# same throwaway server as the Linux suite. Windows has no GoogleTest package, so it is built
# here from its sources (Debian's googletest package puts them in /usr/src).
#
# The suites are the Linux ones, case tables and all, less what only Linux can do here: the
# tests that start private servers or the programs as processes of their own, make symbolic
# links, check POSIX file modes or create UTF-8 paths. scripts/test-windows covers the programs
# from the outside instead: tarvik-admin.exe against the Linux tarvik-admin (a private server
# killed under both included), the window and the setup program (tests/windows/).
set(TARVIK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, built for the target")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Windows' own threading primitives, not winpthread's.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TARVIK_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest defines GTest::gtest, GTest::gmock and GTest::gtest_main itself.

add_library(tarvik_test_support STATIC
  support/TestServer.cpp
  support/TempDir.cpp
  support/ConnectionConf.cpp
  support/ScopedWorkingDirectory.cpp
  support/ClientErrors.cpp
)
target_include_directories(tarvik_test_support PUBLIC ${PROJECT_SOURCE_DIR} ${TARVIK_TESTS_GENERATED_DIR})
target_link_libraries(tarvik_test_support PUBLIC tarvik_options tarvik_platform tarvik_client tarvik_identification GTest::gtest)

# One program per folder, run whole as one test: every start of a program under Wine costs
# far more than all of its cases together. The client library's DLL is put beside each
# program, where Windows looks for it first.
function(tarvik_add_tests name)
  cmake_parse_arguments(T "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tarvik_test_support ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TARVIK_CLIENT_DLL}" "$<TARGET_FILE_DIR:${name}>")
  add_test(NAME ${name} COMMAND ${name})
endfunction()

add_subdirectory(platform)
add_subdirectory(settings)
add_subdirectory(db)
add_subdirectory(identification)
add_subdirectory(tools)
# The window is tested from outside, under Wine, by tests/windows/test-window with this probe.
add_subdirectory(app/win32)
# A DLL by the name of an authentication method the client library does not hold: the Wine
# tests put it in the working folder and check that no program loads it.
add_library(tarvik_marker_dialog SHARED windows/marker/MarkerDll.cpp)
set_target_properties(tarvik_marker_dialog PROPERTIES OUTPUT_NAME dialog PREFIX "")
