// transfer_curve: the demo's transfer curves of a plug-in's program, output
// level against input level for a 100 Hz and a 5 kHz sine swept from -60 to
// 0 dBFS in 1 dB steps. Writes lines "input_dBFS output_100Hz output_5kHz".
//   transfer_curve MODULE PROGRAM SAMPLE_RATE OUTPUT
#include "tools/demo/TransferCurve.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/ProgramSelection.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "Usage: transfer_curve MODULE PROGRAM SAMPLE_RATE OUTPUT\n");
    return 2;
  }
  const double rate = std::atof(argv[3]);
  try {
    render::PluginInstance plugin(argv[1]);
    plugin.Open();
    plugin.SetSampleRateAndBlockSize(rate, 512);
    plugin.RequestChannels(2);
    render::SelectProgram(plugin, render::FindProgram(plugin, argv[2]));
    plugin.Start();
    const auto low = demo::MeasureTransfer(plugin, rate, 100.0, -60.0, 0.0, 1.0);
    plugin.Stop();
    plugin.Start();  // a fresh start: no state of the low sweep in the high one
    const auto high = demo::MeasureTransfer(plugin, rate, 5000.0, -60.0, 0.0, 1.0);
    plugin.Stop();
    std::FILE* out = std::fopen(argv[4], "w");
    if (!out) {
      std::perror(argv[4]);
      return 1;
    }
    for (size_t i = 0; i < low.size() && i < high.size(); ++i) {
      std::fprintf(out, "%.1f %.3f %.3f\n", low[i].inputDb, low[i].outputDb, high[i].outputDb);
    }
    return std::fclose(out) == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "transfer_curve: %s\n", e.what());
    return 1;
  }
}
