// The binding's edits toward the host, in-process: the panel's gestures
// reach the controller's sink paired as the VST 2 module pairs them, the
// deferred end of a wheel gesture included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/IGrowableBuffer.h"
#include "vst3/IEffectVST3.h"
#include "vst3/Vst3PluginFactory.h"

namespace {

class RecordingSink : public IVst3EditSink {
 public:
  void BeginEdit(int32_t index) override { calls.push_back("begin " + std::to_string(index)); }
  void PerformEdit(int32_t index, double normalized) override {
    calls.push_back("perform " + std::to_string(index) + " " + std::to_string(normalized));
  }
  void EndEdit(int32_t index) override { calls.push_back("end " + std::to_string(index)); }
  std::vector<std::string> calls;
};

TEST(Vst3Binding, GesturesReachTheSinkPaired) {
  RecordingSink sink;
  std::unique_ptr<IEffectVST3> plugin(CreateVst3Plugin(&sink));
  ASSERT_TRUE(plugin);
  plugin->HostBeginEdit(2);
  plugin->SetParameterFromEditor(2, 0.5);
  plugin->DeferEndOfEdit(2);
  // A wheel turn on the same parameter continues the pending gesture...
  plugin->HostBeginEditUnlessPending(2);
  // ...another parameter's gesture ends it first.
  plugin->HostBeginEdit(5);
  plugin->HostEndEdit(5);
  const std::vector<std::string> expected = {"begin 2", "perform 2 0.500000", "end 2", "begin 5",
                                             "end 5"};
  EXPECT_EQ(sink.calls, expected);
}

TEST(Vst3Binding, ProcessorInstanceHasNoSink) {
  std::unique_ptr<IEffectVST3> plugin(CreateVst3Plugin(nullptr));
  ASSERT_TRUE(plugin);
  plugin->HostBeginEdit(1);
  plugin->SetParameterFromEditor(1, 0.25);
  plugin->HostEndEdit(1);
  EXPECT_EQ(plugin->ParameterNormalized(1), 0.25);
}

int allocations = 0;
void* CountingRealloc(void* block, size_t bytes) {
  ++allocations;
  return std::realloc(block, bytes);
}
void* CountingMalloc(size_t bytes) {
  ++allocations;
  return std::malloc(bytes);
}

// What the audio thread does with the host's changes: parameters, and
// programs (an empty slot becomes a user preset), then a block.
TEST(Vst3Binding, ProgramAndParameterChangesOnTheAudioThreadAllocateNothing) {
  std::unique_ptr<IEffectVST3> plugin(CreateVst3Plugin(nullptr));
  ASSERT_TRUE(plugin);
  plugin->SetSampleRate(48000.0);
  plugin->SetMaxBlockSize(256);
  float left[256] = {0.5f};
  float right[256] = {-0.5f};
  float* channels[2] = {left, right};
  const IBufferAllocator previous =
      IGrowableBuffer::SetAllocatorForTesting({CountingRealloc, CountingMalloc, std::free});
  allocations = 0;
  {
    PluginLockGuard guard(plugin->Lock());
    plugin->SetParameterFromHost(3, 0.7);
    plugin->ChangeProgram(20);
    plugin->SetParameterFromHost(1, 0.2);
    plugin->ChangeProgram(9);
    plugin->ChangeProgram(20);
    plugin->RunSingle(channels, channels, 2, 2, 256);
  }
  IGrowableBuffer::SetAllocatorForTesting(previous);
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(plugin->CurrentPresetIndex(), 20);
  EXPECT_STREQ(plugin->PresetName(20), "user preset 1");
}

}  // namespace
