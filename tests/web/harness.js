// What every browser test needs: the page served from a folder by a local
// static server, and the distribution's Chromium driven headless (never a
// downloaded browser; a fresh profile each run).
import { chromium } from 'playwright-core';
import { createServer } from 'node:http';
import { mkdtempSync, readFileSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve } from 'node:path';

export const kChromium = process.env.DM_CHROMIUM ?? '/usr/bin/chromium';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.wav': 'audio/wav',
  '.f32': 'application/octet-stream',
};

// Serves root (and, under /extra/, the files of extraRoot) on a free port
// of localhost, as python's http.server would: plain files, no special
// headers.
export async function serve(root, extraRoot = null) {
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const [base, rest] = extraRoot && path.startsWith('/extra/') ? [extraRoot, path.slice(7)] : [root, path];
    const file = resolve(base, normalize('.' + (rest.endsWith('/') ? rest + 'index.html' : rest)));
    try {
      if (!file.startsWith(resolve(base)) || !statSync(file).isFile()) throw new Error('no file');
      response.writeHead(200, { 'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream' });
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

export async function launch({ deviceScaleFactor = 1 } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'dm-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: kChromium,
    headless: true,
    deviceScaleFactor,
    viewport: { width: 800, height: 900 },
    args: [
      '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=no-user-gesture-required',
    ],
  });
  return {
    context,
    close: async () => {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Opens the page (in a viewport of the given size, else the context's) and
// waits until its panel is up; page errors fail the caller through the
// returned list.
export async function openPage(context, url, viewport = null) {
  const tab = await context.newPage();
  if (viewport) await tab.setViewportSize(viewport);
  const errors = [];
  tab.on('pageerror', (error) => errors.push(String(error)));
  tab.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  await tab.goto(url);
  await tab.evaluate(() => window.duoMangler.ready);
  return { tab, errors };
}
