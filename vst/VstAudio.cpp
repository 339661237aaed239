// The three audio callbacks: route the host's buffers into the base's
// double-precision channel arrays and run one block, all under the lock.
#include "vst/IEffectVST.h"

void IEffectVST::ProcessSingle(float** inputs, float** outputs, int32_t frames, bool adding) {
  PluginLockGuard guard(lock);
  if (midiFlags != 0) CallHost(audioMasterWantMidi, 0, 1);
  if (frames <= 0) return;
  RouteInputsSingle(0, InputCount(), inputs, frames);
  RouteOutputsSingle(0, OutputCount(), outputs);
  if (adding)
    RunBlockSingleAdding(frames);
  else
    RunBlockSingleReplacing(frames);
}

void IEffectVST::ProcessDouble(double** inputs, double** outputs, int32_t frames) {
  PluginLockGuard guard(lock);
  if (midiFlags != 0) CallHost(audioMasterWantMidi, 0, 1);
  if (frames <= 0) return;
  RouteInputsDouble(0, InputCount(), inputs);
  RouteOutputsDouble(0, OutputCount(), outputs);
  RunBlockDouble(frames);
}
