// Where render finds its plug-in when --plugin names none: the folders Linux
// hosts search, in their order, and an error that says where it looked.
#include "tests/tools/ToolTestSupport.h"
#include "tools/render/PluginSearch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

namespace {

using render::SearchPlaces;
using testing::HasSubstr;

TEST(PluginSearch, FoldersInTheOrderHostsSearch) {
  struct Case {
    SearchPlaces places;
    std::vector<std::string> folders;
  };
  const Case cases[] = {
      // Installed: beside the tool and in its prefix, then VST_PATH (empty
      // entries skipped, each folder once), the user's and the system's.
      {{"/opt/dm/bin", "/a::/b/:/opt/dm/lib/vst:", "/home/u"},
       {"/opt/dm/bin", "/opt/dm/lib/vst", "/a", "/b", "/home/u/.vst", "/usr/local/lib/vst",
        "/usr/lib/vst"}},
      // In a build tree the build's module comes first after the tool's own
      // folders; without HOME and VST_PATH only the system's follow.
      {{"/src/build/tools/render", "", ""},
       {"/src/build/tools/render", "/src/build/tools/lib/vst", "/src/build/module",
        "/usr/local/lib/vst", "/usr/lib/vst"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(render::SearchFolders(render::Vst2Search(), c.places), c.folders)
        << c.places.toolFolder;
  }
}

// A copy of render outside the build tree, as on the PATH, with the test
// plug-in installed as duoMangler.so in one folder after another: the first
// folder of the search order wins, and render says which module it used.
TEST(PluginSearch, RenderOnThePathFindsTheInstalledModule) {
  for (const char* system : {"/usr/local/lib/vst/duoMangler.so", "/usr/lib/vst/duoMangler.so"}) {
    if (tool_test::Exists(system)) {
      GTEST_SKIP() << system << " is installed on this machine";
    }
  }
  namespace fs = std::filesystem;
  tool_test::TempFolder dir;
  const std::string bin = dir.Path("bin"), vst = dir.Path("vst"), home = dir.Path("home");
  for (const std::string& folder : {bin, vst, home + "/.vst"}) {
    fs::create_directories(folder);
  }
  fs::copy_file(DM_RENDER_EXECUTABLE, bin + "/render");
  tool_test::WriteAudio(dir.Path("in.wav"),
                        tool_test::MakeSignal(2, 44100, 100, tool_test::kFloatWav));
  const auto run = [&](const std::vector<std::string>& args) {
    std::vector<std::string> all = {"HOME=" + home, "VST_PATH=" + vst, bin + "/render"};
    all.insert(all.end(), args.begin(), args.end());
    return tool_test::RunProgram("/usr/bin/env", all);
  };

  const tool_test::RunResult none = run({"--list"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.err, "render: cannot find the plug-in: duoMangler.so is in none of " + bin + ", " +
                          dir.Path("lib/vst") + ", " + vst + ", " + home +
                          "/.vst, /usr/local/lib/vst, /usr/lib/vst (VST_PATH adds folders); copy "
                          "it into ~/.vst/ or name the module with --plugin PATH\n");

  for (const std::string& folder : {home + "/.vst", vst, bin}) {
    fs::copy_file(DM_TEST_GAIN_PLUGIN, folder + "/duoMangler.so");
    const tool_test::RunResult listed = run({"--list"});
    EXPECT_THAT(listed.out, HasSubstr("(" + folder + "/duoMangler.so)\n")) << listed.err;
  }
  const tool_test::RunResult rendered = run({dir.Path("in.wav"), dir.Path("out.wav")});
  EXPECT_EQ(rendered.exitCode, 0) << rendered.err;
  EXPECT_THAT(rendered.out, testing::EndsWith("\n  plug-in: " + bin + "/duoMangler.so\n"));
}

}  // namespace
