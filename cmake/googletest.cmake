# GoogleTest from Debian's sources, built by the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

# One test program per product folder, one CTest entry per program.
function(rembrix_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # A test that hangs fails in ten minutes rather than holding up the whole run.
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  set_property(GLOBAL APPEND PROPERTY REMBRIX_HEAP_CHECKED ${name}.exe)
endfunction()
