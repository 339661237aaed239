// duoMangler on the audio rendering thread: each render quantum goes through
// the audio module's ProcessBlock. Changes from the page arrive as messages
// and are applied at the start of the next quantum; nothing in process()
// allocates in the module, and the JavaScript side reuses its views.
//
// Bypass plays the input at the loudness of the processed sound, so that
// switching compares the character of the sound, not its level: both levels
// are followed continuously, as mean squares over the last second, and the
// dry signal gets their ratio, limited to +-24 dB. A window that forgets
// what is older follows a change of level within that second (an average
// that decays would be ruled by a loud passage long after it ended). The
// gain glides within each quantum; switching fades over one quantum.
import { instantiateNow } from './wasm-module.js';

const kLevelSeconds = 1.0;
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
    // Per quantum of the last kLevelSeconds: dry and wet sums of squares and
    // the number of samples, in a ring.
    const quanta = Math.ceil(kLevelSeconds * sampleRate / 128);
    this.levels = {
      dry: new Float64Array(quanta), wet: new Float64Array(quanta), samples: new Float64Array(quanta), next: 0,
    };
    this.dryGain = 1;
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
    const levels = this.levels;
    let drySum = 0;
    let wetSum = 0;
    for (let c = 0; c < 2; ++c) {
      for (let i = 0; i < frames; ++i) {
        drySum += dry[c][i] * dry[c][i];
        wetSum += wet[c][i] * wet[c][i];
      }
    }
    levels.dry[levels.next] = drySum;
    levels.wet[levels.next] = wetSum;
    levels.samples[levels.next] = 2 * frames;
    levels.next = (levels.next + 1) % levels.dry.length;
  }

  // The dry gain that gives the input the processed sound's level.
  matchedDryGain() {
    const { dry, wet, samples } = this.levels;
    let drySum = 0;
    let wetSum = 0;
    let count = 0;
    for (let q = 0; q < dry.length; ++q) {
      drySum += dry[q];
      wetSum += wet[q];
      count += samples[q];
    }
    if (drySum <= kSilentMeanSquare * count) return 1;
    return Math.min(kLimit, Math.max(1 / kLimit, Math.sqrt(wetSum / drySum)));
  }

  mix(dry, wet, output, frames) {
    const target = this.bypass ? 1 : 0;
    const start = this.bypassMix;
    const step = (target - start) / frames;
    const gainFrom = this.dryGain;
    const gainStep = (this.matchedDryGain() - gainFrom) / frames;
    for (let c = 0; c < output.length; ++c) {
      const out = output[c];
      const d = dry[Math.min(c, 1)];
      const w = wet[Math.min(c, 1)];
      for (let i = 0; i < frames; ++i) {
        const m = start + step * (i + 1);
        out[i] = m === 0 ? w[i] : (1 - m) * w[i] + m * (gainFrom + gainStep * (i + 1)) * d[i];
      }
    }
    this.bypassMix = target;
    this.dryGain = gainFrom + gainStep * frames;
  }
}

registerProcessor('duomangler', DuoManglerProcessor);
