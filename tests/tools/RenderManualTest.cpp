// render's manual page and bash completion: every option of --help in both,
// the page formats without warnings, and the completion offers the options,
// their values and the plug-in's own program and parameter names.
#include "tests/tools/ToolTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

const std::string kManual = DM_SOURCE_DIR "/tools/render/render.1";
const std::string kCompletion = DM_SOURCE_DIR "/tools/render/render.bash-completion";

std::set<std::string> OptionsOfHelp() {
  const std::string help = tool_test::RunRender({"--help"}).out;
  std::set<std::string> options;
  const std::regex line("\n  (-[a-z],)?(--[a-z-]+)");
  for (auto m = std::sregex_iterator(help.begin(), help.end(), line); m != std::sregex_iterator();
       ++m) {
    options.insert((*m)[2]);
    if ((*m)[1].matched) {
      options.insert((*m)[1].str().substr(0, 2));
    }
  }
  return options;
}

TEST(RenderManual, NamesEveryOptionAndFormatsCleanly) {
  const std::set<std::string> options = OptionsOfHelp();
  ASSERT_GT(options.size(), 20u);
  const std::string manual = tool_test::ReadText(kManual);
  const std::string completion = tool_test::ReadText(kCompletion);
  for (const std::string& option : options) {
    // In the page every hyphen of an option is a minus sign, "\-".
    EXPECT_THAT(manual, testing::HasSubstr(std::regex_replace(option, std::regex("-"), "\\-")))
        << option;
    EXPECT_TRUE(std::regex_search(completion, std::regex("[ ']" + option + "[ \n']"))) << option;
  }
  const tool_test::RunResult groff =
      tool_test::RunProgram("groff", {"-man", "-Tutf8", "-ww", "-z", kManual});
  EXPECT_EQ(groff.exitCode, 0);
  EXPECT_EQ(groff.err, "");
}

// Completions as bash computes them for the words typed so far (the last is
// the one being completed), one a line.
std::string Completions(const std::vector<std::string>& words) {
  std::string script = "source '" + kCompletion + "'; compopt() { :; }; COMP_WORDS=(";
  for (const std::string& w : words) {
    script += " '" + w + "'";
  }
  script += "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _render; printf '%s\\n' \"${COMPREPLY[@]}\"";
  return tool_test::RunProgram("/bin/bash", {"-c", script}).out;
}

TEST(RenderCompletion, OffersOptionsValuesAndThePluginsNames) {
  const std::string render = DM_RENDER_EXECUTABLE;
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{render, "--prog"}, "--program\n"},
      {{render, "--format", "=", "o"}, "ogg\nopus\n"},
      {{render, "--oversample", ""}, "1\n2\n4\n8\n"},
      {{render, "--plugin", DM_DUO_MANGLER_PLUGIN, "--program", "guitar m"},
       "Guitar More Drive\nGuitar More Drive 2\n"},
      {{render, "--plugin", DM_DUO_MANGLER_PLUGIN, "--param", "high"},
       "High Drive=\nHigh Gain=\nHigh Round=\n"},
      {{render, "--plugin", DM_TEST_GAIN_PLUGIN, "--automate", ""}, "Gain=\n"},
  };
  for (const auto& [words, expected] : cases) {
    EXPECT_EQ(Completions(words), expected) << words[words.size() - 2] << " " << words.back();
  }
}

}  // namespace
