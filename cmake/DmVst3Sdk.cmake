# The VST 3 interfaces: the SDK folders that Debian's juce-modules-source-data
# installs (scripts/setup). Only pluginterfaces/ is used, header-only: the
# binding implements the interfaces itself. Without them the VST 3 plug-in is
# left out. Nothing of the SDK is part of this repository.
set(DM_VST3_SDK_HINT /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK)
find_path(DM_VST3_SDK_DIR pluginterfaces/vst/ivstaudioprocessor.h
  PATHS ${DM_VST3_SDK_HINT} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(DM_VST3_SDK_DIR AND NOT EMSCRIPTEN)
  set(DM_VST3 ON)
  add_library(dm_vst3_sdk INTERFACE)
  target_include_directories(dm_vst3_sdk SYSTEM INTERFACE ${DM_VST3_SDK_DIR})
  # The interfaces' release configuration; COM-compatible layouts on Windows
  # come from the SDK's own platform detection.
  target_compile_definitions(dm_vst3_sdk INTERFACE RELEASE=1)
elseif(NOT EMSCRIPTEN)
  message(STATUS "VST 3 SDK (juce-modules-source-data) not found: the VST 3 plug-in is not built")
endif()
