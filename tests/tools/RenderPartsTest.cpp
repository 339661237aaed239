// The render tool's pieces where a fault would not show in a whole render.
#include "tools/common/Counted.h"
#include "tools/render/AudioFormat.h"
#include "tools/render/CommandLine.h"
#include "tools/render/HostCallback.h"
#include "tools/render/LevelMeter.h"
#include "tools/render/ParameterControl.h"
#include "tools/render/RenderError.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using namespace render;

CommandLineResult Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "render");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(RenderCommandLine, ReadsEveryOptionInBothSpellings) {
  const CommandLineResult r =
      Parse({"--plugin=/p/x.so", "--program", "Kick", "--param", "Split Freq=500", "--param",
             "Mix=50", "--block=64", "--oversample", "8", "--double", "--format", "flac",
             "--encoding=pcm16", "in.wav", "out.flac"});
  ASSERT_EQ(r.error, "");
  const RenderOptions& o = r.options;
  EXPECT_EQ(o.pluginPath, "/p/x.so");
  EXPECT_EQ(o.program, "Kick");
  ASSERT_EQ(o.parameters.size(), 2u);
  EXPECT_EQ(o.parameters[0].name, "Split Freq");
  EXPECT_EQ(o.parameters[0].value, "500");
  EXPECT_EQ(o.parameters[1].name, "Mix");
  EXPECT_EQ(o.blockSize, 64);
  EXPECT_EQ(o.oversampling, 8);
  EXPECT_TRUE(o.useDouble);
  EXPECT_EQ(o.container, "flac");
  EXPECT_EQ(o.encoding, "pcm16");
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.output, "out.flac");
}

TEST(RenderCommandLine, RejectsWhatItCannotDo) {
  EXPECT_NE(Parse({"--block", "65537", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--block", "-1", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--oversample", "3", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--param", "=5", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--param", "Mix=", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--list", "a"}).error, "");
  EXPECT_NE(Parse({"a", "b", "c"}).error, "");
  EXPECT_NE(Parse({"--double=maybe", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--format", "mp4", "a", "b"}).error, "");
  EXPECT_NE(Parse({"--program", "", "a", "b"}).error, "");
  EXPECT_NE(Parse({"a", "--program"}).error, "");
  // After "--", a file may start with a dash.
  const CommandLineResult r = Parse({"--", "-in.wav", "out.wav"});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.options.input, "-in.wav");
  EXPECT_TRUE(Parse({"--list"}).options.listOnly);
}

// The parser's own texts ("At Most 1 required but received 2") say what to
// change instead.
TEST(RenderCommandLine, MistakesAreExplainedInTheUsersTerms) {
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"--block", "64", "--block=128", "a", "b"}, "--block is given 2 times; give it once"},
      {{"--block", "abc", "a", "b"}, "--block: needs a whole number from 1 to 65536, not 'abc'"},
      {{"--block", "65537", "a", "b"},
       "--block: needs a whole number from 1 to 65536, not '65537'"},
      {{"--oversample", "3", "a", "b"}, "--oversample: needs 1, 2, 4 or 8, not '3'"},
      {{"--format", "mp4", "a", "b"},
       "--format: needs wav, flac, aiff, mp3, ogg or opus, not 'mp4'"},
      {{"--dither", "rect", "a", "b"}, "--dither: needs tpdf or none, not 'rect'"},
      {{"-foo.wav", "b"},
       "unknown option '-foo.wav' (if it is a file, put -- before the file names: render "
       "[OPTIONS] -- INPUT OUTPUT)"},
      {{"a", "b", "c"}, "too many file names"},
      {{"a", "--program"}, "--program: needs a value (NAME|INDEX)"},
      {{"--double=maybe", "a", "b"}, "--double takes no value, not 'maybe'"},
  };
  for (const auto& [args, message] : cases) {
    EXPECT_EQ(Parse(args).error, message) << args[0];
  }
}

TEST(RenderCommandLine, FormatEncodingAndDitherNamesInAnyCase) {
  const CommandLineResult r =
      Parse({"--format", "WAV", "--encoding=Float", "--dither", "NONE", "a", "b"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.container, "wav");
  EXPECT_EQ(r.options.encoding, "float");
  EXPECT_FALSE(r.options.dither);
  EXPECT_TRUE(Parse({"a", "b"}).options.dither);
}

TEST(RenderOutputFormatChoice, KeepsEncodingWhereTheContainerCanHoldIt) {
  constexpr int wavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  constexpr int wavexFloat = SF_FORMAT_WAVEX | SF_FORMAT_FLOAT;
  // Float data goes into the extensible header, and so does an extensible
  // input's; 16-bit PCM from a plain WAV stays plain.
  EXPECT_EQ(ChooseOutputFormat(wavFloat, "o.wav", "", "", {2, 44100}), wavexFloat);
  EXPECT_EQ(ChooseOutputFormat(SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, "o.wav", "", "", {2, 44100}),
            SF_FORMAT_WAVEX | SF_FORMAT_PCM_16);
  EXPECT_EQ(ChooseOutputFormat(SF_FORMAT_WAV | SF_FORMAT_PCM_16, "o.Wav", "", "", {2, 44100}),
            SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(ChooseOutputFormat(wavFloat, "o.FLAC", "", "", {2, 44100}),
            SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_EQ(ChooseOutputFormat(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "o.aif", "", "", {1, 96000}),
            SF_FORMAT_AIFF | SF_FORMAT_PCM_16);
  // The option names the format of a file without a known extension, and
  // may not contradict one.
  EXPECT_EQ(ChooseOutputFormat(wavFloat, "o.out", "flac", "", {2, 44100}),
            SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_THROW(ChooseOutputFormat(wavFloat, "o.flac", "wav", "", {2, 44100}), UsageError);
  // Lossy formats have their one codec, MP3 and Opus a few rates.
  EXPECT_EQ(ChooseOutputFormat(wavFloat, "o.MP3", "", "", {2, 44100}),
            SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
  EXPECT_EQ(ChooseOutputFormat(wavFloat, "o.opus", "", "", {1, 48000}),
            SF_FORMAT_OGG | SF_FORMAT_OPUS);
  EXPECT_THROW(ChooseOutputFormat(wavFloat, "o.mp3", "", "", {2, 96000}), UsageError);
  // A big-endian input's byte order is not carried into a new container.
  EXPECT_EQ(ChooseOutputFormat(SF_FORMAT_AIFF | SF_FORMAT_PCM_24 | SF_ENDIAN_BIG, "o.wav", "", "",
                               {2, 44100}),
            SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  EXPECT_THROW(ChooseOutputFormat(wavFloat, "o.flac", "", "double", {2, 44100}), RenderError);
}

// What a WAV file cannot hold goes into RF64 (which libsndfile finishes as
// WAV when it stays small); AIFF refuses it before any work; a lossy input
// becomes PCM in a PCM container.
TEST(RenderOutputFormatChoice, FollowsTheLengthAndDecodesLossyInputs) {
  struct Case {
    int input;
    const char* output;
    const char* encoding;
    OutputShape shape;
    int expected;  // 0: refused
  };
  constexpr int64_t kEighteenHoursAt8k = int64_t{18} * 3600 * 8000;
  constexpr int64_t k3Point2HoursAt48k = int64_t{32} * 360 * 48000;
  constexpr int kRf64 = SF_FORMAT_RF64;
  const Case cases[] = {
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16,
       "o.wav",
       "double",
       {1, 8000, kEighteenHoursAt8k},
       kRf64 | SF_FORMAT_DOUBLE},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT,
       "o.wav",
       "",
       {2, 48000, k3Point2HoursAt48k},
       kRf64 | SF_FORMAT_FLOAT},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16,
       "o.wav",
       "",
       {1, 48000, k3Point2HoursAt48k},
       SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {kRf64 | SF_FORMAT_PCM_24, "o.wav", "", {2, 48000, 1000}, kRf64 | SF_FORMAT_PCM_24},
      {kRf64 | SF_FORMAT_PCM_24, "o.out", "", {2, 48000, 1000}, kRf64 | SF_FORMAT_PCM_24},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "o.aiff", "", {2, 48000, k3Point2HoursAt48k}, 0},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT,
       "o.flac",
       "",
       {2, 48000, k3Point2HoursAt48k},
       SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
       "o.wav",
       "",
       {2, 44100, 1000},
       SF_FORMAT_WAV | SF_FORMAT_PCM_24},
      {SF_FORMAT_OGG | SF_FORMAT_OPUS,
       "o.aiff",
       "",
       {2, 48000, 1000},
       SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
  };
  for (const Case& c : cases) {
    const auto choose = [&c] {
      return ChooseOutputFormat(c.input, c.output, "", c.encoding, c.shape);
    };
    if (c.expected == 0) {
      EXPECT_THROW(choose(), UsageError) << c.output;
    } else {
      EXPECT_EQ(choose(), c.expected) << std::hex << c.input << " to " << c.output;
    }
  }
  // A container that holds no samples of an encoding at all is a mistake
  // whatever the file.
  EXPECT_THROW(CheckContainerTakesEncoding("flac", "float"), UsageError);
  EXPECT_THROW(CheckContainerTakesEncoding("mp3", "pcm16"), UsageError);
  EXPECT_NO_THROW(CheckContainerTakesEncoding("wav", "double"));
  EXPECT_NO_THROW(CheckContainerTakesEncoding("", "float"));
}

TEST(RenderLevelMeter, PeakAndRmsOfAFullScaleSine) {
  std::vector<float> sine(4800);
  for (size_t i = 0; i < sine.size(); ++i) {
    sine[i] = static_cast<float>(std::sin(2.0 * M_PI * static_cast<double>(i) / 48.0));
  }
  LevelMeter meter;
  meter.Add(sine.data(), static_cast<int64_t>(sine.size()));
  EXPECT_NEAR(meter.PeakDb(), 0.0, 1e-6);
  EXPECT_NEAR(meter.RmsDb(), -3.0103, 1e-3);  // 20 log10(1/sqrt 2)
  EXPECT_EQ(meter.Overs(), 0);
  const double over[2] = {1.5, -0.25};
  meter.Add(over, 2);
  EXPECT_NEAR(meter.PeakDb(), 20.0 * std::log10(1.5), 1e-12);
  EXPECT_EQ(meter.Overs(), 1);
  EXPECT_TRUE(std::isinf(LevelMeter().PeakDb()));
  // NaN and infinities are counted apart and move no level.
  const float odd[4] = {NAN, 0.5f, -INFINITY, NAN};
  LevelMeter withOdd;
  withOdd.Add(odd, 4);
  EXPECT_EQ(withOdd.NonFinite(), 3);
  EXPECT_EQ(withOdd.FirstNonFinite(), 0);
  EXPECT_EQ(withOdd.Peak(), 0.5);
  EXPECT_EQ(withOdd.Rms(), 0.5);
  EXPECT_EQ(withOdd.Overs(), 0);
}

TEST(RenderHostCallback, AnswersWhatPluginsAskOnOpen) {
  EXPECT_EQ(RenderHostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
  char text[256];
  std::memset(text, 'x', sizeof(text));
  EXPECT_EQ(RenderHostCallback(nullptr, audioMasterGetProductString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "duoMangler render");
  EXPECT_EQ(RenderHostCallback(nullptr, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f), 10000);
  char canDo[] = "sendVstTimeInfo";
  EXPECT_EQ(RenderHostCallback(nullptr, audioMasterCanDo, 0, 0, canDo, 0.0f), 1);
  EXPECT_EQ(RenderHostCallback(nullptr, audioMasterCanDo, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(RenderHostCallback(nullptr, 9999, 0, 0, nullptr, 0.0f), 0);
}

TEST(RenderHostCallback, TimeInfoFollowsTheInstancesTransport) {
  HostState state;
  state.sampleRate = 48000.0;
  state.blockSize = 128;
  state.samplePosition = 96000.0;  // two seconds: four beats at 120 bpm
  state.rendering = true;
  AEffect effect{};
  effect.user = &state;
  EXPECT_EQ(RenderHostCallback(&effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 48000);
  EXPECT_EQ(RenderHostCallback(&effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 128);
  const auto* t = reinterpret_cast<const VstTimeInfo*>(
      RenderHostCallback(&effect, audioMasterGetTime, 0, 0, nullptr, 0.0f));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->samplePos, 96000.0);
  EXPECT_EQ(t->ppqPos, 4.0);
  EXPECT_EQ(t->barStartPos, 4.0);
  EXPECT_EQ(t->tempo, 120.0);
  EXPECT_EQ(t->timeSigNumerator, 4);
  EXPECT_EQ(t->timeSigDenominator, 4);
  EXPECT_TRUE(t->flags & kVstTransportPlaying);
  EXPECT_TRUE(t->flags & kVstTempoValid);
  EXPECT_TRUE(t->flags & kVstTimeSigValid);
}

TEST(RenderMessages, CountsTakeTheirNounsNumber) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0 samples"}, {1, "1 sample"}, {2, "2 samples"}};
  for (const auto& [count, text] : cases) {
    EXPECT_EQ(tools::Counted(count, "sample"), text);
  }
}

TEST(RenderParameterText, LeadingNumberOfDisplayTexts) {
  std::string rest;
  EXPECT_EQ(LeadingNumber("20000", &rest), 20000.0);
  EXPECT_EQ(rest, "");
  EXPECT_EQ(LeadingNumber(" -3.5 dB", &rest), -3.5);
  EXPECT_EQ(rest, " dB");
  EXPECT_EQ(LeadingNumber("Off"), std::nullopt);
  EXPECT_EQ(LeadingNumber(""), std::nullopt);
  EXPECT_EQ(LeadingNumber("inf"), std::nullopt);
}

}  // namespace
