# The tests of the layers that the Windows core build makes (see cmake/WindowsCore.cmake),
# run through CMAKE_CROSSCOMPILING_EMULATOR (Wine). Windows has no GoogleTest package, so it
# is built here from its sources (Debian's googletest package puts them in /usr/src).
set(TARVIK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, built for the target")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Windows' own threading primitives, not winpthread's.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TARVIK_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest defines GTest::gtest and GTest::gtest_main itself.

add_library(tarvik_test_support STATIC support/TempDir.cpp)
target_include_directories(tarvik_test_support PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tarvik_test_support PUBLIC tarvik_options GTest::gtest)

# One program per folder, run whole as one test: every start of a program under Wine costs
# far more than all of its cases together.
function(tarvik_add_tests name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tarvik_test_support ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

add_subdirectory(platform)
add_subdirectory(settings)
