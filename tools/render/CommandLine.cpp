#include "tools/render/CommandLine.h"

#include "tools/render/AudioFormat.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <memory>
#include <tuple>

namespace render {
namespace {

constexpr const char* kDescription =
    "Renders an audio file through a VST 2.4 plug-in offline, block by block, the way a DAW\n"
    "does: duoMangler.so, found beside render, in VST_PATH, ~/.vst, /usr/local/lib/vst or\n"
    "/usr/lib/vst, unless --plugin names a module.\n";

constexpr const char* kFooter =
    "Input: WAV, FLAC, AIFF, MP3, Ogg Vorbis or Opus, mono or stereo, any sample rate.\n"
    "The output keeps the input's sample rate, length, encoding where its format can\n"
    "hold it, and text tags. Its format follows --format, else the output's extension.\n"
    "Values are decimal numbers in the parameter's display units (\"500\", \"500 Hz\",\n"
    "\"80%\"); the plug-in rounds them to the steps it has. 16-bit and narrower PCM\n"
    "is written with TPDF dither. The output file appears only when the render\n"
    "succeeds; an existing one keeps its permissions, and the input is never\n"
    "replaced without --force. Outputs are files, never standard output or a pipe.\n"
    "\n"
    "Batches: with -o DIR every file named is an input, written to DIR under its\n"
    "own name (its extension follows --format), -j N files at a time (default: one\n"
    "per core). A file that cannot be rendered is reported and the others are\n"
    "rendered; the status is then 1 and the last line names the failures.\n"
    "\n"
    "Presets: --preset, then --program, then each --param, then --save-preset and\n"
    "--save-bank; without INPUT OUTPUT only the presets are saved.\n"
    "\n"
    "Automation: points are SECONDS:VALUE, values in display units. --automate\n"
    "\"Mix=0:0,2.5:100,4:100,4:30\" moves Mix from 0 % to 100 % by 2.5 s, holds it\n"
    "and jumps to 30 % at 4 s; before the first point the first value holds, after\n"
    "the last the last. The plug-in gets each new value as a host's automation\n"
    "before the very frame it belongs to (one lane per parameter; it overrides --param).\n"
    "\n"
    "Oversampling: with --oversample N the plug-in runs at N times the file's rate\n"
    "(and N times the block size) between libsoxr's very-high-quality linear-phase\n"
    "converters, so harmonics beyond the file's Nyquist frequency are filtered away\n"
    "instead of folding back; the output keeps the input's length and timing.\n"
    "\n"
    "Exit status: 0 on success, 1 when rendering fails, 2 for a mistake on the command\n"
    "line (options, names, values, formats), 128 + N when stopped by signal N.\n";

class RenderFormatter : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string) const override {
    return "Usage: render [OPTIONS] INPUT OUTPUT\n"
           "       render [OPTIONS] -o DIR INPUT...\n"
           "       render [OPTIONS] --list\n";
  }
};

// "NAME=VALUE"; the last '=' splits, so a name may contain one.
std::string CheckAssignment(const std::string& text) {
  const size_t eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) {
    return "parameter setting '" + text + "' is not of the form NAME=VALUE";
  }
  return {};
}

bool SameLetters(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                    SameLetters);
}

// "a, b or c"
std::string ListedWithOr(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  }
  return text;
}

// The validators' texts follow the option's name ("--block: ...").

// One of the names, in any letter case; it is stored as listed.
CLI::Validator OneOf(std::vector<std::string> names) {
  return CLI::Validator(
      [names](std::string& value) -> std::string {
        for (const std::string& name : names) {
          if (name.size() == value.size() &&
              std::equal(name.begin(), name.end(), value.begin(), SameLetters)) {
            value = name;
            return {};
          }
        }
        return "needs " + ListedWithOr(names) + ", not '" + value + "'";
      },
      "");
}

CLI::Validator WholeNumber(int32_t low, int32_t high) {
  return CLI::Validator(
      [low, high](const std::string& value) -> std::string {
        const bool digits =
            !value.empty() && value.size() <= 9 &&
            std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        const long number = digits ? std::stol(value) : -1;
        if (number >= low && number <= high) {
          return {};
        }
        return "needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
               ", not '" + value + "'";
      },
      "");
}

// CLI11's own texts describe its workings ("At Most 1 required but received
// 2"); these say what is wrong on the command line and what to do.
std::string Explained(const CLI::ParseError& e, const CLI::App& app) {
  const std::string what = e.what();
  if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
    const std::vector<std::string> extra = app.remaining();
    const std::string first = extra.empty() ? what : extra.front();
    if (first.empty() || first[0] != '-') {
      return "too many file names";
    }
    return "unknown option '" + first +
           "' (if it is a file, put -- before the file names: render [OPTIONS] -- INPUT OUTPUT)";
  }
  const std::string name = what.substr(0, what.find_first_of(": "));
  const CLI::Option* option = app.get_option_no_throw(name);
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) && option) {
    if (option->count() > 1) {
      return name + " is given " + std::to_string(option->count()) + " times; give it once";
    }
    return name + ": needs a value (" + option->get_type_name() + ")";
  }
  if (dynamic_cast<const CLI::ConversionError*>(&e)) {
    const size_t flag = what.find("--");
    const size_t equals = what.find(" = ");
    if (flag != std::string::npos && equals != std::string::npos) {
      return what.substr(flag, equals - flag) + " takes no value, not '" + what.substr(equals + 3) +
             "'";
    }
  }
  return what;
}

struct Parsed {
  CLI::App app{kDescription, "render"};
  std::vector<std::string> parameters;
  std::vector<std::string> automation;
  std::vector<std::string> files;
  std::string dither = "tpdf";
};

void Declare(Parsed& p, RenderOptions& o) {
  CLI::App& app = p.app;
  app.set_version_flag("--version", std::string("render ") + DM_VERSION);
  app.footer(kFooter);
  app.formatter(std::make_shared<RenderFormatter>());
  app.add_option("--plugin", o.pluginPath, "the VST 2.4 module (.so) to load")->type_name("PATH");
  app.add_option("--preset", o.presetPath, "load a VST 2 program (.fxp) or bank (.fxb) file first")
      ->type_name("FILE");
  app.add_option("--program", o.program, "select a program by name or 0-based index")
      ->type_name("NAME|INDEX");
  app.add_option("--param", p.parameters,
                 "set a parameter in its display units (repeatable; applied after the program)")
      ->type_name("NAME=VALUE")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->check(CLI::Validator(CheckAssignment, ""));
  app.add_option("--automate", p.automation,
                 "move a parameter in straight lines between points (repeatable, see below)")
      ->type_name("NAME=T:V,T:V,...")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->check(CLI::Validator(
          [](const std::string& text) {
            std::string error;
            ParseAutomationLane(text, error);
            return error;
          },
          ""));
  app.add_option("--save-preset", o.savePreset,
                 "write the current program to a .fxp file (after --preset, --program, --param)")
      ->type_name("FILE.fxp");
  app.add_option("--save-bank", o.saveBank, "write all programs to a .fxb file")
      ->type_name("FILE.fxb");
  app.add_option("--block", o.blockSize, "block size in frames (default 512)")
      ->type_name("N")
      ->check(WholeNumber(1, kMaxBlockSize));
  app.add_option("--oversample", o.oversampling,
                 "run the plug-in at 2, 4 or 8 times the file's rate (default 1: off)")
      ->type_name("N")
      ->transform(OneOf({"1", "2", "4", "8"}));
  app.add_flag("--double", o.useDouble, "process in double precision");
  app.add_option("--format", o.container, "output format (default: the output's extension)")
      ->type_name(JoinedNames(ContainerNames()))
      ->transform(OneOf(ContainerNames()));
  app.add_option("--encoding", o.encoding, "output samples (default: the input's)")
      ->type_name(JoinedNames(EncodingNames()))
      ->transform(OneOf(EncodingNames()));
  app.add_option("--dither", p.dither, "dither for 16-bit and narrower PCM (default tpdf)")
      ->type_name("tpdf|none")
      ->transform(OneOf({"tpdf", "none"}));
  app.add_option("-o,--output-folder", o.outputFolder,
                 "render every file named into this folder, each under its own name")
      ->type_name("DIR");
  app.add_option("-j,--jobs", o.jobs, "render N files of a batch at once (default: one per core)")
      ->type_name("N")
      ->check(WholeNumber(1, kMaxJobs));
  app.add_flag("--force", o.force, "allow the output to replace the input file");
  app.add_flag("--list", o.listOnly, "show the plug-in's programs and parameters and exit");
  app.add_flag("-q,--quiet", o.quiet, "no progress bar and no summary (warnings still show)");
  app.add_option("files", p.files)->group("");
}

std::string CheckValuesAndFiles(const Parsed& p, RenderOptions& o) {
  if (p.app.count("--plugin") > 0 && o.pluginPath.empty()) {
    return "--plugin: needs a file name";
  }
  if (p.app.count("--program") > 0 && o.program.empty()) {
    return "--program: needs a program name or index";
  }
  for (const auto& [option, value, extension] : {std::tuple{"--preset", &o.presetPath, ""},
                                                 {"--save-preset", &o.savePreset, ".fxp"},
                                                 {"--save-bank", &o.saveBank, ".fxb"}}) {
    if (p.app.count(option) > 0 && value->empty()) {
      return std::string(option) + ": needs a file name";
    }
    if (*extension && !value->empty() && !EndsWithIgnoringCase(*value, extension)) {
      return std::string(option) + ": '" + *value + "' should end in " + extension;
    }
  }
  if (o.listOnly) {
    return p.files.empty() ? "" : "--list takes no input or output file";
  }
  if (p.app.count("--output-folder") > 0) {
    if (o.outputFolder.empty() || p.files.empty()) {
      return o.outputFolder.empty() ? "--output-folder: needs a folder name"
                                    : "--output-folder needs at least one input file";
    }
    o.inputs = p.files;
    return {};
  }
  // Saving presets alone needs no audio.
  if (p.files.empty() && (!o.savePreset.empty() || !o.saveBank.empty())) {
    return {};
  }
  if (p.files.size() != 2) {
    return p.files.size() < 2 ? "an input and an output file are needed" : "too many file names";
  }
  if (p.files[0].empty() || p.files[1].empty()) {
    return "an empty file name was given";
  }
  o.input = p.files[0];
  o.output = p.files[1];
  return {};
}

}  // namespace

CommandLineResult ParseCommandLine(int argc, const char* const* argv) {
  CommandLineResult result;
  RenderOptions& o = result.options;
  Parsed p;
  Declare(p, o);
  try {
    p.app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    result.text = p.app.help();
    return result;
  } catch (const CLI::CallForVersion& e) {
    result.text = std::string(e.what()) + "\n";
    return result;
  } catch (const CLI::ParseError& e) {
    result.error = Explained(e, p.app);
    return result;
  }
  o.dither = p.dither != "none";
  for (const std::string& text : p.parameters) {
    const size_t eq = text.rfind('=');
    o.parameters.push_back({text.substr(0, eq), text.substr(eq + 1)});
  }
  for (const std::string& text : p.automation) {
    std::string error;
    o.automation.push_back(ParseAutomationLane(text, error));
  }
  result.error = CheckValuesAndFiles(p, o);
  return result;
}

}  // namespace render
