# Flags every target of ours compiles with: strict warnings, no fast-math and
# no contraction of a*b+c into fused multiply-adds, so results are bit-identical
# to the formulas as written on both platforms.
add_library(dm_options INTERFACE)
target_compile_options(dm_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers
  -ffp-contract=off -fno-fast-math -fno-strict-aliasing)
target_include_directories(dm_options INTERFACE ${CMAKE_SOURCE_DIR})

if(WIN32)
  # C99-conformant printf family, so numbers format alike on both platforms.
  target_compile_definitions(dm_options INTERFACE
    __USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Only Windows system DLLs at run time.
  target_link_options(dm_options INTERFACE -static -static-libgcc -static-libstdc++)
  # The stack is aligned to 16 bytes only, and GCC may still spill 32- and
  # 64-byte vectors with aligned moves: the assembler turns every aligned
  # vector move into an unaligned one, which costs nothing on aligned data.
  # Every unit assembles so, and so does the link, where link-time
  # optimisation generates the code (it drops assembler options that differ
  # between units).
  target_compile_options(dm_options INTERFACE -Wa,-muse-unaligned-vector-move)
  target_link_options(dm_options INTERFACE -Wa,-muse-unaligned-vector-move)
elseif(NOT EMSCRIPTEN)
  # x87 would give different rounding; SSE2 is the x86-64 baseline anyway.
  target_compile_options(dm_options INTERFACE -mfpmath=sse)
endif()

if(DM_SANITIZE STREQUAL "address")
  target_compile_options(dm_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(dm_options INTERFACE -fsanitize=address,undefined)
elseif(DM_SANITIZE STREQUAL "fuzzer")
  # Coverage instrumentation for every library a fuzz target links.
  target_compile_options(dm_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(dm_options INTERFACE -fsanitize=address,undefined)
elseif(DM_SANITIZE STREQUAL "thread")
  target_compile_options(dm_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(dm_options INTERFACE -fsanitize=thread)
endif()

# Adds a static library of ours with the common options.
function(dm_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC dm_options)
endfunction()

# Compiles one source for an x86 instruction set (-mavx2; several flags for
# AVX-512's subsets). Such units are installed only where the processor
# reports the set (platform/CpuLevel.h), and compile to nothing where the set
# does not exist (the browser build).
function(dm_compile_for_instruction_set source)
  if(NOT EMSCRIPTEN)
    set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS "${ARGN}")
  endif()
endfunction()
