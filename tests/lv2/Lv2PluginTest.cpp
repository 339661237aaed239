// The LV2 plug-in as a host drives it: through the bundle binary's
// descriptor, its ports and its state interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <thread>

#include "tests/lv2/Lv2TestHost.h"

namespace {

using namespace lv2_test;

constexpr uint32_t kSplitFreq = 0;
constexpr uint32_t kLowRound = 4;
constexpr uint32_t kMix = 8;
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class Lv2Plugin : public ::testing::Test {
 protected:
  // An instance connected, activated and ready to run.
  std::unique_ptr<Lv2Instance> Start(const LV2_Feature* const* features) {
    auto instance = std::make_unique<Lv2Instance>(module, features);
    EXPECT_TRUE(instance->Valid());
    instance->ConnectAll(64);
    instance->Activate();
    return instance;
  }
  std::unique_ptr<Lv2Instance> Start() { return Start(urids.Features()); }

  Lv2Module module;
  UridMap urids;
};

TEST_F(Lv2Plugin, DescriptorOffersOnePluginWithState) {
  const LV2_Descriptor* d = module.Descriptor(0);
  ASSERT_TRUE(d);
  EXPECT_STREQ(d->URI, "urn:qovak:duomangler");
  EXPECT_EQ(module.Descriptor(1), nullptr);
  EXPECT_TRUE(module.State());
  EXPECT_EQ(d->extension_data("urn:nothing"), nullptr);
}

// Every callback is fenced: a null instance (a host's fault) changes nothing
// and the state calls report failure instead of crashing.
TEST_F(Lv2Plugin, EveryCallbackRefusesANullInstance) {
  const LV2_Descriptor* d = module.Descriptor(0);
  ASSERT_TRUE(d);
  float sample = 0.0f;
  d->connect_port(nullptr, 0, &sample);
  d->activate(nullptr);
  d->run(nullptr, 64);
  d->deactivate(nullptr);
  d->cleanup(nullptr);
  const LV2_State_Interface* state = module.State();
  EXPECT_EQ(state->save(nullptr, nullptr, nullptr, 0, nullptr), LV2_STATE_ERR_UNKNOWN);
  EXPECT_EQ(state->restore(nullptr, nullptr, nullptr, 0, nullptr), LV2_STATE_ERR_UNKNOWN);
}

TEST_F(Lv2Plugin, HostilePortValuesAreLimitedNeverPassedOn) {
  struct Case {
    uint32_t control;
    float value;
    double expected;
  };
  const Case cases[] = {
      {kSplitFreq, kInf, 20000.0},
      {kSplitFreq, -kInf, 20.0},
      {kSplitFreq, 1e30f, 20000.0},
      {kSplitFreq, -1e30f, 20.0},
      {kSplitFreq, 999.5f, 1000.0},
      {kSplitFreq, 999.49f, 999.0},
      {kSplitFreq, 0.0f, 20.0},
      {kMix, -5.0f, 0.0},
      {kMix, 100.2f, 100.0},
      {kLowRound, 55.5f, 56.0},
      {kLowRound, -0.0f, 0.0},
      {kSplitFreq, kNaN, 500.0},  // NaN keeps what the port held before
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "control " << c.control << " = " << c.value);
    auto instance = Start();
    instance->controls[c.control] = 500.0f;
    instance->Run(16);
    instance->controls[c.control] = c.value;
    instance->Run(16);
    EXPECT_EQ(instance->SavedValues().at(c.control), c.expected);
    std::vector<float> out = instance->Process(StereoSignal(256), {64});
    for (float x : out) ASSERT_TRUE(std::isfinite(x));
  }
}

// A rate no filter can work at is replaced by the fallback rate.
TEST_F(Lv2Plugin, HostileSampleRatesGiveTheFallbackRatesSound) {
  const std::vector<float> signal = StereoSignal(2048);
  const std::vector<float> expected = Start()->Process(signal, {256});
  for (double rate : {0.0, -48000.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(rate);
    Lv2Instance instance(module, urids.Features(), rate);
    ASSERT_TRUE(instance.Valid());
    instance.ConnectAll(256);
    instance.Activate();
    EXPECT_EQ(instance.Process(signal, {256}), expected);
  }
}

TEST_F(Lv2Plugin, StateSaveAndRestoreGiveIdenticalChunks) {
  auto saved = Start();
  saved->controls = {3000, 50, 60, 40, 31, 50, 10, 50, 90};
  const std::vector<float> signal = StereoSignal(4096);
  const std::vector<float> expected = saved->Process(signal, {512});
  SavedState state;
  ASSERT_EQ(saved->Save(state), LV2_STATE_SUCCESS);
  ASSERT_EQ(state.Bytes(urids.Map(kValuesKey)).size(), 80u);

  // A fresh instance whose controls are not connected: only the state can
  // give it the sound.
  auto restored = Start();
  ASSERT_EQ(restored->Restore(state), LV2_STATE_SUCCESS);
  SavedState again;
  ASSERT_EQ(restored->Save(again), LV2_STATE_SUCCESS);
  EXPECT_EQ(again.values, state.values);
  restored->DisconnectControls();
  EXPECT_EQ(restored->Process(signal, {512}), expected);
}

TEST_F(Lv2Plugin, RestoreRefusesForeignValuesAndResetsOnAnEmptyMap) {
  auto instance = Start();
  instance->controls[kMix] = 40.0f;
  instance->Run(1);
  SavedState good;
  ASSERT_EQ(instance->Save(good), LV2_STATE_SUCCESS);
  const uint32_t key = urids.Map(kValuesKey);
  const std::vector<uint8_t>& values = good.Bytes(key);
  const uint32_t chunkType = good.values.at(key).type;
  const std::vector<double> before = instance->SavedValues();

  std::vector<uint8_t> badMagic = values;
  badMagic[0] ^= 0xFF;
  std::vector<uint8_t> shortChunk(values.begin(), values.end() - 8);
  std::vector<uint8_t> longChunk = values;
  longChunk.resize(88, 0);
  struct Case {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> bytes;
    LV2_State_Status status;
  };
  const Case refused[] = {
      {"wrong type", chunkType + 1000, values, LV2_STATE_ERR_BAD_TYPE},
      {"wrong magic", chunkType, badMagic, LV2_STATE_ERR_UNKNOWN},
      {"short", chunkType, shortChunk, LV2_STATE_ERR_UNKNOWN},
      {"long", chunkType, longChunk, LV2_STATE_ERR_UNKNOWN},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.what);
    SavedState state;
    state.values[key] = {c.type, c.bytes};
    EXPECT_EQ(instance->Restore(state), c.status);
    EXPECT_EQ(instance->SavedValues(), before);
  }

  EXPECT_EQ(instance->Restore(SavedState{}), LV2_STATE_SUCCESS);
  const std::array<float, kControls> defaults = DefaultControls();
  EXPECT_EQ(instance->SavedValues(), std::vector<double>(defaults.begin(), defaults.end()));
}

TEST_F(Lv2Plugin, WithoutUridMapItRunsButKeepsNoState) {
  auto instance = Start(nullptr);
  const std::vector<float> out = instance->Process(StereoSignal(256), {64});
  EXPECT_EQ(out, Start()->Process(StereoSignal(256), {64}));
  SavedState state;
  EXPECT_EQ(instance->Save(state), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_EQ(instance->Restore(state), LV2_STATE_ERR_NO_FEATURE);
}

TEST_F(Lv2Plugin, AnyBlockLengthsGiveTheSameOutputAsOneLongBlock) {
  const std::vector<float> signal = StereoSignal(60000);
  const std::vector<float> expected = Start()->Process(signal, {60000});
  std::mt19937 random(19);
  std::uniform_int_distribution<uint32_t> length(1, 8192);
  std::vector<uint32_t> blocks(64);
  for (uint32_t& b : blocks) b = length(random);
  blocks[3] = 0;  // a host may run without frames to pass controls
  EXPECT_EQ(Start()->Process(signal, blocks), expected);
  EXPECT_EQ(Start()->Process(signal, blocks, /*inPlace=*/true), expected);
}

// Ardour's pattern: cycles of 1024 frames, each in place in the next of five
// buffer sets (some starting off the alignment of the others), ports
// connected anew before every run, two instances on two threads at once. The
// signal passes through every kind of block the frame loop tells apart
// (loud, decaying into samples below the silence threshold and the normal
// range of single precision, digital silence, and back), with its edges away
// from the cycles'. Each stream equals the same signal run straight through
// one pair of buffers, bit for bit.
TEST_F(Lv2Plugin, RotatingInPlaceBuffersOnTwoThreadsGiveTheStraightRender) {
  constexpr uint32_t kCycle = 1024, kSets = 5, kCycles = 160;
  std::vector<float> signal = StereoSignal(kCycle * kCycles);
  for (uint32_t i = 0; i < kCycle * kCycles; ++i) {
    const uint32_t phase = i % 20000;
    const float fade = phase < 9000    ? 1.0f
                       : phase < 15000 ? std::exp(-0.02f * (phase - 9000))
                                       : 0.0f;
    signal[2 * i] *= fade;
    signal[2 * i + 1] *= i % 40000 < 20000 ? fade : 1.0f;  // the right channel loud meanwhile
  }
  const std::vector<float> expected = Start()->Process(signal, {kCycle});
  const auto rotated = [&](std::vector<float>& out) {
    auto instance = Start();
    std::vector<std::vector<float>> sets(kSets, std::vector<float>(2 * kCycle + 8));
    for (uint32_t c = 0; c < kCycles; ++c) {
      std::vector<float>& set = sets[c % kSets];
      float* left = set.data() + (c % kSets) % 2;  // every second set starts a sample later
      float* right = left + kCycle + 4;
      for (uint32_t j = 0; j < kCycle; ++j) {
        left[j] = signal[2 * (c * kCycle + j)];
        right[j] = signal[2 * (c * kCycle + j) + 1];
      }
      instance->Connect(0, left);
      instance->Connect(1, right);
      instance->Connect(2, left);
      instance->Connect(3, right);
      instance->Run(kCycle);
      for (uint32_t j = 0; j < kCycle; ++j) {
        out[2 * (c * kCycle + j)] = left[j];
        out[2 * (c * kCycle + j) + 1] = right[j];
      }
    }
  };
  std::vector<float> first(signal.size()), second(signal.size());
  std::thread other([&] { rotated(second); });
  rotated(first);
  other.join();
  // Bit for bit, and the first differing frame named.
  for (const std::vector<float>* out : {&first, &second}) {
    ASSERT_EQ(out->size(), expected.size());
    const auto differs =
        std::mismatch(expected.begin(), expected.end(), out->begin(),
                      [](float a, float b) { return std::memcmp(&a, &b, 4) == 0; });
    EXPECT_EQ(differs.first, expected.end())
        << "frame " << (differs.first - expected.begin()) / 2 << " channel "
        << (differs.first - expected.begin()) % 2;
  }
}

TEST_F(Lv2Plugin, ActivatingAgainStartsFromSilence) {
  const std::vector<float> first = StereoSignal(3000);
  const std::vector<float> second(first.rbegin(), first.rend());
  auto reused = Start();
  reused->Process(first, {1000});
  reused->Deactivate();
  reused->Activate();
  EXPECT_EQ(reused->Process(second, {1000}), Start()->Process(second, {1000}));
}

TEST_F(Lv2Plugin, AudioPortsLeftUnconnectedReadSilenceAndAreNotWritten) {
  auto instance = Start();
  std::vector<float> inRight(128, 0.5f), outLeft(128, 7.0f);
  instance->Connect(0, nullptr);
  instance->Connect(1, inRight.data());
  instance->Connect(2, outLeft.data());
  instance->Connect(3, nullptr);
  instance->Run(128);
  EXPECT_EQ(outLeft, std::vector<float>(128, 0.0f));
}

// Saving runs on another thread while blocks run: each chunk holds the values
// of one block boundary (ThreadSanitizer checks the locking).
TEST_F(Lv2Plugin, SavingWhileRunningSeesWholeBlocks) {
  auto instance = Start();
  instance->controls[kLowRound] = instance->controls[kMix] = 0.0f;
  instance->Run(64);
  std::thread saver([&] {
    for (int i = 0; i < 200; ++i) {
      const std::vector<double> values = instance->SavedValues();
      ASSERT_EQ(values.size(), kControls);
      EXPECT_EQ(values[kLowRound], values[kMix]);
    }
  });
  for (int i = 0; i < 400; ++i) {
    instance->controls[kLowRound] = instance->controls[kMix] = static_cast<float>(i % 100);
    instance->Run(64);
  }
  saver.join();
}

}  // namespace
