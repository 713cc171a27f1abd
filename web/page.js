'use strict';
// The page around the browser build: the start card (browsers allow sound only after a click),
// the demo's canvas, its music, the end card, and what tests read back from window.heptad.
// Address parameters: size=WxH, speed=X, still=T, glcheck, bench=N (see web_options.h); the
// fragment #t=T starts at T seconds. The start card's "reduce flashing" switch plays the demo
// through its flash limiter. The player's controls and its API are web/player.js's.
// The program, its data and its music come either inline (heptad.html, one file that opens from
// the file system) or as files beside index.html on a web server, downloaded with their progress
// shown; whatever keeps the demo from starting is said in one line on the page.
(function () {
  const params = new URLSearchParams(location.search);
  const music = document.getElementById('music');
  const startCard = document.getElementById('start');
  const endCard = document.getElementById('end');
  const state = (window.heptad = Object.assign(new EventTarget(), {
    state: 'loading', frames: 0, firstFrameMs: null, firstFrameTime: null, glErrors: 0,
    glErrorsByScene: {}, sceneFrames: {}, bench: {}, still: null, musicStartDemo: null,
    gentleFrames: 0,
  }));
  const player = heptadPlayer(state, music, { playAgain: () => playAgain() });
  let demo = null;
  let clickedAt = 0;

  function setState(name) {
    state.state = name;
    document.body.dataset.state = name;
  }

  // The "reduce flashing" switch. It starts on where the viewer's system asks for reduced
  // motion, and the viewer's choice is remembered where the browser lets the page store it (one
  // opened from the file system may refuse). On, the demo draws through its flash limiter
  // (--gentle), whose history each seek starts afresh.
  const flashChoiceKey = 'heptad.reduceFlashing';
  function storedFlashChoice() {
    try {
      return window.localStorage.getItem(flashChoiceKey);
    } catch (error) {
      return null;
    }
  }
  function storeFlashChoice(on) {
    try {
      window.localStorage.setItem(flashChoiceKey, on ? 'on' : 'off');
    } catch (error) {
      // Remembered for this visit only.
    }
  }
  const flashSwitch = document.getElementById('reduce-flashing');
  const storedChoice = storedFlashChoice();
  flashSwitch.checked = storedChoice === null
    ? typeof window.matchMedia === 'function' &&
      window.matchMedia('(prefers-reduced-motion: reduce)').matches
    : storedChoice === 'on';
  flashSwitch.addEventListener('change', () => storeFlashChoice(flashSwitch.checked));
  // A click on the switch or its text sets it; it does not start the demo.
  document.getElementById('flash-choice').addEventListener('click',
    (event) => event.stopPropagation());

  function programArguments() {
    const args = [];
    for (const name of ['size', 'speed', 'still', 'bench']) {
      if (params.has(name)) args.push('--' + name, params.get(name));
    }
    if (params.has('glcheck')) args.push('--glcheck');
    if (flashSwitch.checked && !params.has('still') && !params.has('bench')) args.push('--gentle');
    return args;
  }

  function showFailure(message) {
    const line = document.getElementById('message');
    line.textContent = message;
    line.hidden = false;
    startCard.hidden = true;
    setState('failed');
  }

  function demoSeconds() {
    return demo._heptadDemoSeconds();
  }
  // Where the music should be: the demo's time since the track's start.
  state.demoSinceMusic = () => demoSeconds() - state.musicStartDemo;

  // The music plays from the demo's first frame, from the demo's time then: the player's seeks
  // move both together.
  function startMusic(path, fromSeconds) {
    state.musicStartDemo = 0;
    if (!music.src) return;
    music.currentTime = fromSeconds;
    music.playbackRate = 1;
    music.preservesPitch = true; // the browsers' default, relied on by the catching up below
    music.play().catch((error) => console.warn('music did not start: ' + error.message));
  }

  // Playback starts a little after play() is asked for, and a busy machine can hold the media
  // clock back. A small lag or lead is made up by playing up to 20% faster or slower for a
  // moment, the pitch kept (a seek restarts the audio output, which costs a lag of its own);
  // only a large one is sought across. 20% takes back a tenth of a second within half a second.
  function keepMusicInStep() {
    if (state.musicStartDemo === null || music.paused || music.seeking ||
      state.state !== 'playing' || params.has('speed')) return;
    const lag = state.demoSinceMusic() - music.currentTime;
    if (Math.abs(lag) > 0.25) {
      music.currentTime += lag;
    } else {
      music.playbackRate = 1 + Math.max(-0.2, Math.min(0.2, 4 * lag));
    }
  }
  setInterval(keepMusicInStep, 250);

  function report(what, value, scene) {
    if (what === 'frame') {
      state.frames += 1;
      state.sceneFrames[scene] = (state.sceneFrames[scene] || 0) + 1;
      if (state.frames === 1) {
        state.firstFrameMs = performance.now() - clickedAt;
        state.firstFrameTime = value;
        setState('playing');
      }
    } else if (what === 'gentle') {
      state.gentleFrames += 1; // a frame drawn through the flash limiter
    } else if (what === 'glerrors') {
      state.glErrors += value;
      state.glErrorsByScene[scene] = (state.glErrorsByScene[scene] || 0) + value;
    } else if (what === 'bench done') {
      setState('bench-done');
    } else {
      state.bench[what] = value;
      console.log('bench ' + what + ': ' + value.toFixed(1) + ' ms');
    }
  }

  function showStill(rgba, width, height) {
    state.still = { width: width, height: height, rgba: rgba };
    setState('still-done');
    console.log('heptad: still done');
  }

  function showEnd() {
    music.pause();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    endCard.hidden = false;
    setState('ended');
    player.ended();
  }

  // Bytes held in a non-running script element of heptad.html, as base64; null in index.html.
  function inlineBytes(id) {
    const element = document.getElementById(id);
    if (!element) return null;
    const text = atob(element.textContent.trim());
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes.buffer;
  }

  // Downloads beside the page, with the megabytes received so far of the total on the start
  // card. A failure names the file and why: its HTTP status, or a network error.
  const progress = { received: {}, total: {} };
  function showProgress() {
    const megabytes = (sizes) => Object.values(sizes).reduce((a, b) => a + b, 0) / 1e6;
    const line = document.getElementById('start-line');
    const received = megabytes(progress.received).toFixed(1);
    // A server that compresses as it sends gives no length, or the compressed one: the total is
    // then unknown.
    const sized = Object.keys(progress.total).every((name) =>
      progress.total[name] > 0 && progress.received[name] <= progress.total[name]);
    if (state.state === 'loading') {
      line.textContent = sized ? `loading ${received} of ${megabytes(progress.total).toFixed(1)} MB`
        : `loading ${received} MB`;
    }
  }
  function download(name) {
    return fetch(name).catch(() => {
      throw new Error(`Could not load ${name} (network error): check the connection and reload.`);
    }).then((response) => {
      if (!response.ok) {
        throw new Error(`Could not load ${name} (${response.status} ${response.statusText}): ` +
          'the page\'s folder is incomplete.');
      }
      progress.total[name] = Number(response.headers.get('Content-Length')) || 0;
      progress.received[name] = 0;
      const reader = response.body.getReader();
      const chunks = [];
      const read = () => reader.read().then(({ done, value }) => {
        if (done) return new Blob(chunks).arrayBuffer();
        chunks.push(value);
        progress.received[name] += value.length;
        showProgress();
        return read();
      });
      return read().catch((error) => {
        throw new Error(`Could not load ${name} (${error.message || 'network error'}): ` +
          'check the connection and reload.');
      });
    });
  }

  // The music may be missing: the demo then plays silently and says so on its cards.
  function noMusic(why) {
    const notice = document.getElementById('notice');
    notice.textContent = `No music (${why}): the demo plays silently.`;
    notice.hidden = false;
    return null;
  }
  function loadMusic() {
    const inlineMusic = inlineBytes('heptad-music');
    if (inlineMusic) return Promise.resolve(new Blob([inlineMusic], { type: 'audio/ogg' }));
    return download('demotune.mp3')
      .then((bytes) => new Blob([bytes], { type: 'audio/mpeg' }))
      .catch((error) => noMusic(error.message.replace(/^Could not load (\S+) \(([^)]*)\).*/,
        '$1: $2')));
  }

  // The program's code and data, once for every play.
  function loadAssets() {
    const wasm = inlineBytes('heptad-wasm');
    if (wasm) return Promise.resolve({ wasm: wasm, data: inlineBytes('heptad-data') });
    if (location.protocol === 'file:') {
      return Promise.reject(new Error('This page cannot load its files from the file system: ' +
        'open heptad.html instead, or serve this folder (python3 -m http.server, then open ' +
        'http://localhost:8000/).'));
    }
    if (typeof createHeptad !== 'function') {
      return Promise.reject(new Error('Could not load heptad.js: the page\'s folder is incomplete.'));
    }
    return Promise.all([download('heptad.wasm'), download('heptad.data')])
      .then(([code, data]) => ({ wasm: code, data: data }));
  }
  let assets = null;

  // A fresh instance of the program for every play, on a fresh canvas.
  function loadDemo() {
    const stage = document.getElementById('stage');
    stage.textContent = '';
    const canvas = document.createElement('canvas');
    canvas.width = 1920;
    canvas.height = 1080;
    stage.appendChild(canvas);
    return createHeptad({
      canvas: canvas,
      wasmBinary: assets.wasm,
      getPreloadedPackage: () => assets.data.slice(0),
      print: (text) => console.log(text),
      printErr: (text) => console.error(text),
      startMusic: startMusic,
      pauseMusic: () => music.pause(),
      resumeMusic: () => {
        if (music.src) music.play().catch((error) => console.warn('music did not resume: ' + error.message));
      },
      seekMusic: (seconds) => { if (music.src) music.currentTime = seconds; },
      report: report,
      showStill: showStill,
      showEnd: showEnd,
      showFailure: showFailure,
    }).then((instance) => {
      demo = instance;
      player.loaded(instance);
      return instance;
    });
  }

  function play() {
    clickedAt = performance.now();
    state.frames = 0;
    state.gentleFrames = 0;
    state.firstFrameTime = null;
    state.musicStartDemo = null;
    startCard.hidden = true;
    endCard.hidden = true;
    setState('starting');
    document.documentElement.requestFullscreen().catch(() => {});
    demo.callMain(programArguments());
    player.started(demo);
  }

  // Leaving fullscreen (the browser's use of Escape) keeps the demo playing in the page; Escape
  // outside fullscreen ends it, in the program.
  function playAgain() {
    endCard.hidden = true;
    setState('loading');
    return loadDemo().then(play);
  }
  document.getElementById('again').addEventListener('click', playAgain);

  const loaded = loadAssets().then((loadedAssets) => { assets = loadedAssets; });
  const fail = (error) => showFailure(error.message || String(error));
  if (params.has('still') || params.has('bench')) {
    startCard.hidden = true;
    loaded.then(loadDemo).then((instance) => {
      // Tests may change the data package first, to see a fault caught.
      if (window.heptadBeforeMain) window.heptadBeforeMain(instance.FS);
      instance.callMain(programArguments());
    }).catch(fail);
  } else {
    // The music is held whole (4 MB, while the data package loads) so that it can be moved on
    // any host: a server without range requests, such as python's, allows no seeking in a
    // stream.
    const musicLoaded = loadMusic().then((blob) => {
      if (blob) music.src = URL.createObjectURL(blob);
    });
    Promise.all([loaded.then(loadDemo), musicLoaded]).then(([instance]) => {
      // The start card shows the title's own logo, from the data package.
      const logo = instance.FS.readFile('imgs/logo.png');
      document.getElementById('logo').src = URL.createObjectURL(new Blob([logo], { type: 'image/png' }));
      document.getElementById('start-line').textContent = 'click to play';
      setState('ready');
      startCard.addEventListener('click', play, { once: true });
    }).catch(fail);
  }
})();
