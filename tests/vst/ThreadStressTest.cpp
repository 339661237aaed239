// The host's audio thread runs blocks while its other threads change
// parameters, programs and state and read display texts. Every block must see
// one consistent set of derived quantities: the ones the current parameter
// values give, unchanged from the block's first frame to its last.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "effect/DerivedQuantities.h"
#include "tests/vst/InProcessPlugin.h"

namespace {

// The derived quantities a block reads.
struct Derived {
  double coefIn, coefB1, coefB2;
  float driveLow, driveHigh, gainLow, gainHigh, levelLow, levelHigh, driveCompLow, driveCompHigh;
  float roundLow, roundHigh, damping, dryLevel, wetLevel;
  uint16_t splitFrequency;

  static Derived Of(const TwoBandProcessor& p) {
    return {p.coefIn,     p.coefB1,    p.coefB2,     p.low.drive,     p.high.drive,     p.low.gain,
            p.high.gain,  p.low.level, p.high.level, p.low.driveComp, p.high.driveComp, p.low.round,
            p.high.round, p.damping,   p.dryLevel,   p.wetLevel,      p.splitFrequency};
  }
  bool operator==(const Derived&) const = default;
};

// Checks each block against the quantities recomputed from the parameters.
class EffectCheckingBlocks : public DuoManglerEffect {
 public:
  using DuoManglerEffect::DuoManglerEffect;

  void ProcessBlock(double** inputs, double** outputs, int32_t frames) override {
    const Derived atStart = Derived::Of(Processor());
    if (!(atStart == Expected())) inconsistentBlocks.fetch_add(1);
    DuoManglerEffect::ProcessBlock(inputs, outputs, frames);
    if (!(Derived::Of(Processor()) == atStart)) changedDuringBlock.fetch_add(1);
    blocks.fetch_add(1);
  }

  std::atomic<int64_t> blocks{0}, inconsistentBlocks{0}, changedDuringBlock{0};

 private:
  Derived Expected() const {
    TwoBandProcessor fresh = Processor();
    for (int32_t i = 0; i < ParameterCount(); ++i)
      ApplyParameterToProcessor(i, ParameterAt(i)->value, fresh);
    return Derived::Of(fresh);
  }
};

using Clock = std::chrono::steady_clock;

}  // namespace

TEST(ThreadStress, BlocksNeverSeeAHalfAppliedChange) {
  InProcessPlugin<EffectCheckingBlocks> plugin;
  AEffect* record = plugin.record;
  plugin.Dispatch(effOpen);
  plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  plugin.Dispatch(effSetBlockSize, 0, 128);
  plugin.Dispatch(effMainsChanged, 0, 1);

  std::atomic<bool> stop{false};
  const auto deadline = Clock::now() + std::chrono::milliseconds(1500);

  std::thread audio([&] {
    std::vector<float> inF(128, 0.3f), outLF(128), outRF(128);
    std::vector<double> inD(128, -0.3), outLD(128), outRD(128);
    float* inputsF[2] = {inF.data(), inF.data()};
    float* outputsF[2] = {outLF.data(), outRF.data()};
    double* inputsD[2] = {inD.data(), inD.data()};
    double* outputsD[2] = {outLD.data(), outRD.data()};
    for (int64_t n = 0; !stop.load(); ++n) {
      switch (n % 3) {
        case 0:
          record->processReplacing(record, inputsF, outputsF, 128);
          break;
        case 1:
          record->process(record, inputsF, outputsF, 64);
          break;
        default:
          record->processDoubleReplacing(record, inputsD, outputsD, 128);
          break;
      }
    }
  });

  // Hosts keep chunk requests of one kind in order: the bytes handed out
  // belong to the plug-in until its next such request.
  std::mutex chunkOrder;
  auto worker = [&](unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> action(0, 6), parameter(0, 8), program(0, 24);
    std::uniform_real_distribution<float> normalised(0.0f, 1.0f);
    char text[64];
    while (Clock::now() < deadline) {
      switch (action(random)) {
        case 0:
        case 1:
          record->setParameter(record, parameter(random), normalised(random));
          break;
        case 2:
          (void)record->getParameter(record, parameter(random));
          break;
        case 3:
          record->dispatcher(record, effSetProgram, 0, program(random), nullptr, 0.0f);
          break;
        case 4:
          record->dispatcher(record, effGetParamDisplay, parameter(random), 0, text, 0.0f);
          break;
        default: {
          std::lock_guard<std::mutex> order(chunkOrder);
          const int32_t kind = static_cast<int32_t>(random() % 2);
          void* bytes = nullptr;
          const intptr_t size = record->dispatcher(record, effGetChunk, kind, 0, &bytes, 0.0f);
          std::vector<uint8_t> copy(static_cast<uint8_t*>(bytes),
                                    static_cast<uint8_t*>(bytes) + size);
          record->dispatcher(record, effSetChunk, kind, size, copy.data(), 0.0f);
          break;
        }
      }
    }
  };
  std::vector<std::thread> others;
  for (unsigned seed = 1; seed <= 3; ++seed) others.emplace_back(worker, seed);
  for (std::thread& t : others) t.join();
  stop.store(true);
  audio.join();

  EXPECT_GT(plugin.effect->blocks.load(), 0);
  EXPECT_EQ(plugin.effect->inconsistentBlocks.load(), 0);
  EXPECT_EQ(plugin.effect->changedDuringBlock.load(), 0);
}
