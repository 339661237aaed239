// duoMangler's page: the panel module behind the canvas on this thread, the
// audio module in an AudioWorklet, the demo loop or a dropped file as input.
// Every edit on the panel reaches the worklet as the parameter's new value.
import { cutShortSound } from './audio-file-check.js';
import { instantiateAsync } from './wasm-module.js';

const kRepaintMs = Math.trunc(1000 / 24);  // the editor's 24 repaints a second
const kWheelPixelsPerNotch = 100;  // a wheel notch scrolls 100 pixels in Chromium and Firefox
const kWheelDeltaPerNotch = 120;  // the editor's wheel units a notch (IWheelAccumulator)
const kPlaybackRate = 48000;
const kShortestLoopSeconds = 0.05;  // shorter loops are a buzz, not the file's sound
const $ = (id) => document.getElementById(id);

const page = {
  panel: null,  // the panel module's exports
  audioModule: null,  // the compiled audio module, sent to each worklet
  audioBytes: null,
  context: null,
  node: null,
  source: null,
  input: null,  // the AudioBuffer that loops
  inputName: 'Demo loop',
  playing: false,
  bypass: false,
  failed: false,  // the audio engine stopped
  entry: null,  // the open parameter entry (an <input>)
  panelScale: 1,  // below 1 where the page is narrower than the panel
  mouse: { x: 0, y: 0, buttons: 0 },
};

// ---- Text across the module boundary ----

function readText(pointer) {
  const bytes = new Uint8Array(page.panel.memory.buffer, pointer);
  return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
}

function writeText(pointer, capacity, text) {
  if (capacity <= 0) return;
  const into = new Uint8Array(page.panel.memory.buffer, pointer, capacity);
  const { written } = new TextEncoder().encodeInto(text, into.subarray(0, capacity - 1));
  into[written] = 0;
}

// ---- The page's functions the panel module calls ----

const pageFunctions = {
  dm_page_parameter_edited: (index, value) => post(['parameter', index, value]),
  dm_page_open_entry: (x, y, width, height, text) => openEntry(x, y, width, height, readText(text)),
  dm_page_read_entry: (into, capacity) => writeText(into, capacity, page.entry ? page.entry.value : ''),
  dm_page_close_entry: () => closeEntry(),
  dm_page_open_link: (address) => (window.open(readText(address), '_blank', 'noopener'), 1),
};

function post(message) {
  if (page.node) page.node.port.postMessage(message);
}

// ---- The panel on the canvas ----

const canvas = $('editor');
const screen = canvas.getContext('2d', { alpha: false });
let image = null;  // the module's RGBA image as ImageData (made again if its memory grows)
const backing = document.createElement('canvas');

function panelImage() {
  const { panel } = page;
  if (!image || image.data.buffer !== panel.memory.buffer) {
    const width = panel.dm_panel_width();
    const height = panel.dm_panel_height();
    const pixels = new Uint8ClampedArray(panel.memory.buffer, panel.dm_panel_pixels(), width * height * 4);
    image = new ImageData(pixels, width, height);
  }
  return image;
}

// The canvas has a pixel per device pixel, so the panel stays crisp at any
// zoom or pixel ratio: at full size each editor pixel is drawn as a block,
// not smoothed. Where the page is narrower than the panel (a phone), the
// panel with its value entry and title link is scaled down to the width
// there is; the canvas still has a pixel per device pixel, and the editor's
// picture is drawn into it smoothed.
const panelBox = $('panel-box');
const panelElement = $('panel');
let layoutChecked = null;  // the pixel ratio the layout was made for
window.addEventListener('resize', () => { layoutChecked = null; });

function layOutPanel() {
  const ratio = window.devicePixelRatio || 1;
  if (layoutChecked === ratio) return;
  layoutChecked = ratio;
  const width = page.panel.dm_panel_width();
  const height = page.panel.dm_panel_height();
  const room = panelBox.clientWidth || width;  // none while the page is hidden
  const deviceWidth = Math.min(Math.round(width * ratio), Math.floor(room * ratio));
  const deviceHeight = Math.round(height * deviceWidth / width);
  page.panelScale = deviceWidth / (width * ratio);
  panelBox.style.height = `${deviceHeight / ratio}px`;
  // Whole device pixels on every side: a canvas between them would be
  // resampled, and blurred, so the panel is moved by the fraction.
  const scale = page.panelScale < 1 ? `scale(${page.panelScale}, ${deviceHeight / (height * ratio)})` : '';
  panelElement.style.transform = scale;
  const r = panelElement.getBoundingClientRect();
  const dx = (Math.round(r.left * ratio) - r.left * ratio) / ratio;
  const dy = (Math.round(r.top * ratio) - r.top * ratio) / ratio;
  if (dx !== 0 || dy !== 0) panelElement.style.transform = `translate(${dx}px, ${dy}px) ${scale}`;
  canvas.width = deviceWidth;
  canvas.height = deviceHeight;
  page.panel.dm_panel_mark_all();
}

function tick() {
  layOutPanel();
  if (page.panel.dm_panel_tick()) show();
}

// Copies the area the last tick presented onto the canvas.
function show() {
  const { panel } = page;
  const [left, top, right, bottom] = new Int32Array(panel.memory.buffer, panel.dm_panel_presented_area(), 4);
  const width = right - left;
  const height = bottom - top;
  const frame = panelImage();
  backing.getContext('2d').putImageData(frame, 0, 0, left, top, width, height);
  if (page.panelScale < 1) {
    // Scaled down: the whole picture, each canvas pixel from the editor
    // pixels it covers.
    screen.imageSmoothingEnabled = true;
    screen.imageSmoothingQuality = 'high';
    screen.drawImage(backing, 0, 0, canvas.width, canvas.height);
    return;
  }
  const sx = canvas.width / frame.width;
  const sy = canvas.height / frame.height;
  screen.imageSmoothingEnabled = false;
  // Whole device pixels on both sides of the area, so neighbours stay exact.
  const x0 = Math.floor(left * sx);
  const y0 = Math.floor(top * sy);
  const x1 = Math.ceil(right * sx);
  const y1 = Math.ceil(bottom * sy);
  screen.drawImage(backing, x0 / sx, y0 / sy, (x1 - x0) / sx, (y1 - y0) / sy, x0, y0, x1 - x0, y1 - y0);
}

// ---- Mouse, wheel and keys: the same calls a native window makes ----

function editorPoint(event) {
  const r = canvas.getBoundingClientRect();
  return {
    x: Math.floor((event.clientX - r.left) * page.panel.dm_panel_width() / r.width),
    y: Math.floor((event.clientY - r.top) * page.panel.dm_panel_height() / r.height),
  };
}

// The editor's mouse keys as bits (editor/IMouseKeys.h): left 1, right 2,
// shift 4, control 8 (or the Mac's command key), alt 16.
function mouseKeys(event) {
  return (event.buttons & 1 ? 1 : 0) | (event.buttons & 2 ? 2 : 0) |
         (event.shiftKey ? 4 : 0) | (event.ctrlKey || event.metaKey ? 8 : 0) | (event.altKey ? 16 : 0);
}

// The editor's key code (editor/IKeyCodes.h) for a key: space 0, the arrows
// up 1, down 2, left 3, right 4, digits 5-14, letters 15-40; -1 for the
// keys the panel is not told of.
const kArrowCodes = { ArrowUp: 1, ArrowDown: 2, ArrowLeft: 3, ArrowRight: 4 };
function editorKeyCode(event) {
  if (event.key in kArrowCodes) return kArrowCodes[event.key];
  if (event.key === ' ') return 0;
  if (/^[0-9]$/.test(event.key)) return 5 + Number(event.key);
  if (/^[a-zA-Z]$/.test(event.key)) return 15 + event.key.toUpperCase().charCodeAt(0) - 65;
  return -1;
}

let pressed = false;

canvas.addEventListener('mousedown', (event) => {
  if (!page.panel || (event.button !== 0 && event.button !== 2)) return;
  event.preventDefault();
  canvas.focus();
  const { x, y } = editorPoint(event);
  pressed = true;
  // Every second click in a row is a double click, as Windows counts them.
  // With the entry open, the panel decides what a click does to it.
  if (event.button === 0 && event.detail >= 2 && event.detail % 2 === 0)
    page.panel.dm_panel_double_click(x, y, mouseKeys(event));
  else
    page.panel.dm_panel_press(x, y, event.button === 2 ? 1 : 0, mouseKeys(event));
});

// Moves and the release are followed outside the canvas too, as a window
// that captured the mouse would.
window.addEventListener('mousemove', (event) => {
  if (!page.panel) return;
  const point = editorPoint(event);
  page.mouse = point;
  if (pressed) page.panel.dm_panel_move(point.x, point.y, mouseKeys(event));
});

window.addEventListener('mouseup', (event) => {
  if (!pressed || (event.button !== 0 && event.button !== 2)) return;
  pressed = (event.buttons & 3) !== 0;
  const { x, y } = editorPoint(event);
  page.panel.dm_panel_release(x, y, mouseKeys(event));
});

canvas.addEventListener('contextmenu', (event) => event.preventDefault());

canvas.addEventListener('wheel', (event) => {
  if (!page.panel) return;
  event.preventDefault();
  const perNotch = event.deltaMode === WheelEvent.DOM_DELTA_PIXEL ? kWheelPixelsPerNotch
                 : event.deltaMode === WheelEvent.DOM_DELTA_LINE ? 3 : 1;
  const delta = Math.round(-event.deltaY * kWheelDeltaPerNotch / perNotch);
  const { x, y } = editorPoint(event);
  page.panel.dm_panel_wheel(x, y, delta, mouseKeys(event));
}, { passive: false });

canvas.addEventListener('keydown', (event) => {
  if (!page.panel || event.ctrlKey || event.metaKey || event.altKey) return;
  const code = editorKeyCode(event);
  if (code >= 0) page.panel.dm_panel_key(page.mouse.x, page.mouse.y, code);
  if (event.key === ' ' || event.key.startsWith('Arrow')) event.preventDefault();
});

// ---- The parameter entry ----

function openEntry(x, y, width, height, text) {
  closeEntry();
  const entry = document.createElement('input');
  entry.className = 'entry';
  entry.value = text;
  Object.assign(entry.style, { left: `${x}px`, top: `${y}px`, width: `${width}px`, height: `${height}px` });
  entry.addEventListener('keydown', (event) => {
    event.stopPropagation();
    // The panel commits or cancels at its next tick, and then closes it.
    if (event.key === 'Enter') page.panel.dm_panel_commit_entry();
    else if (event.key === 'Escape') page.panel.dm_panel_cancel_entry();
  });
  $('panel').append(entry);
  page.entry = entry;
  entry.focus();
  entry.select();
}

function closeEntry() {
  if (!page.entry) return;
  const entry = page.entry;
  page.entry = null;
  entry.remove();
  canvas.focus();
}

// ---- The title plate: a normal link over the canvas ----

function placeLink() {
  const address = page.panel.dm_panel_link();
  if (!address) return;
  const rect = new Int32Array(page.panel.memory.buffer, page.panel.dm_panel_link_area(), 4).slice();
  const link = $('title-link');
  link.href = readText(address);
  Object.assign(link.style, {
    display: 'block', left: `${rect[0]}px`, top: `${rect[1]}px`,
    width: `${rect[2] - rect[0]}px`, height: `${rect[3] - rect[1]}px`,
  });
  link.title = link.href;
}

// ---- Programs ----

function fillProgramMenu() {
  const menu = $('program');
  const count = page.panel.dm_panel_program_count();
  for (let i = 0; i < count; ++i) menu.add(new Option(readText(page.panel.dm_panel_program_name(i)), String(i)));
  menu.value = String(page.panel.dm_panel_current_program());
  menu.disabled = false;
  menu.addEventListener('change', () => selectProgram(Number(menu.value)));
}

// The worklet hears the values the panel now has, not the program's index:
// the panel's program slots keep the edits made in them, the worklet's
// would not.
function selectProgram(index) {
  page.panel.dm_panel_select_program(index);
  parameterValues().forEach((value, i) => post(['parameter', i, value]));
}

function parameterValues() {
  const values = [];
  for (let i = 0; i < page.panel.dm_panel_parameter_count(); ++i) values.push(page.panel.dm_panel_parameter_value(i));
  return values;
}

// ---- Sound ----

// A worklet node running the audio module, starting from the panel's
// values (or from a program, for renders of a program alone).
function effectNode(context, { program = -1, values = null, bypass = false } = {}) {
  if (program < 0 && !values) values = parameterValues();
  return new AudioWorkletNode(context, 'duomangler', {
    numberOfInputs: 1,
    numberOfOutputs: 1,
    outputChannelCount: [2],
    channelCount: 2,
    channelCountMode: 'explicit',
    channelInterpretation: 'speakers',
    processorOptions: { wasm: page.audioBytes, program, values, bypass },
  });
}

async function ensureContext() {
  if (page.context) return page.context;
  const context = new AudioContext({ latencyHint: 'interactive' });
  await context.audioWorklet.addModule('worklet.js');
  page.context = context;
  page.node = effectNode(context, { bypass: page.bypass });
  page.node.onprocessorerror = () => {
    page.failed = true;
    status('The sound stopped: the audio engine failed. Reload the page to start it again.');
    showSource();
  };
  context.addEventListener('statechange', showSource);
  page.node.connect(context.destination);
  return context;
}

function startSource() {
  if (page.source) {
    page.source.stop();
    page.source.disconnect();
    page.source = null;
  }
  if (!page.playing || !page.input) return;
  const source = page.context.createBufferSource();
  source.buffer = page.input;
  source.loop = true;
  source.connect(page.node);
  source.start();
  page.source = source;
}

async function togglePlay() {
  const context = await ensureContext();
  if (!page.input) await loadDemo();
  page.playing = !page.playing;
  if (page.playing) await context.resume();
  startSource();
  $('play').textContent = page.playing ? 'Stop' : 'Play';
  showSource();
}

async function decode(bytes) {
  // Decoding needs a context, not a running one.
  const context = page.context ?? new OfflineAudioContext(2, 1, kPlaybackRate);
  return context.decodeAudioData(bytes);
}

async function loadDemo() {
  const response = await fetch('demo.wav');
  if (!response.ok) throw new Error('the demo loop is missing (demo.wav)');
  page.input = await decode(await response.arrayBuffer());
  page.inputName = 'Demo loop';
}

// A file the browser cannot decode, or one too short to loop, leaves the
// loop that plays as it is; a cut-short file plays the part it holds, if
// that is long enough, and the page says so.
async function useFile(file) {
  status(`Decoding ${file.name}…`);
  let input;
  let cut;
  try {
    await ensureContext();
    const bytes = await file.arrayBuffer();
    cut = cutShortSound(bytes);  // before decoding, which takes the bytes away
    input = await decode(bytes);
  } catch {
    status(`${file.name} cannot be played: the browser could not decode it (a damaged file, or a format it does not know).`);
    return;
  }
  const seconds = (s) => (s < 1 ? `${Math.round(s * 1000)} ms` : `${s.toFixed(1)} s`);
  const cutText = cut ? `${file.name} is cut short, damaged or not completely copied: ` +
    `it holds ${seconds(cut.held)} of the ${seconds(cut.announced)} its header announces` : '';
  if (input.duration < kShortestLoopSeconds) {
    status(cut ? `${cutText}, too little to play in a loop.`
      : `${file.name} is only ${seconds(input.duration)} long: too short to play in a loop.`);
    return;
  }
  page.input = input;
  page.inputName = file.name;
  if (!page.playing) await togglePlay();
  else startSource();
  status(cut ? `${cutText}; playing that part.` : '');
  showSource();
}

// Says what plays, and only what really does.
function showSource() {
  $('source-name').textContent = page.inputName;
  const running = page.context?.state === 'running';
  const state = page.failed ? ' stopped: the audio engine failed.'
    : !page.playing ? ' is ready: press Play.'
    : !running ? ' is waiting for the browser to start the sound.'
    : page.bypass ? ' is playing, bypassed at the loudness of the effect.' : ' is playing through the effect.';
  $('source-state').textContent = state;
}

function status(text) {
  $('status').textContent = text;
}

// ---- Offline renders and measurements (the browser tests use these) ----

// Renders channels (two Float32Arrays) through the effect at rate: with a
// program, with parameter values, or with the panel's current values.
async function renderOffline(channels, rate, options = {}) {
  const frames = channels[0].length;
  const context = new OfflineAudioContext(2, frames, rate);
  await context.audioWorklet.addModule('worklet.js');
  const input = context.createBuffer(2, frames, rate);
  input.copyToChannel(channels[0], 0);
  input.copyToChannel(channels[1], 1);
  const source = context.createBufferSource();
  source.buffer = input;
  const node = effectNode(context, options);
  source.connect(node).connect(context.destination);
  source.start();
  const started = performance.now();
  const output = await context.startRendering();
  return { channels: [output.getChannelData(0), output.getChannelData(1)], ms: performance.now() - started };
}

// Median and fastest of repeated batches, in milliseconds per call of run:
// on a busy machine the fastest batch is the one least disturbed.
function timeBatches(run, batches, calls) {
  const times = [];
  for (let b = 0; b < batches; ++b) {
    const started = performance.now();
    for (let i = 0; i < calls; ++i) run();
    times.push((performance.now() - started) / calls);
  }
  times.sort((a, b) => a - b);
  return { median: times[batches >> 1], fastest: times[0] };
}

// The audio module's ProcessBlock time per 128-frame quantum at 48 kHz, as
// a fraction of the quantum's duration, measured on this thread with the
// same module the worklet runs.
async function measureHeadroom(program = 3) {
  const dm = await instantiateAsync(page.audioModule);
  dm.dm_audio_open(kPlaybackRate);
  dm.dm_audio_select_program(program);
  const frames = 128;
  for (let c = 0; c < 2; ++c) {
    const buffer = new Float32Array(dm.memory.buffer, dm.dm_audio_input(c), frames);
    for (let i = 0; i < frames; ++i) buffer[i] = Math.sin(i * 0.1 + c) * 0.5;
  }
  for (let i = 0; i < 1000; ++i) dm.dm_audio_process(frames);
  const ms = timeBatches(() => dm.dm_audio_process(frames), 15, 2000);
  const quantumMs = 1000 * frames / kPlaybackRate;
  return { ms, fraction: { median: ms.median / quantumMs, fastest: ms.fastest / quantumMs } };
}

// The panel's full repaint in milliseconds: every control painted into the
// module's image, and that image copied onto the canvas.
function measureRepaint() {
  const paint = () => {
    page.panel.dm_panel_mark_all();
    page.panel.dm_panel_tick();
  };
  return { paint: timeBatches(paint, 15, 20), canvas: timeBatches(show, 15, 20) };
}

// ---- Start-up ----

async function start() {
  const [panelModule, audioBytes] = await Promise.all([
    WebAssembly.compileStreaming(fetch('duoMangler-panel.wasm')),
    fetch('duoMangler-audio.wasm').then((r) => r.arrayBuffer()),
  ]);
  page.audioBytes = audioBytes;
  page.audioModule = await WebAssembly.compile(audioBytes);
  page.panel = await instantiateAsync(panelModule, pageFunctions);
  if (!page.panel.dm_panel_open(kPlaybackRate)) throw new Error('the panel could not open');
  backing.width = page.panel.dm_panel_width();
  backing.height = page.panel.dm_panel_height();
  tick();
  setInterval(tick, kRepaintMs);
  placeLink();
  fillProgramMenu();

  const report = (error) => status(String(error.message ?? error));
  $('play').disabled = false;
  $('play').addEventListener('click', () => togglePlay().catch(report));
  $('bypass').addEventListener('change', (event) => {
    page.bypass = event.target.checked;
    post(['bypass', page.bypass]);
    showSource();
  });
  $('file').addEventListener('change', (event) => event.target.files[0] && useFile(event.target.files[0]).catch(report));
  const drop = $('drop');
  document.addEventListener('dragover', (event) => { event.preventDefault(); drop.classList.add('over'); });
  document.addEventListener('dragleave', () => drop.classList.remove('over'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    const file = event.dataTransfer.files[0];
    if (file) useFile(file).catch(report);
  });
  showSource();
  status('');
}

// Opened from disk, where browsers run no worklet: index.html tells the user
// to serve the folder, and nothing starts.
window.duoMangler = {
  ready: location.protocol === 'file:' ? Promise.resolve(false) : start().catch((error) => {
    status(`duoMangler could not start: ${error.message ?? error}`);
    throw error;
  }),
  page,
  renderOffline,
  measureHeadroom,
  measureRepaint,
  parameterValues,
  selectProgram,
};
