'use strict';
// The page around the browser build: the start card (browsers allow sound only after a click),
// the demo's canvas, its music, the end card, and what tests read back from window.heptad.
// Address parameters: size=WxH, speed=X, still=T, glcheck, bench=N (see web_options.h).
(function () {
  const params = new URLSearchParams(location.search);
  const music = document.getElementById('music');
  const startCard = document.getElementById('start');
  const endCard = document.getElementById('end');
  const state = (window.heptad = {
    state: 'loading', frames: 0, firstFrameMs: null, glErrors: 0, glErrorsByScene: {},
    sceneFrames: {}, bench: {}, still: null, musicStartDemo: null,
  });
  let demo = null;
  let clickedAt = 0;

  function setState(name) {
    state.state = name;
    document.body.dataset.state = name;
  }

  function programArguments() {
    const args = [];
    for (const name of ['size', 'speed', 'still', 'bench']) {
      if (params.has(name)) args.push('--' + name, params.get(name));
    }
    if (params.has('glcheck')) args.push('--glcheck');
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
  // Where the music should be: the demo's time since its first frame.
  state.demoSinceMusic = () => demoSeconds() - state.musicStartDemo;

  // The music plays from the demo's first frame; its position is the demo time since then.
  function startMusic(path) {
    state.musicStartDemo = demoSeconds();
    music.currentTime = 0;
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
        setState('playing');
      }
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
  }

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
      print: (text) => console.log(text),
      printErr: (text) => console.error(text),
      startMusic: startMusic,
      report: report,
      showStill: showStill,
      showEnd: showEnd,
      showFailure: showFailure,
    }).then((instance) => {
      demo = instance;
      return instance;
    });
  }

  function play() {
    clickedAt = performance.now();
    state.frames = 0;
    state.musicStartDemo = null;
    startCard.hidden = true;
    endCard.hidden = true;
    setState('starting');
    document.documentElement.requestFullscreen().catch(() => {});
    demo.callMain(programArguments());
  }

  // Leaving fullscreen is the browser's use of Escape: it ends the demo, as Escape does.
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement && state.state === 'playing') demo._heptadRequestClose();
  });

  document.getElementById('again').addEventListener('click', () => {
    endCard.hidden = true;
    setState('loading');
    loadDemo().then(play);
  });

  if (params.has('still') || params.has('bench')) {
    startCard.hidden = true;
    loadDemo().then((instance) => {
      // Tests may change the data package first, to see a fault caught.
      if (window.heptadBeforeMain) window.heptadBeforeMain(instance.FS);
      instance.callMain(programArguments());
    });
  } else {
    // The music is fetched whole (4 MB, while the data package loads) so that it can be moved
    // on any host: a server without range requests, such as python's, allows no seeking in a
    // stream.
    const musicLoaded = fetch('demotune.mp3')
      .then((response) => response.blob())
      .then((blob) => { music.src = URL.createObjectURL(blob); });
    Promise.all([loadDemo(), musicLoaded]).then(([instance]) => {
      // The start card shows the title's own logo, from the data package.
      const logo = instance.FS.readFile('imgs/logo.png');
      document.getElementById('logo').src = URL.createObjectURL(new Blob([logo], { type: 'image/png' }));
      document.getElementById('start-line').textContent = 'click to play';
      setState('ready');
      startCard.addEventListener('click', play, { once: true });
    });
  }
})();
