# Third-party libraries. Natively they are Debian's packages; for win64, zlib
# comes from Debian's mingw package and libpng is built from Debian's source
# package by scripts/build-deps-win64 into the build folder.
if(WIN32)
  set(DM_WIN64_DEPS "${CMAKE_BINARY_DIR}/deps/install" CACHE PATH "Cross-built third-party libraries")
  if(NOT EXISTS "${DM_WIN64_DEPS}/lib/libpng16.a")
    execute_process(
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-deps-win64 "${CMAKE_BINARY_DIR}/deps"
      RESULT_VARIABLE deps_result)
    if(NOT deps_result EQUAL 0)
      message(FATAL_ERROR "Building libpng for win64 failed")
    endif()
  endif()
  add_library(dm_png STATIC IMPORTED GLOBAL)
  set_target_properties(dm_png PROPERTIES
    IMPORTED_LOCATION "${DM_WIN64_DEPS}/lib/libpng16.a"
    INTERFACE_INCLUDE_DIRECTORIES "${DM_WIN64_DEPS}/include")
  find_library(DM_ZLIB NAMES libz.a z PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)
  target_link_libraries(dm_png INTERFACE ${DM_ZLIB})
else()
  find_package(PNG REQUIRED)
  add_library(dm_png INTERFACE)
  target_link_libraries(dm_png INTERFACE PNG::PNG)
  find_package(Threads REQUIRED)
  # Text on Linux: FreeType rasterises, fontconfig finds the faces.
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
endif()

# LV2: Debian's lv2-dev headers. The LV2 plug-in is built natively on Linux
# only; without the headers it is left out.
if(NOT WIN32)
  find_path(DM_LV2_INCLUDE_DIR lv2/core/lv2.h)
  if(DM_LV2_INCLUDE_DIR)
    set(DM_LV2 ON)
  else()
    message(STATUS "lv2-dev headers not found: the LV2 plug-in is not built")
  endif()
endif()
