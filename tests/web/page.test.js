// duoMangler's page in a real browser: the sound of the WebAssembly effect
// against the Linux plug-in, the panel under the mouse and the keyboard, and
// the panel's picture against the Linux editor's.
//   DM_WEB_PAGE  the built page (default build/wasm/page)
//   DM_LINUX     the native build with render and duoMangler.so (default build/linux)
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { decodePng, readFloatWav, writeFloatWav } from './files.js';
import { launch, openPage, serve } from './harness.js';

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const pageFolder = resolve(process.env.DM_WEB_PAGE ?? join(repo, 'build/wasm/page'));
const linux = resolve(process.env.DM_LINUX ?? join(repo, 'build/linux'));
const savedLinuxEditorShot = join(repo, 'out/editor-linux.png');
const kRate = 48000;

// Drums-like bursts, two tones and noise, different on each side, peaking
// near full scale so the shapers work hard.
function testSignal(seconds) {
  const frames = Math.round(seconds * kRate);
  const channels = [new Float32Array(frames), new Float32Array(frames)];
  let seed = 12345;
  const noise = () => ((seed = (seed * 1103515245 + 12345) >>> 0) / 2 ** 32) * 2 - 1;
  for (let i = 0; i < frames; ++i) {
    const t = i / kRate;
    const beat = t % 0.25;
    const kick = Math.sin(2 * Math.PI * (50 + 120 * Math.exp(-beat * 30)) * beat) * Math.exp(-beat * 12);
    const tone = 0.3 * Math.sin(2 * Math.PI * 110 * t) + 0.15 * Math.sin(2 * Math.PI * 2500 * t);
    const hiss = 0.2 * noise() * Math.exp(-beat * 40);
    channels[0][i] = 0.8 * kick + tone + hiss;
    channels[1][i] = 0.6 * kick - tone + 0.5 * hiss;
  }
  return channels;
}

function render(folder, input, args) {
  const output = join(folder, `out-${args.join('-').replace(/[^A-Za-z0-9]+/g, '_')}.wav`);
  execFileSync(join(linux, 'tools/render/render'),
    ['-q', '--plugin', join(linux, 'module/duoMangler.so'), '--block', '128', ...args, input, output]);
  return readFloatWav(readFileSync(output));
}

// A picture of the Linux editor: taken now where the screenshot tool is
// built, else the one scripts/run saved; null when there is neither.
function linuxEditorShot(folder) {
  const tool = join(linux, 'tools/editor-shot/editor_shot');
  const display = join(repo, 'scripts/x-display');
  if (existsSync(tool) && existsSync(display)) {
    const picture = join(folder, 'editor-linux.png');
    execFileSync(display, [tool, join(linux, 'module/duoMangler.so'), picture], { stdio: 'ignore' });
    return picture;
  }
  return existsSync(savedLinuxEditorShot) ? savedLinuxEditorShot : null;
}

function largestDifference(a, b) {
  let largest = 0;
  for (let c = 0; c < 2; ++c) {
    assert.equal(a[c].length, b[c].length);
    for (let i = 0; i < a[c].length; ++i) largest = Math.max(largest, Math.abs(a[c][i] - b[c][i]));
  }
  return largest;
}

function rms(channels, from) {
  let sum = 0;
  let count = 0;
  for (const channel of channels) {
    for (let i = from; i < channel.length; ++i, ++count) sum += channel[i] * channel[i];
  }
  return Math.sqrt(sum / count);
}

let server;
let browser;
let work;

before(async () => {
  assert.ok(existsSync(join(pageFolder, 'index.html')), `no page in ${pageFolder}: build the wasm preset`);
  work = mkdtempSync(join(tmpdir(), 'dm-web-test-'));
  server = await serve(pageFolder);
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
  if (work) rmSync(work, { recursive: true, force: true });
});

describe('the sound', () => {
  // Same code, no fast-math, no contraction, IEEE doubles and the crossover's
  // own tangent: the same bits as render. 1184 Hz at 48 kHz is a split where
  // glibc's and musl's tan disagree in the last bit.
  test('equals the Linux plug-in through render, sample for sample', async (t) => {
    const input = testSignal(1.0);
    const inputFile = join(work, 'input.wav');
    writeFileSync(inputFile, writeFloatWav(input, kRate));
    const { tab, errors } = await openPage(browser.context, server.url);
    const cases = [
      ['Kick', { program: 8 }, ['--program', 'Kick']],
      ['Guitar More Drive 2', { program: 11 }, ['--program', 'Guitar More Drive 2']],
      ['Drum Reso', { program: 5 }, ['--program', 'Drum Reso']],
      ['split 1184 Hz', { values: [1184, 50, 50, 20, 50, 50, 20, 50, 90] }, ['--param', 'Split Freq=1184']],
    ];
    for (const [name, options, args] of cases) {
      const expected = render(work, inputFile, args);
      const actual = await tab.evaluate(async ({ left, right, options, rate }) => {
        const out = await window.duoMangler.renderOffline(
          [Float32Array.from(left), Float32Array.from(right)], rate, options);
        return out.channels.map((c) => Array.from(c));
      }, { left: Array.from(input[0]), right: Array.from(input[1]), options, rate: kRate });
      const difference = largestDifference(actual, expected);
      t.diagnostic(`${name}: largest difference from render ${difference}`);
      assert.equal(difference, 0, `${name}: largest difference ${difference}`);
      assert.ok(rms(actual, 0) > 0.05, `${name} renders sound`);
    }
    assert.deepEqual(errors, []);
    await tab.close();
  });

  test('bypass plays the input at the loudness of the processed sound, and follows a drop of 20 dB', async (t) => {
    // 3 s of the test signal, then 3 s of it 20 dB lower.
    const loud = testSignal(3.0);
    const input = loud.map((c) => Float32Array.from([...c, ...c.map((x) => x / 10)]));
    const { tab } = await openPage(browser.context, server.url);
    const [processed, bypassed] = await tab.evaluate(async ({ left, right, rate }) => {
      const channels = [Float32Array.from(left), Float32Array.from(right)];
      // Both gains at x5 and no dry share: far louder than the input.
      const values = { values: [1000, 50, 50, 100, 50, 50, 100, 50, 100] };
      const a = await window.duoMangler.renderOffline(channels, rate, values);
      const b = await window.duoMangler.renderOffline(channels, rate, { ...values, bypass: true });
      return [a, b].map((r) => r.channels.map((c) => Array.from(c)));
    }, { left: Array.from(input[0]), right: Array.from(input[1]), rate: kRate });
    const span = (channels, from, to) => channels.map((c) => c.slice(from * kRate, to * kRate));
    // Settled on the loud part, then each half second from 1 s after the drop.
    for (const [from, to] of [[2, 3], [4, 4.5], [4.5, 5], [5, 5.5], [5.5, 6]]) {
      const db = 20 * Math.log10(rms(span(bypassed, from, to), 0) / rms(span(processed, from, to), 0));
      t.diagnostic(`${from}-${to} s: bypass ${db.toFixed(2)} dB from the processed sound`);
      assert.ok(Math.abs(db) < 1, `${from}-${to} s: bypass is ${db} dB off`);
    }
    const gain = (from, to) => rms(span(processed, from, to), 0) / rms(span(input, from, to), 0);
    assert.ok(Math.abs(gain(2, 3) - 1) > 0.25 && Math.abs(gain(5, 6) - 1) > 0.25, 'the program changes the level');
    await tab.close();
  });
});

describe('the input', () => {
  test('a chosen file plays through the effect in a loop', async () => {
    const file = join(work, 'my song.wav');
    writeFileSync(file, writeFloatWav(testSignal(0.5), 44100));
    const { tab, errors } = await openPage(browser.context, server.url);
    await tab.setInputFiles('#file', file);
    await tab.locator('#source-name', { hasText: 'my song.wav' }).waitFor();
    const state = await tab.evaluate(async () => {
      const { page } = window.duoMangler;
      await new Promise((done) => setTimeout(done, 300));
      return { playing: page.playing, context: page.context.state, loop: page.source?.loop, seconds: page.input.duration };
    });
    assert.deepEqual({ ...state, seconds: Math.round(state.seconds * 10) / 10 },
      { playing: true, context: 'running', loop: true, seconds: 0.5 });
    assert.deepEqual(errors, []);
    await tab.close();
  });

  // The browser decodes whatever part of a WAV file is there.
  test('a cut-short or too short file is named as such, and what played goes on', async () => {
    const whole = writeFloatWav(testSignal(2.0), kRate);
    const cases = [
      ['cut.wav', whole.subarray(0, 4096), /^cut\.wav is cut short.*: it holds 11 ms of the 2\.0 s .*too little/, 'Demo loop'],
      ['cut long.wav', whole.subarray(0, 200000), /^cut long\.wav is cut short.*: it holds 521 ms of the 2\.0 s .*playing that part/, 'cut long.wav'],
      ['blip.wav', writeFloatWav(testSignal(0.01), kRate), /^blip\.wav is only 10 ms long: too short/, 'cut long.wav'],
    ];
    const { tab, errors } = await openPage(browser.context, server.url);
    for (const [name, bytes, message, playing] of cases) {
      const file = join(work, name);
      writeFileSync(file, bytes);
      await tab.setInputFiles('#file', file);
      await tab.waitForFunction(() => !document.getElementById('status').textContent.startsWith('Decoding'));
      assert.match(await tab.locator('#status').textContent(), message);
      assert.equal(await tab.locator('#source-name').textContent(), playing);
    }
    assert.deepEqual(errors, []);
    await tab.close();
  });
});

describe('what the page claims', () => {
  // Opened from disk, the browser runs none of its scripts but the first.
  test('opened from disk, it says how to serve it; it never claims playback that is not there', async () => {
    const cases = [
      [pathToFileURL(join(pageFolder, 'index.html')).href, /cannot play/, `cd "${pageFolder}/" && python3 -m http.server 8000`],
      [server.url, /is ready: press Play\./, null],
    ];
    for (const [url, state, command] of cases) {
      const tab = await browser.context.newPage();
      await tab.goto(url);
      await tab.evaluate(() => window.duoMangler?.ready);
      await tab.waitForTimeout(300);
      assert.match(await tab.locator('#source-state').textContent(), state, url);
      const status = await tab.locator('#status').textContent();
      if (command) assert.ok(status.includes(command), status);
      else assert.equal(status, '');
      await tab.close();
    }
  });
});

describe('the panel', () => {
  const knobOnCanvas = { x: 49, y: 177 };  // Low Drive
  const kLowDrive = 2;

  async function canvasBox(tab) {
    return tab.locator('#editor').boundingBox();
  }

  test('a knob dragged up with the mouse raises its parameter and changes the sound', async () => {
    const { tab, errors } = await openPage(browser.context, server.url);
    const input = testSignal(0.25);
    const renderNow = () => tab.evaluate(async ({ left, right, rate }) => {
      const out = await window.duoMangler.renderOffline([Float32Array.from(left), Float32Array.from(right)], rate);
      return out.channels.map((c) => Array.from(c));
    }, { left: Array.from(input[0]), right: Array.from(input[1]), rate: kRate });
    const before = await renderNow();
    const box = await canvasBox(tab);
    const x = box.x + knobOnCanvas.x;
    const y = box.y + knobOnCanvas.y;
    await tab.mouse.move(x, y);
    await tab.mouse.down();
    await tab.mouse.move(x, y - 20, { steps: 5 });
    await tab.mouse.move(x, y - 40, { steps: 5 });
    await tab.mouse.up();
    const values = await tab.evaluate(() => window.duoMangler.parameterValues());
    assert.ok(values[kLowDrive] > 50, `Low Drive is ${values[kLowDrive]}`);
    const afterDrag = await renderNow();
    assert.ok(largestDifference(before, afterDrag) > 1e-3, 'the sound changed');
    assert.deepEqual(errors, []);
    await tab.close();
  });

  test('a right-click opens the entry; Enter or a left click takes a typed value, Escape keeps the old one', async () => {
    const { tab } = await openPage(browser.context, server.url);
    const box = await canvasBox(tab);
    const typeInto = async (text, key) => {
      await tab.mouse.click(box.x + knobOnCanvas.x, box.y + knobOnCanvas.y, { button: 'right' });
      const entry = tab.locator('input.entry');
      await entry.waitFor();
      await entry.fill(text);
      if (typeof key === 'function') await key();
      else await entry.press(key);
      await entry.waitFor({ state: 'detached' });
      return (await tab.evaluate(() => window.duoMangler.parameterValues()))[kLowDrive];
    };
    assert.equal(await typeInto('75', 'Enter'), 75);
    assert.equal(await typeInto('20', 'Escape'), 75);
    assert.equal(await typeInto('300', 'Enter'), 100, 'limited to the range');
    // A left click elsewhere on the panel takes the typed value too.
    assert.equal(await typeInto('40', () => tab.mouse.click(box.x + 5, box.y + 5)), 40);
    await tab.close();
  });

  test('the program menu sets the panel and the title plate is a link', async () => {
    const { tab } = await openPage(browser.context, server.url);
    const names = await tab.locator('#program option').allTextContents();
    assert.equal(names.length, 14);
    assert.equal(names[8], 'Kick');
    await tab.selectOption('#program', { label: 'Kick' });
    const kick = await tab.evaluate(() => window.duoMangler.parameterValues());
    const defaults = await tab.evaluate(async () => {
      window.duoMangler.selectProgram(0);
      return window.duoMangler.parameterValues();
    });
    assert.notDeepEqual(kick, defaults);
    const link = tab.locator('#title-link');
    assert.match(await link.getAttribute('href'), /^https:\/\//);
    const linkBox = await link.boundingBox();
    const box = await canvasBox(tab);
    assert.deepEqual([linkBox.x - box.x, linkBox.y - box.y, linkBox.width, linkBox.height], [148, 15, 192, 47]);
    await tab.close();
  });

  test('fits a phone\'s width, crisp, and a click there lands on its control', async () => {
    const { tab, errors } = await openPage(browser.context, server.url, { width: 390, height: 844 });
    await tab.waitForTimeout(200);
    const box = await canvasBox(tab);
    assert.equal(await tab.evaluate(() => document.documentElement.scrollWidth), 390, 'no sideways scrolling');
    assert.ok(box.x >= 0 && box.x + box.width <= 390 && box.width > 300, `the panel fits: ${JSON.stringify(box)}`);
    // The canvas is shown pixel for pixel: its own pixels are what the screen has.
    const shown = decodePng(await tab.screenshot({ clip: box }));
    const drawn = await tab.evaluate(() => {
      const canvas = document.getElementById('editor');
      const { width, height, data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      return { width, height, rgba: Array.from(data) };
    });
    assert.deepEqual([shown.width, shown.height], [drawn.width, drawn.height]);
    assert.ok(shown.rgba.every((v, i) => v === drawn.rgba[i]), 'the screen shows the canvas unresampled');
    // A right-click on the knob where the scaled panel shows it.
    const scale = box.width / 488;
    await tab.mouse.click(box.x + knobOnCanvas.x * scale, box.y + knobOnCanvas.y * scale, { button: 'right' });
    const entry = tab.locator('input.entry');
    await entry.fill('75');
    await entry.press('Enter');
    // The next tick takes the typed value and closes the entry.
    await entry.waitFor({ state: 'detached' });
    assert.equal((await tab.evaluate(() => window.duoMangler.parameterValues()))[kLowDrive], 75);
    assert.deepEqual(errors, []);
    await tab.close();
  });

  test('is crisp at device pixel ratio 2 and matches the Linux editor', async (t) => {
    const shoot = async (scale) => {
      const hiDpi = scale === 1 ? browser : await launch({ deviceScaleFactor: scale });
      try {
        const { tab } = await openPage(hiDpi.context, server.url);
        await tab.waitForTimeout(200);
        const box = await canvasBox(tab);
        assert.ok(Number.isInteger(box.x) && Number.isInteger(box.y), `the panel sits on whole pixels (${box.x}, ${box.y})`);
        return decodePng(await tab.screenshot({ clip: box }));
      } finally {
        if (hiDpi !== browser) await hiDpi.close();
      }
    };
    const single = await shoot(1);
    const double = await shoot(2);
    assert.equal(double.width, 2 * single.width);
    let blurred = 0;
    for (let y = 0; y < single.height; ++y) {
      for (let x = 0; x < single.width; ++x) {
        for (const [dx, dy] of [[0, 0], [1, 0], [0, 1], [1, 1]]) {
          for (let k = 0; k < 3; ++k) {
            const one = single.rgba[(y * single.width + x) * 4 + k];
            const two = double.rgba[((2 * y + dy) * double.width + 2 * x + dx) * 4 + k];
            if (one !== two) ++blurred;
          }
        }
      }
    }
    assert.equal(blurred, 0, 'each panel pixel is a 2 x 2 block of the same colour');

    const shot = linuxEditorShot(work);
    if (!shot) {
      t.diagnostic('no picture of the Linux editor (its screenshot tool is not built): the panel is not compared with it');
      return;
    }
    const reference = decodePng(readFileSync(shot));
    assert.deepEqual([reference.width, reference.height], [single.width, single.height]);
    // Text may sit a pixel apart: a pixel matches when the other picture has
    // its colour at the same place or next to it.
    const near = (a, ax, ay, b) => {
      for (let dy = -1; dy <= 1; ++dy) {
        for (let dx = -1; dx <= 1; ++dx) {
          const x = ax + dx, y = ay + dy;
          if (x < 0 || y < 0 || x >= b.width || y >= b.height) continue;
          let same = true;
          for (let k = 0; k < 3; ++k) {
            if (Math.abs(a.rgba[(ay * a.width + ax) * 4 + k] - b.rgba[(y * b.width + x) * 4 + k]) > 24) same = false;
          }
          if (same) return true;
        }
      }
      return false;
    };
    let differing = 0;
    for (let y = 0; y < single.height; ++y) {
      for (let x = 0; x < single.width; ++x) if (!near(single, x, y, reference)) ++differing;
    }
    t.diagnostic(`${differing} of ${single.width * single.height} panel pixels differ from the Linux editor's`);
    assert.ok(differing <= single.width * single.height * 0.002, `${differing} pixels differ from the Linux editor`);
  });
});

describe('speed', () => {
  test('reports the audio headroom and the panel repaint time', async (t) => {
    const { tab } = await openPage(browser.context, server.url);
    const { headroom, repaintMs, offline } = await tab.evaluate(async (rate) => {
      const seconds = 5;
      const silence = [new Float32Array(seconds * rate), new Float32Array(seconds * rate)];
      silence.forEach((c) => c.forEach((_, i) => { c[i] = Math.sin(i * 0.05) * 0.5; }));
      const offlineRender = await window.duoMangler.renderOffline(silence, rate, { program: 11 });
      return {
        headroom: await window.duoMangler.measureHeadroom(11),
        repaintMs: window.duoMangler.measureRepaint(),
        offline: offlineRender.ms / (1000 * seconds),
      };
    }, kRate);
    const us = ({ median, fastest }) => `${(median * 1000).toFixed(1)} us (fastest batch ${(fastest * 1000).toFixed(1)})`;
    const percent = ({ median, fastest }) => `${(100 * median).toFixed(2)} % (${(100 * fastest).toFixed(2)} %)`;
    t.diagnostic(`ProcessBlock per 128-frame quantum at 48 kHz, median of batches: ${us(headroom.ms)} ` +
      `= ${percent(headroom.fraction)} of the quantum`);
    t.diagnostic(`offline render through the AudioWorklet: ${(100 * offline).toFixed(2)} % of real time`);
    t.diagnostic(`panel full repaint: painting ${us(repaintMs.paint)}, copying to the canvas ${us(repaintMs.canvas)}`);
    assert.ok(headroom.fraction.median > 0);
    await tab.close();
  });
});
