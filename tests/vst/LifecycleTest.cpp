// Host identification and the whole life of an instance as DAWs drive it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/vst/ModuleUnderTest.h"

TEST(HostIdentification, OpeningAsksForTheHostsNameAndVersionOnce) {
  RecordingHost host;
  HostedPlugin plugin(ModuleEntry(), host);
  EXPECT_EQ(plugin.Dispatch(effOpen), 0);
  plugin.Dispatch(effOpen);
  const std::vector<RecordingHost::Request> requests = host.Requests();
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests[0].opcode, audioMasterGetProductString);
  EXPECT_TRUE(requests[0].hadPointer);
  EXPECT_EQ(requests[1].opcode, audioMasterGetVendorVersion);
  EXPECT_EQ(host.CountOf(audioMasterGetProductString), 1u);
  EXPECT_EQ(host.CountOf(audioMasterGetVendorVersion), 1u);
}

TEST(HostIdentification, AHostWithoutANameIsNotAskedForItsVersion) {
  RecordingHost host;
  host.productString = "";
  HostedPlugin plugin(ModuleEntry(), host);
  plugin.Dispatch(effOpen);
  EXPECT_EQ(host.CountOf(audioMasterGetProductString), 1u);
  EXPECT_EQ(host.CountOf(audioMasterGetVendorVersion), 0u);
}

TEST(HostIdentification, RecognisedHostsKeepTheStereoLayout) {
  for (const char* name : {"Adobe Audition", "Forte", "Orion", "SAWStudio", "REAPER", "Cubase"}) {
    RecordingHost host;
    host.productString = name;
    HostedPlugin plugin(ModuleEntry(), host);
    plugin.Dispatch(effOpen);
    EXPECT_EQ(plugin.Effect()->numInputs, 2) << name;
    EXPECT_EQ(plugin.Effect()->numOutputs, 2) << name;
  }
}

namespace {

// One pass of what a DAW does with an instance, checking along the way.
void RunSession(int round, const std::vector<uint8_t>& restoreBank) {
  RecordingHost host;
  HostedPlugin plugin(ModuleEntry(), host);
  ASSERT_TRUE(plugin.IsOpen());
  plugin.Dispatch(effOpen);
  plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, round % 2 ? 48000.0f : 44100.0f);
  plugin.Dispatch(effSetBlockSize, 0, 256);
  if (!restoreBank.empty()) {
    ASSERT_EQ(plugin.SetChunk(false, restoreBank), 1);
  }
  plugin.Dispatch(effMainsChanged, 0, 1);

  std::vector<float> left(256), right(256), outLeft(256), outRight(256);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = static_cast<float>(0.5 * std::sin(0.01 * static_cast<double>(i + round)));
    right[i] = -left[i];
  }
  float* inputs[2] = {left.data(), right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  for (int block = 0; block < 4; ++block) {
    plugin.SetParameter(block % 9, static_cast<float>((round + block) % 11) / 10.0f);
    plugin.Effect()->processReplacing(plugin.Effect(), inputs, outputs, 256);
    for (float v : outLeft) ASSERT_TRUE(std::isfinite(v));
  }
  plugin.Dispatch(effSetProgram, 0, round % 25);
  plugin.Effect()->processReplacing(plugin.Effect(), inputs, outputs, 256);

  const std::vector<uint8_t> program = plugin.Chunk(true);
  ASSERT_EQ(program.size(), 80u);
  ASSERT_EQ(plugin.SetChunk(true, program), 1);
  ASSERT_EQ(plugin.Chunk(true), program);
  const std::vector<uint8_t> bank = plugin.Chunk(false);
  ASSERT_GT(bank.size(), 8u);
  ASSERT_EQ(plugin.SetChunk(false, bank), 1);
  ASSERT_EQ(plugin.Chunk(false), bank);

  plugin.Dispatch(effMainsChanged, 0, 0);
  plugin.Close();
}

}  // namespace

TEST(Lifecycle, ADawSessionRepeatedManyTimes) {
  ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    RunSession(round, {});
    if (HasFatalFailure()) return;
  }
}

TEST(Lifecycle, ReopeningWithASavedBankGivesTheSameState) {
  RecordingHost host;
  std::vector<uint8_t> bank;
  {
    HostedPlugin plugin(ModuleEntry(), host);
    plugin.OpenAndStart(44100.0f, 256);
    plugin.Dispatch(effSetProgram, 0, 9);
    plugin.SetParameter(4, 0.9f);
    bank = plugin.Chunk(false);
  }
  for (int round = 0; round < 20; ++round) {
    RunSession(round, bank);
    if (HasFatalFailure()) return;
  }
  RecordingHost otherHost;
  HostedPlugin restored(ModuleEntry(), otherHost);
  restored.OpenAndStart(44100.0f, 256);
  ASSERT_EQ(restored.SetChunk(false, bank), 1);
  EXPECT_EQ(restored.Dispatch(effGetProgram), 0) << "a bank does not choose the program";
  restored.Dispatch(effSetProgram, 0, 9);
  EXPECT_EQ(restored.Text(effGetParamDisplay, 4), "90");
}

TEST(Lifecycle, ManyInstancesAtOnce) {
  std::vector<std::unique_ptr<RecordingHost>> hosts;
  std::vector<std::unique_ptr<HostedPlugin>> plugins;
  for (int i = 0; i < 16; ++i) {
    hosts.push_back(std::make_unique<RecordingHost>());
    plugins.push_back(std::make_unique<HostedPlugin>(ModuleEntry(), *hosts.back()));
    plugins.back()->OpenAndStart(44100.0f, 64);
    plugins.back()->Dispatch(effSetProgram, 0, i);
  }
  for (int i = 0; i < 16; ++i) EXPECT_EQ(plugins[i]->Dispatch(effGetProgram), i);
  // Closing in a different order than opening.
  for (int i = 0; i < 16; i += 2) plugins[i]->Close();
  for (int i = 1; i < 16; i += 2) EXPECT_EQ(plugins[i]->Dispatch(effGetProgram), i);
}

TEST(Lifecycle, InstancesCreatedFromSeveralThreadsAtOnce) {
  ASSERT_TRUE(LoadedModule().IsLoaded()) << LoadedModule().Error();
  constexpr int kThreads = 4;
  std::vector<AEffect*> created(kThreads * 8, nullptr);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&created, t] {
      for (int i = 0; i < 8; ++i) {
        AEffect* effect = ModuleEntry()(&RecordingHost::Callback);
        created[static_cast<size_t>(t * 8 + i)] = effect;
        if (effect) effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (AEffect* effect : created) {
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->numParams, 9);
    EXPECT_EQ(effect->dispatcher(effect, effGetProgram, 0, 0, nullptr, 0.0f), 0);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  }
}
