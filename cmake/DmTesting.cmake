# GoogleTest: Debian's packages natively; for win64, built with the cross
# compiler from the sources Debian's googletest package installs.
enable_testing()
if(WIN32)
  # Test executables run through Wine, in a prefix inside the build folder.
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run;--prefix;${CMAKE_BINARY_DIR}/wineprefix")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  add_library(dm_gtest INTERFACE)
  target_link_libraries(dm_gtest INTERFACE gtest gmock)
  add_library(dm_gtest_main INTERFACE)
  target_link_libraries(dm_gtest_main INTERFACE gtest_main gmock)
else()
  find_package(GTest REQUIRED)
  add_library(dm_gtest INTERFACE)
  target_link_libraries(dm_gtest INTERFACE GTest::gtest GTest::gmock)
  add_library(dm_gtest_main INTERFACE)
  target_link_libraries(dm_gtest_main INTERFACE GTest::gtest_main GTest::gmock)
endif()

# One test executable per subsystem, registered as one ctest entry: under
# Wine each executable costs a Wine start-up, so tests are not discovered
# one by one. Run a single test with --gtest_filter (see README).
function(dm_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE dm_options dm_gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
