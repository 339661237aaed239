# Third-party libraries. Natively they are Debian's packages; for win64, zlib
# comes from Debian's mingw package and libpng is built from Debian's source
# package by scripts/build-deps-win64 into the build folder; for the browser
# (wasm), zlib, libpng and FreeType are built with emscripten from Debian's
# source packages by scripts/build-deps-wasm.

# Runs a build-deps script into build/<preset>/deps unless the file marker
# (a library it installs, or the stamp of its recipe) is in the install
# folder already.
function(dm_build_deps script install marker)
  if(EXISTS "${install}/${marker}")
    return()
  endif()
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/${script} "${CMAKE_BINARY_DIR}/deps"
    RESULT_VARIABLE deps_result)
  if(NOT deps_result EQUAL 0)
    message(FATAL_ERROR "${script} failed")
  endif()
endfunction()

if(EMSCRIPTEN)
  set(DM_WASM_DEPS "${CMAKE_BINARY_DIR}/deps/install")
  dm_build_deps(build-deps-wasm ${DM_WASM_DEPS} recipe-2.stamp)
  add_library(dm_png INTERFACE)
  target_include_directories(dm_png SYSTEM INTERFACE "${DM_WASM_DEPS}/include")
  target_link_libraries(dm_png INTERFACE "${DM_WASM_DEPS}/lib/libpng16.a" "${DM_WASM_DEPS}/lib/libz.a")
  add_library(dm_freetype INTERFACE)
  target_include_directories(dm_freetype SYSTEM INTERFACE "${DM_WASM_DEPS}/include/freetype2")
  target_link_libraries(dm_freetype INTERFACE "${DM_WASM_DEPS}/lib/libfreetype.a")
  add_library(Threads::Threads INTERFACE IMPORTED)
elseif(WIN32)
  set(DM_WIN64_DEPS "${CMAKE_BINARY_DIR}/deps/install" CACHE PATH "Cross-built third-party libraries")
  dm_build_deps(build-deps-win64 ${DM_WIN64_DEPS} lib/libpng16.a)
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
if(NOT WIN32 AND NOT EMSCRIPTEN)
  find_path(DM_LV2_INCLUDE_DIR lv2/core/lv2.h)
  if(DM_LV2_INCLUDE_DIR)
    set(DM_LV2 ON)
  else()
    message(STATUS "lv2-dev headers not found: the LV2 plug-in is not built")
  endif()
endif()
