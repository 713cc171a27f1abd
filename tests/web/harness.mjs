// What the browser tests share: their tally of checks, the page's web server and the wait for a
// state of the page.
import { spawn } from 'node:child_process';

const tally = { passed: 0, failed: 0 };

export function check(ok, what, detail = '') {
  if (ok) tally.passed += 1;
  else tally.failed += 1;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ': ' + detail : ''}`);
}

// Prints the closing line that the test runner reads, and ends with the verdict.
export function finish() {
  console.log(`${tally.passed} passed, ${tally.failed} failed`);
  process.exit(tally.failed === 0 ? 0 : 1);
}

// python3 -m http.server on a free port of this machine, serving the folder. Unbuffered (-u): its
// line with the port would otherwise sit in a pipe buffer until it exits.
export function startServer(folder) {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0'], {
      cwd: folder,
      stdio: ['ignore', 'pipe', 'ignore'],
    });
    server.stdout.on('data', (text) => {
      const port = /port (\d+)/.exec(String(text));
      if (port) resolve({ server, url: `http://127.0.0.1:${port[1]}/` });
    });
    server.on('exit', () => reject(new Error('http.server stopped')));
  });
}

export function waitForState(page, states, timeout) {
  // Polled by time: a page busy with slow software-rendered frames seldom reaches an animation
  // frame of its own.
  return page.waitForFunction((names) => names.includes(window.heptad.state), states,
    { timeout, polling: 100 });
}
