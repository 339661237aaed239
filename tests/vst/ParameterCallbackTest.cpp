// The host's setParameter and getParameter calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tests/vst/ModuleUnderTest.h"

namespace {

class ParameterCallbacks : public HostedPluginTest {
 protected:
  void SetUp() override {
    HostedPluginTest::SetUp();
    plugin->OpenAndStart(44100.0f, 128);
  }
};

}  // namespace

TEST_F(ParameterCallbacks, NormalisedValuesFollowEachParametersShape) {
  plugin->SetParameter(0, 0.5f);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "5015");  // 20 + 0.25 * 19980
  EXPECT_EQ(plugin->GetParameter(0), 0.5f);
  plugin->SetParameter(2, 0.333f);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 2), "33");
  plugin->SetParameter(2, 0.335f);  // 33.5 rounds up
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 2), "34");
  EXPECT_EQ(plugin->GetParameter(2), 0.34f);
  plugin->SetParameter(0, 1.0f);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "20000");
  plugin->SetParameter(0, 1.2f);
  EXPECT_EQ(plugin->Text(effGetParamDisplay, 0), "20000");
  EXPECT_EQ(plugin->GetParameter(0), 1.0f);
}

TEST_F(ParameterCallbacks, DefaultsReadBackNormalised) {
  // Split Freq: sqrt((1000 - 20) / 19980); Mix: 90 / 100.
  EXPECT_EQ(plugin->GetParameter(0), static_cast<float>(std::sqrt(980.0 / 19980.0)));
  EXPECT_EQ(plugin->GetParameter(8), static_cast<float>(0.9));
}

TEST_F(ParameterCallbacks, IndexesOutsideTheParametersReadZeroAndChangeNothing) {
  const std::vector<uint8_t> before = plugin->Chunk(true);
  for (int32_t index : {9, -1, 1000, std::numeric_limits<int32_t>::min()}) {
    EXPECT_EQ(plugin->GetParameter(index), 0.0f);
    plugin->SetParameter(index, 0.3f);
  }
  EXPECT_EQ(plugin->Chunk(true), before);
}

TEST_F(ParameterCallbacks, TheHostIsNotToldOfItsOwnChanges) {
  host.Clear();
  plugin->SetParameter(3, 0.7f);
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 0u);
  EXPECT_EQ(host.CountOf(audioMasterBeginEdit), 0u);
}

TEST_F(ParameterCallbacks, HugeAndNonFiniteValuesLeaveTheEffectUsable) {
  const float values[] = {std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          std::nanf(""),
                          1e30f,
                          -1e30f,
                          -0.5f,
                          std::numeric_limits<float>::denorm_min()};
  for (float value : values) {
    for (int32_t i = 0; i < 9; ++i) {
      plugin->SetParameter(i, value);
      char text[64];
      std::memset(text, '#', sizeof text);
      plugin->Dispatch(effGetParamDisplay, i, 0, text);
      EXPECT_LT(std::strlen(text), 32u);
      const float readBack = plugin->GetParameter(i);
      EXPECT_TRUE(readBack >= 0.0f && readBack <= 1.0f) << value << " " << i;
    }
    std::vector<float> in(64, 0.25f), outLeft(64), outRight(64);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    plugin->Effect()->processReplacing(plugin->Effect(), inputs, outputs, 64);
  }
  // Everything set back to sane values gives sane audio again.
  for (int32_t i = 0; i < 9; ++i) plugin->SetParameter(i, 0.5f);
  plugin->Dispatch(effSetProgram, 0, 1);
  std::vector<float> in(64, 0.25f), outLeft(64), outRight(64);
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  plugin->Effect()->processReplacing(plugin->Effect(), inputs, outputs, 64);
  plugin->Dispatch(effMainsChanged, 0, 0);
  plugin->Dispatch(effMainsChanged, 0, 1);
}
