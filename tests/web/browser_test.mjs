// The browser build in Debian's chromium (headless, WebGL 2 on SwiftShader), served from
// build-web/ by python3 -m http.server as any static host would serve it:
// - the page: no console error, the start card, a click starts, a 1920 x 1080 drawing buffer
//   letterboxed into the window, the music in step with the demo, Escape, play again;
// - a still of every scene, and on a scene bound and a grid bound, against heptad-capture --still
//   at the same time and size;
// - the comparison fails on a missing picture and on a broken shader;
// - a whole run on a fast clock reaches the end card with no GL error in any scene;
// - the player: pause holds the picture and the position, Shift+Right moves a bar, #t=129 starts
//   there, and seeks (forward to 141 s, back from 150 s to 50 s) draw what --still draws;
// - the "reduce flashing" switch: on for reduced motion, remembered, the limiter on or off with it,
//   also across a seek;
// - without EXT_color_buffer_float the page says so.
// Usage: node browser_test.mjs <build-web dir> <runtime dir>
import { execFile } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { promisify } from 'node:util';
import { chromium } from 'playwright-core';
import { check, finish, startServer, waitForState } from './harness.mjs';

const [webDir, runtimeDir] = process.argv.slice(2);
const stillSize = { width: 960, height: 540 };
// Mean absolute difference per channel (0 to 255) that a web still may differ from the desktop
// one: about twice what was measured, and well under what the faults below give (3.6 and more
// for a missing picture, 20 and more for a broken shader). The rasterisers differ at edges and
// in filtering; the wireframe differs most, as WebGL draws 1-pixel lines where the desktop draws
// 2.5-pixel smoothed ones (measured 0.6, where the cubes missing altogether would give about
// 1.5). Scenes that are mostly background get tight limits for the same reason.
const stills = [
  { time: 12, scene: 'title', limit: 1 },
  // On a scene bound and on a bound between the finale's grids both draw the next float instant,
  // with the limits of the scenes they show.
  { time: 24, scene: 'scene 2 on its bound', limit: 1.2 },
  { time: 28, scene: 'scene 2, wireframe', limit: 1.2 },
  { time: 36, scene: 'scene 2, points', limit: 0.5 },
  { time: 55, scene: 'scene 3, points', limit: 0.5 },
  { time: 75, scene: 'scene 4', limit: 1 },
  { time: 95, scene: 'scene 5', limit: 2 },
  { time: 120, scene: 'scene 6', limit: 1 },
  { time: 141, scene: 'finale on a grid bound', limit: 0.5 },
  { time: 150, scene: 'finale', limit: 0.5 },
];
// The player's seeks land on these, with the limits of the scenes they show. At 50 s scene 3's
// wireframe fills the screen, and WebGL's 1-pixel lines against the desktop's 2.5-pixel ones
// differ by 21 to 29 per channel: that seek is held against the page's own still (?still=50).
// Scene 3 sets all the state it draws with; the early grid does not: the late grid's projection,
// left on the lit program, shows at 135 s unless the seek back puts start-up's state back.
const seeks = [
  { time: 141, from: 129, limit: 0.5, against: 'desktop' },
  { time: 50, from: 150, limit: 0.5, against: 'page' },
  { time: 135, from: 160, limit: 0.5, against: 'desktop' },
];


// The desktop stills, rendered while the browser works.
async function renderNativeStills(dir) {
  const run = promisify(execFile);
  const files = {};
  for (const { time } of [...stills, ...seeks.filter(({ against }) => against === 'desktop')]) {
    const file = path.join(dir, `native-${time}.png`);
    await run('./heptad-capture', ['--still', String(time), '--size',
      `${stillSize.width}x${stillSize.height}`, '--output', file], { cwd: runtimeDir });
    files[time] = file;
  }
  return files;
}

// A page with its console watched: errors, and WebGL's own complaints, are collected.
async function openPage(browser, url, beforeMain) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || /WebGL|GL_INVALID/.test(message.text())) {
      problems.push(message.text());
    }
  });
  page.on('pageerror', (error) => problems.push(error.message));
  if (beforeMain) await page.addInitScript(beforeMain);
  await page.goto(url);
  return { page, problems };
}


// Mean absolute difference per channel between the page's still (rows bottom first, as GL
// reads them) and a PNG.
function compareStill(page, pngFile) {
  return page.evaluate(async (pngBase64) => {
    const bytes = Uint8Array.from(atob(pngBase64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const { width, height, rgba } = window.heptad.still;
    if (bitmap.width !== width || bitmap.height !== height) return null;
    const canvas = new OffscreenCanvas(width, height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const png = context.getImageData(0, 0, width, height).data;
    const sums = [0, 0, 0];
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const a = (y * width + x) * 4;
        const b = ((height - 1 - y) * width + x) * 4;
        for (let c = 0; c < 3; ++c) sums[c] += Math.abs(png[a + c] - rgba[b + c]);
      }
    }
    return sums.map((sum) => sum / (width * height));
  }, fs.readFileSync(pngFile).toString('base64'));
}

async function webStill(browser, url, time, beforeMain) {
  const size = `${stillSize.width}x${stillSize.height}`;
  const { page, problems } = await openPage(browser, `${url}?still=${time}&size=${size}&glcheck`,
    beforeMain);
  await waitForState(page, ['still-done', 'failed'], 120000);
  return { page, problems };
}

async function testPage(browser, url) {
  const { page, problems } = await openPage(browser, url);
  await waitForState(page, ['ready', 'failed'], 60000);
  check(await page.isVisible('#start') && /click to play/.test(await page.textContent('#start')),
    'start card with "click to play"');
  check(await page.evaluate(() => document.getElementById('logo').naturalWidth === 1920),
    'start card shows the logo');
  await page.click('#start');
  await waitForState(page, ['playing', 'failed'], 60000);
  const canvas = await page.evaluate(() => {
    const c = document.querySelector('#stage canvas');
    const box = c.getBoundingClientRect();
    return { width: c.width, height: c.height, boxWidth: box.width, boxHeight: box.height };
  });
  check(canvas.width === 1920 && canvas.height === 1080, 'drawing buffer 1920x1080',
    `${canvas.width}x${canvas.height}`);
  check(canvas.boxWidth === 1280 && canvas.boxHeight === 720, 'canvas letterboxed into 1280x800',
    `${canvas.boxWidth}x${canvas.boxHeight}`);
  console.log(`     click to first frame: ${await page.evaluate(() => window.heptad.firstFrameMs.toFixed(0))} ms`);

  // The music's position against the demo's time since the first frame, once it plays and has
  // had a moment to settle.
  await page.waitForFunction(() => document.getElementById('music').currentTime > 4, null,
    { timeout: 20000, polling: 100 });
  let worst = 0;
  for (let i = 0; i < 10; ++i) {
    const drift = await page.evaluate(() => {
      const music = document.getElementById('music');
      const demoSince = window.heptad.demoSinceMusic();
      return music.currentTime - demoSince;
    });
    worst = Math.max(worst, Math.abs(drift));
    await page.waitForTimeout(200);
  }
  check(worst < 0.1, 'music within 100 ms of the demo clock', `worst ${(worst * 1000).toFixed(0)} ms`);

  // The program polls the key once a frame, so it is held down across a slow frame.
  await page.keyboard.down('Escape');
  await page.waitForTimeout(1500);
  await page.keyboard.up('Escape');
  await waitForState(page, ['ended'], 20000);
  check(await page.isVisible('#again'), 'Escape ends the demo on the end card with "play again"');
  check(await page.evaluate(() => document.getElementById('music').paused), 'the music stops');
  await page.click('#again');
  await waitForState(page, ['playing'], 60000);
  await page.waitForTimeout(500);
  check(await page.evaluate(() => window.heptad.frames > 1), 'play again plays afresh');
  check(problems.length === 0, 'no console error', problems.join(' | '));
  await page.close();
}

// A browser whose WebGL 2 cannot render into float images gets one line saying so.
async function testNoFloatTargets(browser, url) {
  const { page } = await openPage(browser, `${url}?still=12&size=480x270`, () => {
    const hidden = 'EXT_color_buffer_float';
    const proto = WebGL2RenderingContext.prototype;
    const getExtension = proto.getExtension;
    const getSupported = proto.getSupportedExtensions;
    proto.getExtension = function (name) { return name === hidden ? null : getExtension.call(this, name); };
    proto.getSupportedExtensions = function () { return getSupported.call(this).filter((n) => n !== hidden); };
  });
  await waitForState(page, ['failed', 'still-done'], 60000);
  const line = await page.textContent('#message');
  check(await page.isVisible('#message') && /EXT_color_buffer_float/.test(line),
    'without float render targets the page says so in one line', line);
  await page.close();
}

async function testStills(browser, url, nativeStills) {
  for (const { time, scene, limit } of stills) {
    const { page, problems } = await webStill(browser, url, time);
    const mad = await compareStill(page, (await nativeStills)[time]);
    const errors = await page.evaluate(() => window.heptad.glErrors);
    check(mad !== null && mad.every((m) => m < limit) && problems.length === 0 && errors === 0,
      `still at ${time} s (${scene}) matches the desktop within ${limit}`,
      mad ? `per channel ${mad.map((m) => m.toFixed(2)).join(' ')}${problems.join(' | ')}` : 'size differs');
    await page.close();
  }
}

async function testFaultsCaught(browser, url, nativeStills) {
  const faults = [
    { time: 120, limit: 1, what: 'a missing picture',
      beforeMain: () => { window.heptadBeforeMain = (FS) => FS.unlink('imgs/Greets.png'); } },
    { time: 75, limit: 1, what: 'a broken shader',
      beforeMain: () => {
        window.heptadBeforeMain = (FS) => FS.writeFile('labshaders/Scene4.fs',
          FS.readFile('labshaders/Scene4.fs', { encoding: 'utf8' }).replace('main()', 'main() {'));
      } },
  ];
  for (const { time, limit, what, beforeMain } of faults) {
    const { page } = await webStill(browser, url, time, beforeMain);
    const mad = await compareStill(page, (await nativeStills)[time]);
    check(mad !== null && mad.some((m) => m >= limit), `the comparison catches ${what}`,
      mad ? `per channel ${mad.map((m) => m.toFixed(2)).join(' ')}` : '');
    await page.close();
  }
}

// The canvas as window.heptad.still holds a still (rows bottom first), once two more frames have
// been drawn: a seek leaves its warm-up's last frame on the canvas until the next one.
async function readCanvas(page) {
  await page.evaluate(async () => {
    const frames = window.heptad.frames;
    while (window.heptad.frames < frames + 2) await new Promise((done) => setTimeout(done, 50));
    const canvas = document.querySelector('#stage canvas');
    const { width, height } = canvas;
    const copy = new OffscreenCanvas(width, height).getContext('2d');
    copy.drawImage(canvas, 0, 0);
    const rows = copy.getImageData(0, 0, width, height).data;
    const rgba = new Uint8Array(rows.length);
    for (let y = 0; y < height; ++y) {
      rgba.set(rows.subarray((height - 1 - y) * width * 4, (height - y) * width * 4), y * width * 4);
    }
    window.heptad.still = { width, height, rgba };
  });
}

// The page's own still at this time, as a PNG file.
async function pageStillFile(browser, url, time, dir) {
  const { page } = await webStill(browser, url, time);
  const png = await page.evaluate(async () => {
    const { width, height, rgba } = window.heptad.still;
    const context = new OffscreenCanvas(width, height).getContext('2d');
    const image = context.createImageData(width, height);
    for (let y = 0; y < height; ++y) {
      image.data.set(rgba.subarray((height - 1 - y) * width * 4, (height - y) * width * 4), y * width * 4);
    }
    context.putImageData(image, 0, 0);
    const blob = await context.canvas.convertToBlob();
    const bytes = new Uint8Array(await blob.arrayBuffer());
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    return btoa(text);
  });
  await page.close();
  const file = path.join(dir, `page-${time}.png`);
  fs.writeFileSync(file, Buffer.from(png, 'base64'));
  return file;
}

async function testPlayer(browser, url, nativeStills, dir) {
  const pageStills = {};
  for (const { time, against } of seeks) {
    if (against === 'page') pageStills[time] = await pageStillFile(browser, url, time, dir);
  }
  const size = `${stillSize.width}x${stillSize.height}`;
  // The canvas is read back between frames.
  const keepPicture = () => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, options) {
      return getContext.call(this, kind, { ...options, preserveDrawingBuffer: true });
    };
  };
  const { page, problems } = await openPage(browser, `${url}?size=${size}&glcheck#t=129`, keepPicture);
  await waitForState(page, ['ready', 'failed'], 60000);
  check(/from 2:09/.test(await page.textContent('#start')), 'a link with #t=129 says "from 2:09"');
  check(await page.evaluate(() => window.heptad.play().then(() => 'played', (e) => e.name)) ===
    'NotAllowedError', 'play() before the click is refused');
  await page.click('#start');
  await waitForState(page, ['playing', 'failed'], 60000);
  const first = await page.evaluate(() => window.heptad.firstFrameTime);
  check(Math.abs(first - 129) <= 1 / 60, '#t=129 starts within a frame of 129 s', `first frame ${first}`);

  await page.keyboard.press('Space');
  await page.waitForFunction(() => window.heptad.paused, null, { timeout: 20000, polling: 100 });
  const held = await page.evaluate(() => window.heptad.currentTime);
  await readCanvas(page);
  await page.evaluate(() => { window.heldPicture = window.heptad.still.rgba; });
  await page.waitForTimeout(1000);
  await readCanvas(page);
  const same = await page.evaluate(() => window.heptad.still.rgba.every((v, i) => v === window.heldPicture[i]));
  const position = await page.evaluate(() => window.heptad.currentTime);
  const musicPaused = await page.evaluate(() => document.getElementById('music').paused);
  check(same && position === held && musicPaused, 'pause holds the picture, the position and the music',
    `${held} then ${position}, picture ${same ? 'held' : 'changed'}, music ${musicPaused ? 'paused' : 'playing'}`);
  check(await page.evaluate(() => location.hash) === `#t=${Number(held.toFixed(2))}`,
    'paused, the address holds the position', await page.evaluate(() => location.hash));

  await page.keyboard.press('Shift+ArrowRight');
  await page.waitForFunction((t) => window.heptad.currentTime !== t, held, { timeout: 20000, polling: 100 });
  const moved = await page.evaluate(() => window.heptad.currentTime) - held;
  check(Math.abs(moved - 1.875) < 1e-9, 'Shift+Right moves one bar (1.875 s)', `moved ${moved}`);

  for (const { time, from, limit, against } of seeks) {
    await page.evaluate((t) => { window.heptad.currentTime = t; }, from);
    await page.evaluate((t) => { window.heptad.currentTime = t; }, time);
    await readCanvas(page);
    const mad = await compareStill(page, against === 'page' ? pageStills[time] : (await nativeStills)[time]);
    check(mad !== null && mad.every((m) => m < limit) &&
      await page.evaluate((t) => window.heptad.currentTime === t, time),
    `a seek from ${from} s to ${time} s draws what the ${against}'s --still ${time} draws, within ${limit}`,
    mad ? `per channel ${mad.map((m) => m.toFixed(2)).join(' ')}` : 'size differs');
  }
  const errors = await page.evaluate(() => window.heptad.glErrors);
  check(errors === 0 && problems.length === 0, 'no GL or console error in the player',
    `${errors} GL errors ${problems.join(' | ')}`);
  await page.close();
}

// The "reduce flashing" switch: on by default where the system asks for reduced motion, the
// choice remembered; on, every frame goes through the flash limiter, a seek included, and off,
// none does.
async function testReduceFlashing(browser, url) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 }, reducedMotion: 'reduce' });
  const problems = [];
  page.on('console', (message) => { if (message.type() === 'error') problems.push(message.text()); });
  page.on('pageerror', (error) => problems.push(error.message));
  const address = `${url}?size=480x270&glcheck`;
  const switchOn = () => page.isChecked('#reduce-flashing');
  const played = async (on) => {
    await page.goto(address);
    await waitForState(page, ['ready', 'failed'], 60000);
    if (await switchOn() !== on) await page.click('#reduce-flashing');
    check(await page.evaluate(() => window.heptad.state) === 'ready', 'the switch does not start the demo');
    await page.click('#start');
    await page.waitForFunction(() => window.heptad.frames >= 20 || window.heptad.state === 'failed',
      null, { timeout: 120000 });
    // A seek into scene 3, which flashes, and on from there.
    await page.evaluate(() => { window.heptad.currentTime = 47; });
    await page.waitForFunction(() => window.heptad.frames >= 40 || window.heptad.state === 'failed',
      null, { timeout: 120000 });
    return page.evaluate(() => window.heptad);
  };
  await page.goto(address);
  await waitForState(page, ['ready', 'failed'], 60000);
  check(await switchOn(), 'reduce flashing is on where the system asks for reduced motion');
  check(/scene 3 \(45.51 s\)/.test(await page.textContent('#flash-choice')),
    'the start card says where the demo flashes');
  let run = await played(false);
  check(run.frames >= 40 && run.gentleFrames === 0, 'switched off, no frame goes through the limiter',
    `${run.gentleFrames} of ${run.frames}`);
  await page.goto(address);
  await waitForState(page, ['ready', 'failed'], 60000);
  check(!(await switchOn()), 'the choice is remembered');
  run = await played(true);
  check(run.frames >= 40 && run.gentleFrames === run.frames,
    'switched on, every frame goes through the limiter, across a seek', `${run.gentleFrames} of ${run.frames}`);
  check(run.glErrors === 0, 'no GL error through the limiter', JSON.stringify(run.glErrorsByScene));
  check(problems.length === 0, 'no console error with the switch', problems.join(' | '));
  await page.close();
}

async function testWholeRun(browser, url) {
  const { page, problems } = await openPage(browser, `${url}?size=480x270&speed=6&glcheck`);
  await waitForState(page, ['ready', 'failed'], 60000);
  await page.click('#start');
  await waitForState(page, ['ended', 'failed'], 240000);
  const run = await page.evaluate(() => window.heptad);
  const scenesDrawn = [1, 2, 3, 4, 5, 6, 7].filter((scene) => run.sceneFrames[scene] > 0);
  check(run.state === 'ended' && scenesDrawn.length === 7, 'a whole run on a fast clock reaches the end card',
    `scenes drawn ${scenesDrawn.join(',')} in ${run.frames} frames`);
  check(run.glErrors === 0, 'no GL error at start-up or in any scene', JSON.stringify(run.glErrorsByScene));
  check(problems.length === 0, 'no console error in the whole run', problems.join(' | '));
  await page.close();
}

if (!fs.existsSync(path.join(webDir, 'heptad.wasm'))) {
  console.log(`no browser build in ${webDir}: run scripts/build-web.sh first`);
  process.exit(1);
}
const { server, url } = await startServer(webDir);
const workDir = fs.mkdtempSync(path.join(os.tmpdir(), 'heptad-web-'));
const nativeStills = renderNativeStills(workDir);
nativeStills.catch(() => {});
const browser = await chromium.launch({
  executablePath: '/usr/lib/chromium/chromium',
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required'],
});
try {
  await testPage(browser, url);
  await testPlayer(browser, url, nativeStills, workDir);
  await testWholeRun(browser, url);
  await testReduceFlashing(browser, url);
  await testNoFloatTargets(browser, url);
  await testStills(browser, url, nativeStills);
  await testFaultsCaught(browser, url, nativeStills);
} catch (error) {
  check(false, 'the tests ran to their end', error.message);
} finally {
  await browser.close();
  server.kill();
  fs.rmSync(workDir, { recursive: true, force: true });
}
finish();
