// duoMangler on the audio rendering thread: each render quantum goes through
// the audio module's ProcessBlock. Changes from the page arrive as messages
// and are applied at the start of the next quantum; nothing in process()
// allocates in the module, and the JavaScript side reuses its views.
//
// Bypass plays the input at the loudness of the processed sound, so that
// switching compares the character of the sound, not its level: both levels
// are followed continuously (mean squares over about 1.5 s) and the dry
// signal gets the ratio, limited to +-24 dB. Switching fades over one
// quantum.
import { instantiateNow } from './wasm-module.js';

const kLevelSeconds = 1.5;
const kLimit = 16;  // +-24 dB
const kSilentMeanSquare = 1e-10;

class DuoManglerProcessor extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const { wasm, program = -1, values, bypass = false } = options.processorOptions;
    this.dm = instantiateNow(new WebAssembly.Module(wasm));
    if (!this.dm.dm_audio_open(sampleRate)) throw new Error('duoMangler could not start');
    if (program >= 0) this.dm.dm_audio_select_program(program);
    values?.forEach((value, index) => this.dm.dm_audio_set_parameter(index, value));
    this.bypass = bypass;
    this.bypassMix = bypass ? 1 : 0;
    this.dryMeanSquare = 0;
    this.wetMeanSquare = 0;
    this.views = null;
    this.pending = [];
    this.port.onmessage = (event) => this.pending.push(event.data);
  }

  // Float views of the module's buffers; made again only if its memory grew.
  buffers() {
    const memory = this.dm.memory.buffer;
    if (!this.views || this.views.memory !== memory) {
      const frames = this.dm.dm_audio_max_frames();
      const view = (pointer) => new Float32Array(memory, pointer, frames);
      this.views = {
        memory,
        inputs: [view(this.dm.dm_audio_input(0)), view(this.dm.dm_audio_input(1))],
        outputs: [view(this.dm.dm_audio_output(0)), view(this.dm.dm_audio_output(1))],
      };
    }
    return this.views;
  }

  applyMessages() {
    for (const [kind, index, value] of this.pending) {
      if (kind === 'parameter') this.dm.dm_audio_set_parameter(index, value);
      else if (kind === 'bypass') this.bypass = index;
    }
    this.pending.length = 0;
  }

  process(inputs, outputs) {
    if (this.pending.length) this.applyMessages();
    const output = outputs[0];
    const frames = output[0].length;
    const { inputs: into, outputs: from } = this.buffers();
    const input = inputs[0];
    for (let c = 0; c < 2; ++c) {
      const source = input.length ? input[Math.min(c, input.length - 1)] : null;
      if (source) into[c].set(source);
      else into[c].fill(0, 0, frames);
    }
    this.dm.dm_audio_process(frames);
    this.followLevels(into, from, frames);
    this.mix(into, from, output, frames);
    return true;
  }

  followLevels(dry, wet, frames) {
    let drySum = 0;
    let wetSum = 0;
    for (let c = 0; c < 2; ++c) {
      for (let i = 0; i < frames; ++i) {
        drySum += dry[c][i] * dry[c][i];
        wetSum += wet[c][i] * wet[c][i];
      }
    }
    const keep = Math.exp(-frames / (sampleRate * kLevelSeconds));
    this.dryMeanSquare = keep * this.dryMeanSquare + (1 - keep) * drySum / (2 * frames);
    this.wetMeanSquare = keep * this.wetMeanSquare + (1 - keep) * wetSum / (2 * frames);
  }

  matchedDryGain() {
    if (this.dryMeanSquare < kSilentMeanSquare) return 1;
    const ratio = Math.sqrt(this.wetMeanSquare / this.dryMeanSquare);
    return Math.min(kLimit, Math.max(1 / kLimit, ratio));
  }

  mix(dry, wet, output, frames) {
    const target = this.bypass ? 1 : 0;
    const start = this.bypassMix;
    const step = (target - start) / frames;
    const gain = this.matchedDryGain();
    for (let c = 0; c < output.length; ++c) {
      const out = output[c];
      const d = dry[Math.min(c, 1)];
      const w = wet[Math.min(c, 1)];
      for (let i = 0; i < frames; ++i) {
        const m = start + step * (i + 1);
        out[i] = m === 0 ? w[i] : (1 - m) * w[i] + m * gain * d[i];
      }
    }
    this.bypassMix = target;
  }
}

registerProcessor('duomangler', DuoManglerProcessor);
