// The host's parameter changes of one block in the order of their sample
// offsets: the processor applies the points due at a frame, runs up to the
// next point, and so on. Allocates nothing; queues beyond kMaxQueues (many
// more than the plug-in has parameters) are ignored.
#pragma once

#include <cstdint>

#include "pluginterfaces/vst/ivstparameterchanges.h"

class Vst3ChangeSchedule {
 public:
  static constexpr int32_t kMaxQueues = 64;
  static constexpr int32_t kNoPoint = INT32_MAX;

  explicit Vst3ChangeSchedule(Steinberg::Vst::IParameterChanges* changes);

  // Every point at or before frame, queue by queue, in order.
  template <typename Apply>
  void ApplyUpTo(int32_t frame, Apply apply) {
    for (int32_t q = 0; q < queueCount; ++q) {
      Queue& queue = queues[q];
      while (queue.next < queue.points) {
        int32_t offset = 0;
        Steinberg::Vst::ParamValue value = 0.0;
        if (queue.queue->getPoint(queue.next, offset, value) != Steinberg::kResultOk) {
          queue.next = queue.points;
          break;
        }
        if (offset > frame) break;
        ++queue.next;
        apply(queue.id, value);
      }
    }
  }
  // The offset of the earliest point not yet applied, or kNoPoint.
  int32_t NextOffset() const;

 private:
  struct Queue {
    Steinberg::Vst::IParamValueQueue* queue;
    Steinberg::Vst::ParamID id;
    int32_t points;
    int32_t next;
  };
  Queue queues[kMaxQueues];  // only the first queueCount are set
  int32_t queueCount = 0;
};
