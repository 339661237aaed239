// One run of render: the listing, the presets and the renders the options ask for.
#pragma once

#include "tools/render/CommandLine.h"

#include <cstdio>

namespace render {

// Runs what the options ask for (a render or the listing), writing results
// to `out` and the progress bar to stderr. Throws RenderError.
void RunRenderJob(const RenderOptions& options, std::FILE* out);

}  // namespace render
