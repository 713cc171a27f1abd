// Figures of the browser build, side by side with the desktop program in the same session:
// the download (each file, raw and as a static host's gzip would send it), start-up from the
// click to the first frame, and the median frame time of each scene at 1920 x 1080 in headless
// chromium (WebGL 2 on SwiftShader) and natively on Mesa llvmpipe (timeline_bench), both timed by
// timeline_bench.h. With --screenshot FILE it also saves the page showing the finale.
// Run after scripts/build-web.sh and scripts/build.sh:
//   node bench/web_bench.mjs [frames] [--screenshot docs/web.png]
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { createRequire } from 'node:module';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const { chromium } = createRequire(path.join(root, 'tests/web/package.json'))('playwright-core');
const webDir = path.join(root, 'build-web');
const runtimeDir = path.join(root, 'build/runtime');
const args = process.argv.slice(2);
const shotIndex = args.indexOf('--screenshot');
const screenshot = shotIndex >= 0 ? path.resolve(args[shotIndex + 1]) : null;
const frames = Number(args.find((a, i) => /^\d+$/.test(a) && i !== shotIndex + 1) || 3);

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

const megabytes = (bytes) => (bytes / 1e6).toFixed(2).padStart(6) + ' MB';
console.log('Download (build-web/):');
let raw = 0;
let gzipped = 0;
for (const name of fs.readdirSync(webDir).sort()) {
  const bytes = fs.readFileSync(path.join(webDir, name));
  const packed = zlib.gzipSync(bytes, { level: 9 }).length;
  raw += bytes.length;
  gzipped += packed;
  console.log(`  ${name.padEnd(14)} ${megabytes(bytes.length)}  gzip ${megabytes(packed)}`);
}
console.log(`  ${'total'.padEnd(14)} ${megabytes(raw)}  gzip ${megabytes(gzipped)}\n`);

const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0'],
  { cwd: webDir, stdio: ['ignore', 'pipe', 'ignore'] });
const url = await new Promise((resolve) => server.stdout.on('data', (text) => {
  const port = /port (\d+)/.exec(String(text));
  if (port) resolve(`http://127.0.0.1:${port[1]}/`);
}));
const browser = await chromium.launch({
  executablePath: '/usr/lib/chromium/chromium',
  args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--autoplay-policy=no-user-gesture-required'],
});
const waitFor = (page, state, timeout) => page.waitForFunction(
  (name) => window.heptad.state === name, state, { timeout, polling: 100 });

const startUps = [];
for (let i = 0; i < 3; ++i) {
  const page = await browser.newPage();
  await page.goto(url);
  await waitFor(page, 'ready', 60000);
  await page.click('#start');
  await waitFor(page, 'playing', 60000);
  startUps.push(await page.evaluate(() => window.heptad.firstFrameMs));
  await page.close();
}

const page = await browser.newPage();
await page.goto(`${url}?bench=${frames}`, { waitUntil: 'commit' });
await waitFor(page, 'bench-done', 1800000);
const web = await page.evaluate(() => window.heptad.bench);
await page.close();

if (screenshot) {
  const shot = await browser.newPage({ viewport: { width: 960, height: 540 } });
  await shot.goto(`${url}?still=150`);
  await waitFor(shot, 'still-done', 300000);
  await shot.screenshot({ path: screenshot });
  await shot.close();
  console.log(`Saved ${screenshot}\n`);
}
await browser.close();
server.kill();

const nativeText = execFileSync('xvfb-run', ['-a', '-s', '-screen 0 1920x1080x24',
  '../timeline_bench', String(frames)], { cwd: runtimeDir, encoding: 'utf8' });
const native = {};
for (const line of nativeText.split('\n')) {
  const match = /^(.+?)\s+([\d.]+) ms$/.exec(line);
  if (match) native[match[1]] = Number(match[2]);
}

console.log(`Click to first frame in chromium: ${median(startUps).toFixed(0)} ms (median of 3)\n`);
console.log(`Median frame time at 1920x1080, ${frames} frames a scene:`);
console.log('| scene | chromium, WebGL 2 on SwiftShader | desktop, Mesa llvmpipe |');
console.log('|---|---|---|');
for (const name of Object.keys(web)) {
  console.log(`| ${name} | ${web[name].toFixed(1)} ms | ${native[name] !== undefined ? native[name].toFixed(1) + ' ms' : '?'} |`);
}
