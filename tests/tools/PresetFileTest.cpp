// VST 2 program and bank files: the bytes as hosts write them, round trips
// through the plug-ins (parameter values and opaque chunks), and every file
// that must be refused without changing anything.
#include "tests/tools/ToolTestSupport.h"
#include "tools/presets/PresetFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using testing::HasSubstr;
using tool_test::RunRender;
using tool_test::TempFolder;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A one-parameter 'FxCk' program for plug-in 'tgan', as a host writes it.
std::vector<uint8_t> HostProgram(float value = 0.25f, const char* name = "Quiet") {
  std::vector<uint8_t> b = Bytes("CcnK");
  const auto u32 = [&b](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
  };
  u32(52);
  for (const uint8_t c : Bytes("FxCk")) b.push_back(c);
  u32(1);
  for (const uint8_t c : Bytes("tgan")) b.push_back(c);
  u32(1);
  u32(1);
  std::string padded(name);
  padded.resize(28, '\0');
  for (const char c : padded) b.push_back(static_cast<uint8_t>(c));
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  u32(bits);
  return b;
}

TEST(PresetFile, ReadsAndWritesTheBytesHostsWrite) {
  const presets::PresetFile f = presets::ParsePresetFile(HostProgram());
  EXPECT_FALSE(f.isBank);
  EXPECT_FALSE(f.opaque);
  EXPECT_EQ(f.pluginId, 0x7467616E);  // 'tgan'
  ASSERT_EQ(f.programs.size(), 1u);
  EXPECT_EQ(f.programs[0].name, "Quiet");
  EXPECT_EQ(f.programs[0].values, std::vector<float>{0.25f});
  EXPECT_EQ(presets::SerializePresetFile(f), HostProgram());
}

TEST(PresetFile, RefusesDamagedFiles) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;
  };
  const std::vector<uint8_t> whole = HostProgram();
  std::vector<uint8_t> longer = whole;
  longer.push_back(0);
  std::vector<uint8_t> sizeTooBig = HostProgram();
  sizeTooBig[7] = 60;
  std::vector<uint8_t> wrongKind = HostProgram();
  wrongKind[11] = 'x';
  std::vector<uint8_t> manyParameters = HostProgram();
  manyParameters[24] = 0x7F;
  const Case cases[] = {
      {"empty", {}, "the file is cut short in the header"},
      {"magic", Bytes("RIFF\0\0\0\0WAVE"), "no 'CcnK' magic"},
      {"cut", std::vector<uint8_t>(whole.begin(), whole.end() - 3),
       "disagrees with the 49 bytes that follow"},
      {"trailing", longer, "disagrees with the 53 bytes that follow"},
      {"size", sizeTooBig, "its size field (60 bytes)"},
      {"kind", wrongKind, "unknown kind of preset file"},
      {"count", manyParameters, "does not fit the file"},
      {"value", HostProgram(1.5f), "a parameter value lies outside 0 to 1"},
      {"nan", HostProgram(std::nanf("")), "a parameter value lies outside 0 to 1"},
  };
  for (const Case& c : cases) {
    try {
      presets::ParsePresetFile(c.bytes);
      ADD_FAILURE() << c.name << " was read";
    } catch (const presets::PresetFileError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.reason)) << c.name;
    }
  }
}

// Saved, loaded into a fresh instance and saved again: the same bytes, for
// the value kinds (duoMangler) and the chunk kinds (test plug-in).
TEST(PresetFiles, SurviveARoundTripThroughTheirPlugin) {
  for (const auto& [plugin, program] :
       {std::pair{std::string(DM_TEST_GAIN_PLUGIN), "Half"}, {DM_DUO_MANGLER_PLUGIN, "Kick"}}) {
    TempFolder dir;
    const tool_test::RunResult saved =
        RunRender({"--plugin", plugin, "--program", program, "--save-preset", dir.Path("a.fxp"),
                   "--save-bank", dir.Path("a.fxb")});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    for (const char* kind : {".fxp", ".fxb"}) {
      const std::string first = dir.Path(std::string("a") + kind);
      const std::string second = dir.Path(std::string("b") + kind);
      const tool_test::RunResult again =
          RunRender({"--plugin", plugin, "--preset", first,
                     kind == std::string(".fxp") ? "--save-preset" : "--save-bank", second});
      ASSERT_EQ(again.exitCode, 0) << again.err;
      EXPECT_EQ(tool_test::ReadText(second), tool_test::ReadText(first)) << plugin << kind;
    }
  }
}

TEST(PresetFiles, LoadedProgramSoundsLikeTheProgram) {
  TempFolder dir;
  tool_test::WriteAudio(dir.Path("in.wav"),
                        tool_test::MakeSignal(2, 44100, 3000, tool_test::kFloatWav));
  ASSERT_EQ(RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "Kick", "--save-preset",
                       dir.Path("kick.fxp")})
                .exitCode,
            0);
  ASSERT_EQ(RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "Kick", "-q",
                       dir.Path("in.wav"), dir.Path("program.wav")})
                .exitCode,
            0);
  const tool_test::RunResult loaded =
      RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--preset", dir.Path("kick.fxp"), "-q",
                 dir.Path("in.wav"), dir.Path("preset.wav")});
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  EXPECT_EQ(tool_test::ReadAudio(dir.Path("preset.wav")).samples,
            tool_test::ReadAudio(dir.Path("program.wav")).samples);
}

TEST(PresetFiles, FilesThatDoNotFitThePluginChangeNothing) {
  TempFolder dir;
  ASSERT_EQ(
      RunRender({"--plugin", DM_DUO_MANGLER_PLUGIN, "--save-preset", dir.Path("duo.fxp")}).exitCode,
      0);
  const std::vector<uint8_t> host = HostProgram();
  tool_test::WriteText(dir.Path("host.fxp"), std::string(host.begin(), host.end()));
  tool_test::WriteText(dir.Path("text.fxp"), "not a preset");
  // A chunk file made by hand for duoMangler, which keeps no chunks.
  presets::PresetFile chunk;
  chunk.opaque = true;
  chunk.pluginId = 0x706C3665;  // 'pl6e'
  chunk.chunk = {1, 2, 3, 4};
  const std::vector<uint8_t> chunkBytes = presets::SerializePresetFile(chunk);
  tool_test::WriteText(dir.Path("chunk.fxp"), std::string(chunkBytes.begin(), chunkBytes.end()));
  struct Case {
    std::string plugin;
    const char* file;
    const char* reason;
  };
  const Case cases[] = {
      {DM_TEST_GAIN_PLUGIN, "duo.fxp", "it is for another plug-in (ID 'pl6e', this one is 'tgan')"},
      {DM_DUO_MANGLER_PLUGIN, "host.fxp",
       "it is for another plug-in (ID 'tgan', this one is 'pl6e')"},
      {DM_TEST_GAIN_PLUGIN, "text.fxp", "not a VST preset or bank file (no 'CcnK' magic)"},
      {DM_DUO_MANGLER_PLUGIN, "chunk.fxp",
       "it holds a plug-in chunk ('FPCh'), but this plug-in keeps none: hosts save its programs "
       "as parameter lists ('FxCk')"},
      {DM_TEST_GAIN_PLUGIN, "missing.fxp", "it cannot be opened"},
  };
  for (const Case& c : cases) {
    const tool_test::RunResult run = RunRender(
        {"--plugin", c.plugin, "--preset", dir.Path(c.file), "--save-preset", dir.Path("out.fxp")});
    EXPECT_EQ(run.exitCode, 1) << c.file;
    EXPECT_THAT(run.err, HasSubstr("cannot load preset '" + dir.Path(c.file) + "': " + c.reason));
    EXPECT_FALSE(tool_test::Exists(dir.Path("out.fxp"))) << c.file;
  }
  // The host's file suits the test plug-in: Gain 0.25 of 200 %.
  const tool_test::RunResult fits =
      RunRender({"--plugin", DM_TEST_GAIN_PLUGIN, "--preset", dir.Path("host.fxp"), "--list"});
  EXPECT_THAT(fits.out, HasSubstr("50 %\n"));
}

}  // namespace
