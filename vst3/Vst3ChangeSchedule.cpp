#include "vst3/Vst3ChangeSchedule.h"

#include <algorithm>

Vst3ChangeSchedule::Vst3ChangeSchedule(Steinberg::Vst::IParameterChanges* changes) {
  if (!changes) return;
  const int32_t count = std::min(changes->getParameterCount(), kMaxQueues);
  for (int32_t i = 0; i < count; ++i) {
    Steinberg::Vst::IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    queues[queueCount++] = {queue, queue->getParameterId(), queue->getPointCount(), 0};
  }
}

int32_t Vst3ChangeSchedule::NextOffset() const {
  int32_t earliest = kNoPoint;
  for (int32_t q = 0; q < queueCount; ++q) {
    const Queue& queue = queues[q];
    if (queue.next >= queue.points) continue;
    int32_t offset = 0;
    Steinberg::Vst::ParamValue value = 0.0;
    if (queue.queue->getPoint(queue.next, offset, value) == Steinberg::kResultOk) {
      earliest = std::min(earliest, offset);
    }
  }
  return earliest;
}
