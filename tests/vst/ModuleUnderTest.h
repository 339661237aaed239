// The built plug-in module, loaded once for the whole test run as a host
// would load it, and a fixture that hosts one fresh instance per test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tests/vst/HostedPlugin.h"
#include "tests/vst/ModuleLoader.h"
#include "tests/vst/RecordingHost.h"
#include "vst/VstInterface.h"

const ModuleLoader& LoadedModule();
VstPluginMainProc ModuleEntry(const char* name = "VSTPluginMain");

class HostedPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
    plugin = std::make_unique<HostedPlugin>(ModuleEntry(), host);
    ASSERT_TRUE(plugin->IsOpen());
  }

  RecordingHost host;
  std::unique_ptr<HostedPlugin> plugin;
};
