#include "tools/render/CommandLine.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace render {
namespace {

bool ParseBlockSize(std::string_view text, int32_t& out) {
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxBlockSize) {
    return false;
  }
  out = value;
  return true;
}

bool IsOneOf(const std::string& value, std::initializer_list<const char*> allowed) {
  for (const char* a : allowed) {
    if (value == a) {
      return true;
    }
  }
  return false;
}

// Splits "--name=value" into name and value; a bare option leaves value empty.
struct OptionToken {
  std::string name;
  std::optional<std::string> inlineValue;
};

OptionToken SplitOption(std::string_view arg) {
  const size_t eq = arg.find('=');
  if (eq == std::string_view::npos) {
    return {std::string(arg), std::nullopt};
  }
  return {std::string(arg.substr(0, eq)), std::string(arg.substr(eq + 1))};
}

class Parser {
 public:
  Parser(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

  CommandLineResult Run() {
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (next_ = 1; next_ < argc_ && result_.error.empty();) {
      const std::string_view arg = argv_[next_++];
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
      } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
        HandleOption(arg);
      } else {
        positional.emplace_back(arg);
      }
    }
    if (result_.error.empty()) {
      CheckPositional(positional);
    }
    return result_;
  }

 private:
  void Fail(const std::string& message) {
    if (result_.error.empty()) {
      result_.error = message;
    }
  }

  // The option's value: after '=' or the next argument.
  std::optional<std::string> TakeValue(const OptionToken& token) {
    if (token.inlineValue) {
      return token.inlineValue;
    }
    if (next_ >= argc_) {
      Fail("option " + token.name + " needs a value");
      return std::nullopt;
    }
    return std::string(argv_[next_++]);
  }

  void RejectValue(const OptionToken& token) {
    if (token.inlineValue) {
      Fail("option " + token.name + " takes no value");
    }
  }

  void HandleOption(std::string_view arg) {
    const OptionToken token = SplitOption(arg);
    RenderOptions& o = result_.options;
    if (token.name == "-h" || token.name == "--help") {
      RejectValue(token);
      o.showHelp = true;
    } else if (token.name == "--list") {
      RejectValue(token);
      o.listOnly = true;
    } else if (token.name == "--double") {
      RejectValue(token);
      o.useDouble = true;
    } else if (token.name == "-q" || token.name == "--quiet") {
      RejectValue(token);
      o.quiet = true;
    } else if (token.name == "--plugin") {
      if (auto v = TakeValue(token)) {
        if (v->empty()) {
          Fail("option --plugin needs a file name");
        }
        o.pluginPath = *v;
      }
    } else if (token.name == "--program") {
      if (auto v = TakeValue(token)) {
        if (v->empty()) {
          Fail("option --program needs a name or index");
        }
        o.program = *v;
      }
    } else if (token.name == "--param") {
      if (auto v = TakeValue(token)) {
        AddParameter(*v);
      }
    } else if (token.name == "--block") {
      if (auto v = TakeValue(token)) {
        if (!ParseBlockSize(*v, o.blockSize)) {
          Fail("block size '" + *v + "' is not a whole number from 1 to " +
               std::to_string(kMaxBlockSize));
        }
      }
    } else if (token.name == "--format") {
      if (auto v = TakeValue(token)) {
        if (!IsOneOf(*v, {"wav", "flac", "aiff"})) {
          Fail("unknown file format '" + *v + "' (use wav, flac or aiff)");
        }
        o.container = *v;
      }
    } else if (token.name == "--encoding") {
      if (auto v = TakeValue(token)) {
        if (!IsOneOf(*v, {"pcm16", "pcm24", "pcm32", "float", "double"})) {
          Fail("unknown sample encoding '" + *v + "' (use pcm16, pcm24, pcm32, float or double)");
        }
        o.encoding = *v;
      }
    } else {
      Fail("unknown option " + token.name);
    }
  }

  void AddParameter(const std::string& text) {
    const size_t eq = text.rfind('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) {
      Fail("parameter setting '" + text + "' is not of the form NAME=VALUE");
      return;
    }
    result_.options.parameters.push_back({text.substr(0, eq), text.substr(eq + 1)});
  }

  void CheckPositional(const std::vector<std::string>& positional) {
    RenderOptions& o = result_.options;
    if (o.showHelp) {
      return;
    }
    if (o.listOnly) {
      if (!positional.empty()) {
        Fail("--list takes no input or output file");
      }
      return;
    }
    if (positional.size() != 2) {
      Fail(positional.size() < 2 ? "an input and an output file are needed"
                                 : "too many file names");
      return;
    }
    o.input = positional[0];
    o.output = positional[1];
  }

  int argc_;
  const char* const* argv_;
  int next_ = 1;
  CommandLineResult result_;
};

}  // namespace

CommandLineResult ParseCommandLine(int argc, const char* const* argv) {
  return Parser(argc, argv).Run();
}

std::string UsageText() {
  return "Usage: render [OPTIONS] INPUT OUTPUT\n"
         "       render [--plugin PATH] [--program P] [--param NAME=VALUE]... --list\n"
         "\n"
         "Renders an audio file through a VST 2.4 plug-in offline, block by block,\n"
         "the way a DAW does (duoMangler.so of this build unless --plugin is given).\n"
         "\n"
         "Options:\n"
         "  --plugin PATH         the VST 2.4 module (.so) to load\n"
         "  --program NAME|INDEX  select a program by name or 0-based index\n"
         "  --param NAME=VALUE    set a parameter, in its display units (repeatable;\n"
         "                        applied after the program)\n"
         "  --block N             block size in frames (default 512)\n"
         "  --double              process in double precision\n"
         "  --format FMT          output file format: wav, flac or aiff\n"
         "                        (default: from the output's extension, else the input's)\n"
         "  --encoding ENC        output samples: pcm16, pcm24, pcm32, float or double\n"
         "                        (default: the input's)\n"
         "  --list                show the plug-in's programs and parameters and exit\n"
         "  -q, --quiet           no progress bar and no summary\n"
         "  -h, --help            this text\n"
         "\n"
         "Input: WAV, FLAC or AIFF, mono or stereo, any sample rate. The output keeps\n"
         "the input's sample rate and length. A mono file is processed through the\n"
         "plug-in's mono configuration. The output file appears only when the\n"
         "render succeeds. On a terminal, files longer than 5 seconds show a\n"
         "progress bar.\n"
         "\n"
         "Exit status: 0 on success, 1 when rendering fails, 2 for a mistake on the\n"
         "command line.\n";
}

}  // namespace render
