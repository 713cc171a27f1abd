'use strict';
// The page as a player, around the program's own transport (edit mode's keys and rules, in the
// program: Space, the arrows, Shift+arrows, comma, period, Page Up, Page Down, Home). Here: the
// bar along the bottom (play/pause, the time, a scrub bar marked at each scene change, mute and
// volume, fullscreen), shown while the pointer moves; the page's keys F (fullscreen), M (mute)
// and H (the bar); links to a moment (#t=129, and the paused position written back there); and
// window.heptad's media-element-like API: currentTime, duration, paused, play(), pause() and the
// events timeupdate, play, pause and ended.
// page.js makes one with the page's hooks: playAgain() starts a fresh run.
function heptadPlayer(api, music, hooks) {
  const $ = (id) => document.getElementById(id);
  const bar = $('player');
  const toggle = $('player-play');
  const clock = $('player-time');
  const track = $('player-track');
  const fill = $('player-fill');
  const mute = $('player-mute');
  const volume = $('player-volume');
  let demo = null; // the program while it runs: from the click to the end card
  let duration = NaN;
  let startAt = 0;
  let paused = false;
  let lastUpdate = -Infinity;
  let barWanted = true;
  let hideTimer = 0;
  let dragging = false;

  const clampTime = (t) => Math.max(0, Math.min(Number(t) || 0, isNaN(duration) ? 164 : duration));
  const minutes = (t) => `${Math.floor(t / 60)}:${String(Math.floor(t % 60)).padStart(2, '0')}`;
  const emit = (name) => api.dispatchEvent(new Event(name));

  // #t=129, #t=131.88 or #t=2:09.
  function fragmentTime() {
    const match = /^#t=(?:(\d+):)?(\d+(?:\.\d*)?)$/.exec(location.hash);
    return match ? (match[1] ? 60 * Number(match[1]) : 0) + Number(match[2]) : 0;
  }
  function setStart(t) {
    startAt = clampTime(t);
    $('start-from').textContent = `from ${minutes(startAt)}`;
    $('start-from').hidden = startAt <= 0;
  }
  setStart(fragmentTime());

  // Paused, the address holds the position, so that copying it shares the moment.
  function writeFragment(t) {
    const hash = `#t=${Number(t.toFixed(2))}`;
    if (location.hash === hash) return;
    try {
      history.replaceState(null, '', hash);
    } catch (error) {
      location.replace(hash); // where a file:// page may not rewrite its own history
    }
  }

  function update(force) {
    // The program holds its clock until its first frame.
    if (!demo || api.frames === 0) return;
    const t = demo._heptadDemoSeconds();
    const nowPaused = demo._heptadPaused() !== 0;
    if (nowPaused !== paused) {
      paused = nowPaused;
      toggle.textContent = paused ? '\u25b6' : '\u275a\u275a';
      emit(paused ? 'pause' : 'play');
    }
    if (paused) writeFragment(t);
    clock.textContent = `${minutes(t)} / ${minutes(duration)}`;
    fill.style.width = `${(100 * t) / duration}%`;
    const now = performance.now();
    if (force || now - lastUpdate >= 250) {
      lastUpdate = now;
      emit('timeupdate');
    }
  }
  function tick() {
    if (!demo) return;
    update(false);
    requestAnimationFrame(tick);
  }

  function setPaused(on) {
    if (demo) demo._heptadSetPaused(on ? 1 : 0);
    update(true);
  }
  function seek(t) {
    if (demo) demo._heptadSeek(clampTime(t));
    update(true);
  }

  // The bar: shown by a move or a touch, hidden after three seconds of stillness unless the
  // pointer rests on it or drags the scrub bar. H hides it until H shows it again.
  function showBar() {
    if (!demo || !barWanted) return;
    bar.hidden = false;
    document.body.classList.add('controls');
    clearTimeout(hideTimer);
    hideTimer = setTimeout(() => {
      if (dragging || bar.matches(':hover')) showBar();
      else hideBar();
    }, 3000);
  }
  function hideBar() {
    bar.hidden = true;
    document.body.classList.remove('controls');
  }
  for (const name of ['pointermove', 'pointerdown', 'touchstart']) {
    document.addEventListener(name, showBar, { passive: true });
  }

  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else document.documentElement.requestFullscreen().catch(() => {});
  }
  function toggleMute() {
    music.muted = !music.muted;
    mute.textContent = music.muted ? 'unmute' : 'mute';
  }

  // The scrub bar seeks while it is dragged, at most once an animation frame.
  let pendingSeek = null;
  function scrubTo(event) {
    const box = track.getBoundingClientRect();
    pendingSeek = (duration * (event.clientX - box.left)) / box.width;
    requestAnimationFrame(() => {
      if (pendingSeek !== null) seek(pendingSeek);
      pendingSeek = null;
    });
  }
  track.addEventListener('pointerdown', (event) => {
    dragging = true;
    track.setPointerCapture(event.pointerId);
    scrubTo(event);
  });
  track.addEventListener('pointermove', (event) => { if (dragging) scrubTo(event); });
  track.addEventListener('pointerup', () => { dragging = false; });
  track.addEventListener('pointercancel', () => { dragging = false; });

  toggle.addEventListener('click', () => setPaused(!paused));
  mute.addEventListener('click', toggleMute);
  volume.addEventListener('input', () => { music.volume = Number(volume.value); });
  $('player-fullscreen').addEventListener('click', toggleFullscreen);
  // The bar's controls give the focus back: Space and the arrows belong to the transport.
  bar.addEventListener('pointerup', () => document.activeElement.blur());

  document.addEventListener('keydown', (event) => {
    if (!demo || event.ctrlKey || event.altKey || event.metaKey) return;
    const key = event.key.toLowerCase();
    if (key === 'f') toggleFullscreen();
    else if (key === 'm') toggleMute();
    else if (key === 'h') {
      barWanted = !barWanted;
      if (barWanted) showBar();
      else hideBar();
    }
  });

  Object.defineProperties(api, {
    currentTime: {
      get: () => (demo ? demo._heptadDemoSeconds() : startAt),
      // Before the click it sets where the click starts.
      set: (t) => (demo ? seek(t) : setStart(t)),
    },
    duration: { get: () => duration },
    paused: { get: () => (demo ? demo._heptadPaused() !== 0 : true) },
  });
  // As a media element under autoplay rules: nothing plays before the viewer's click.
  api.play = () => {
    if (api.state === 'ended') return hooks.playAgain();
    if (!demo) {
      return Promise.reject(new DOMException('Heptad plays after a click on the page.',
        'NotAllowedError'));
    }
    setPaused(false);
    return Promise.resolve();
  };
  api.pause = () => setPaused(true);

  return {
    // The program is loaded: its length and the scenes' starts mark the scrub bar.
    loaded(instance) {
      duration = instance._heptadDuration();
      setStart(startAt);
      track.querySelectorAll('.mark').forEach((mark) => mark.remove());
      for (let i = 1, t; (t = instance._heptadSceneStart(i)) >= 0; ++i) {
        const mark = document.createElement('span');
        mark.className = 'mark';
        mark.style.left = `${(100 * t) / duration}%`;
        track.appendChild(mark);
      }
    },
    // Called right after main, before the first frame: the start goes where the link said.
    started(instance) {
      demo = instance;
      paused = false;
      toggle.textContent = '\u275a\u275a';
      if (startAt > 0) demo._heptadSeek(startAt);
      emit('play');
      tick();
    },
    ended() {
      if (!demo) return;
      update(true);
      demo = null;
      setStart(0);
      hideBar();
      emit('ended');
    },
  };
}
