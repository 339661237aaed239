// The module's entry points and the effect record a host receives.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/effect/ProductTable.h"
#include "tests/vst/ModuleUnderTest.h"

namespace {

bool AllZero(const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

}  // namespace

TEST(ModuleEntry, ExportsBothEntryPointsThatEachCreateAnInstance) {
  ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
  for (const char* name : {"VSTPluginMain", "main"}) {
    SCOPED_TRACE(name);
    VstPluginMainProc entry = ModuleEntry(name);
    ASSERT_NE(entry, nullptr);
    AEffect* effect = entry(&RecordingHost::Callback);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  }
}

TEST(ModuleEntry, DoesNotCallTheHostWhileConstructing) {
  RecordingHost::Unclaimed().Clear();
  AEffect* effect = ModuleEntry()(&RecordingHost::Callback);
  ASSERT_NE(effect, nullptr);
  EXPECT_TRUE(RecordingHost::Unclaimed().Requests().empty());
  EXPECT_EQ(effect->user, nullptr);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(ModuleEntry, SurvivesAHostWithoutCallback) {
  AEffect* effect = ModuleEntry()(nullptr);
  ASSERT_NE(effect, nullptr);
  // Opening asks the host for its name; without a callback nothing answers.
  EXPECT_EQ(effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f), 0);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(HostedPluginTest, RecordDescribesTheEffect) {
  const AEffect& e = *plugin->Effect();
  EXPECT_EQ(e.magic, 0x56737450);
  EXPECT_EQ(e.numPrograms, 25);
  EXPECT_EQ(e.numParams, 9);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.uniqueID, product::kUniqueId);
  EXPECT_EQ(e.version, 10000);
  EXPECT_EQ(e.initialDelay, 0);
  EXPECT_EQ(e.ioRatio, 1.0f);
  EXPECT_EQ(e.resvd1, 0);
  EXPECT_EQ(e.resvd2, 0);
  EXPECT_EQ(e.realQualities, 0);
  EXPECT_EQ(e.offQualities, 0);
  EXPECT_NE(e.object, nullptr);
  EXPECT_TRUE(AllZero(e.future, sizeof e.future));
  EXPECT_NE(e.dispatcher, nullptr);
  EXPECT_NE(e.process, nullptr);
  EXPECT_NE(e.processReplacing, nullptr);
  EXPECT_NE(e.processDoubleReplacing, nullptr);
  EXPECT_NE(e.setParameter, nullptr);
  EXPECT_NE(e.getParameter, nullptr);
}

TEST_F(HostedPluginTest, FlagsDeclareReplacingDoubleAndMonoAndTheEditorOnlyWithOne) {
  const int32_t flags = plugin->Effect()->flags;
  // Replacing (0x10), double replacing (0x1000), mono (0x8); no chunks, no synth.
  EXPECT_EQ(flags & ~effFlagsHasEditor, 0x1018);
  // The editor flag is set by attaching an editor: both modules carry the
  // 488 x 282 panel.
  EXPECT_EQ(flags, 0x1019);
  ERect* rect = nullptr;
  ASSERT_EQ(plugin->Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 488);
  EXPECT_EQ(rect->bottom - rect->top, 282);
}

TEST_F(HostedPluginTest, TwoInstancesHaveTheirOwnRecordsAndState) {
  RecordingHost otherHost;
  HostedPlugin other(ModuleEntry(), otherHost);
  ASSERT_TRUE(other.IsOpen());
  EXPECT_NE(other.Effect(), plugin->Effect());
  EXPECT_NE(other.Effect()->object, plugin->Effect()->object);

  plugin->Dispatch(effOpen);
  other.Dispatch(effOpen);
  plugin->SetParameter(0, 0.5f);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "5015");
  EXPECT_EQ(other.Text(effGetParamDisplay, 0), "1000");

  // Each instance calls back its own host with its own record.
  EXPECT_EQ(host.CountOf(audioMasterGetProductString), 1u);
  EXPECT_EQ(otherHost.CountOf(audioMasterGetProductString), 1u);

  other.Close();
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "5015");
  EXPECT_EQ(plugin->Dispatch(effGetVstVersion), 2400);
}
