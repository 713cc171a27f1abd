// The page's ways of starting, in Debian's chromium (headless, WebGL 2 on SwiftShader):
// - heptad.html opened from the file system plays, music included, with no request beyond the
//   file itself;
// - the folder version served by python3 -m http.server shows its download's progress;
// - each failure says what went wrong in one line: index.html opened from the file system, the
//   data missing (404) or cut off (network error), the music missing (plays silently with a
//   notice), and a browser without WebGL 2.
// Prints the start-up figures: page opened to "click to play", and click to first frame, for
// heptad.html from file:// and for the served folder (HEPTAD_PAGE_RUNS=3 for a median of three).
// Usage: node page_test.mjs <build-web dir>
import fs from 'node:fs';
import path from 'node:path';
import { chromium } from 'playwright-core';
import { check, finish, startServer, waitForState } from './harness.mjs';

const webDir = path.resolve(process.argv[2]);
const runs = Number(process.env.HEPTAD_PAGE_RUNS || 1);


function launch(extraArgs = []) {
  return chromium.launch({
    executablePath: '/usr/lib/chromium/chromium',
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--autoplay-policy=no-user-gesture-required', ...extraArgs],
  });
}

// A page with its console errors and every address it asked for collected; the start line's
// texts are recorded as they change, to see the download's progress.
async function openPage(browser, url, routes = {}) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  const problems = [];
  const requests = [];
  page.on('console', (message) => { if (message.type() === 'error') problems.push(message.text()); });
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('request', (request) => requests.push(request.url()));
  for (const [name, answer] of Object.entries(routes)) {
    await page.route(`**/${name}`, answer);
  }
  await page.addInitScript(() => {
    window.startLines = [];
    document.addEventListener('DOMContentLoaded', () => {
      const line = document.getElementById('start-line');
      new MutationObserver(() => window.startLines.push(line.textContent))
        .observe(line, { childList: true, characterData: true, subtree: true });
    });
  });
  const opened = Date.now();
  await page.goto(url);
  return { page, problems, requests, opened };
}


async function failureLine(page) {
  await waitForState(page, ['failed', 'ready', 'still-done'], 120000);
  const visible = await page.isVisible('#message');
  return visible ? await page.textContent('#message') : `(no message; state ${await page.evaluate(() => window.heptad.state)})`;
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Opens, waits for "click to play", clicks, and waits for the first frame.
async function startUp(browser, url, routes) {
  const opened = await openPage(browser, url, routes);
  await waitForState(opened.page, ['ready', 'failed'], 120000);
  const readyMs = Date.now() - opened.opened;
  await opened.page.click('#start');
  await waitForState(opened.page, ['playing', 'failed'], 120000);
  const firstFrameMs = await opened.page.evaluate(() => window.heptad.firstFrameMs);
  return { ...opened, readyMs, firstFrameMs };
}

async function testSingleFile(browser) {
  const file = path.join(webDir, 'heptad.html');
  const size = fs.statSync(file).size;
  check(size <= 12e6, 'heptad.html is at most 12 MB', `${(size / 1e6).toFixed(2)} MB`);
  const timings = [];
  for (let run = 0; run < runs; ++run) {
    const { page, problems, requests, readyMs, firstFrameMs } = await startUp(browser, `file://${file}`);
    timings.push({ readyMs, firstFrameMs });
    if (run > 0) { await page.close(); continue; }
    check(await page.evaluate(() => window.heptad.state) === 'playing', 'heptad.html from file:// plays');
    await page.waitForFunction(() => document.getElementById('music').currentTime > 1, null,
      { timeout: 30000, polling: 100 }).catch(() => {});
    check(await page.evaluate(() => {
      const music = document.getElementById('music');
      return !music.paused && music.currentTime > 1 && music.src.startsWith('blob:');
    }), 'its own music plays');
    const outside = requests.filter((url) => !/^(file|data|blob):/.test(url));
    check(outside.length === 0, 'nothing asked for beyond the file', outside.join(' '));
    check(problems.length === 0, 'no console error', problems.join(' | '));
    await page.close();
  }
  return timings;
}

async function testServedFolder(browser, url) {
  const timings = [];
  for (let run = 0; run < runs; ++run) {
    const { page, problems, readyMs, firstFrameMs } = await startUp(browser, url);
    timings.push({ readyMs, firstFrameMs });
    if (run === 0) {
      const total = ['heptad.wasm', 'heptad.data', 'demotune.mp3']
        .reduce((sum, name) => sum + fs.statSync(path.join(webDir, name)).size, 0) / 1e6;
      const lines = await page.evaluate(() => window.startLines);
      const last = lines.filter((line) => /^loading [\d.]+ of [\d.]+ MB$/.test(line)).pop() || '';
      check(last === `loading ${total.toFixed(1)} of ${total.toFixed(1)} MB`,
        'the start card counts the download in megabytes of the total', `last "${last}" of ${lines.length} lines`);
      check(problems.length === 0, 'no console error', problems.join(' | '));
    }
    await page.close();
  }
  return timings;
}

async function testFailures(browser, url) {
  const indexFromFile = await openPage(browser, `file://${path.join(webDir, 'index.html')}`);
  const line = await failureLine(indexFromFile.page);
  check(/open heptad\.html instead, or serve this folder/.test(line) && /python3 -m http\.server/.test(line),
    'index.html from file:// says to open heptad.html or serve the folder', line);
  await indexFromFile.page.close();

  const notFound = (route) => route.fulfill({ status: 404, body: 'File not found' });
  const cases = [
    { what: 'heptad.data missing (404)', routes: { 'heptad.data': notFound }, want: /Could not load heptad\.data \(404/ },
    { what: 'heptad.wasm cut off (network error)', routes: { 'heptad.wasm': (route) => route.abort('failed') },
      want: /Could not load heptad\.wasm \(network error\)/ },
    { what: 'heptad.js missing (404)', routes: { 'heptad.js': notFound }, want: /Could not load heptad\.js/ },
  ];
  for (const { what, routes, want } of cases) {
    const { page } = await openPage(browser, url, routes);
    const text = await failureLine(page);
    check(want.test(text) && !text.includes('\n'), `${what}: one line says so`, text);
    await page.close();
  }

  // Without its music the demo still plays, and a small notice says it is silent.
  const { page, readyMs } = await startUp(browser, url, { 'demotune.mp3': notFound });
  check(await page.evaluate(() => window.heptad.state) === 'playing', 'without the music the demo plays',
    `ready after ${readyMs} ms`);
  const notice = await page.evaluate(() => document.getElementById('notice').textContent);
  check(/No music \(demotune\.mp3: 404[^)]*\): the demo plays silently\./.test(notice), 'a notice says it plays silently', notice);
  await page.close();
}

async function testNoWebGl2() {
  const browser = await launch(['--disable-webgl2']);
  try {
    const { page } = await openPage(browser, `${(await served).url}?still=12&size=480x270`);
    const line = await failureLine(page);
    check(/no WebGL 2/.test(line), 'a browser without WebGL 2 is told so in one line', line);
  } finally {
    await browser.close();
  }
}

function figures(what, timings) {
  console.log(`     ${what}: page to "click to play" ${median(timings.map((t) => t.readyMs))} ms, ` +
    `click to first frame ${median(timings.map((t) => t.firstFrameMs)).toFixed(0)} ms ` +
    `(median of ${timings.length})`);
}

if (!fs.existsSync(path.join(webDir, 'heptad.html'))) {
  console.log(`no heptad.html in ${webDir}: run scripts/build-web.sh first`);
  process.exit(1);
}
const served = startServer(webDir);
const { server, url } = await served;
const browser = await launch();
try {
  const fileTimings = await testSingleFile(browser);
  const servedTimings = await testServedFolder(browser, url);
  figures('heptad.html from file://', fileTimings);
  figures('the folder from http.server', servedTimings);
  await testFailures(browser, url);
  await testNoWebGl2();
} catch (error) {
  check(false, 'the tests ran to their end', error.message);
} finally {
  await browser.close();
  server.kill();
}
finish();
