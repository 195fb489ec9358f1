// The page around the game: loads it (saying in plain words what is wrong
// when it cannot), paints its frames on the canvas, hands it the keyboard,
// scales the picture and switches to the browser's full screen when the game
// asks. The game itself is kestravale.js/.wasm/.data, built from the same
// sources and data as the desktop game.
'use strict';

(function () {
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('screen');
  const overlay = document.getElementById('overlay');
  const message = document.getElementById('message');
  const notice = document.getElementById('notice');

  function say(text) {
    message.textContent = text;
    message.hidden = false;
    overlay.hidden = true;
  }

  // --- Keys: DOM key codes to SDL 1.2 key codes ---
  const keyCodes = {
    ArrowUp: 273, ArrowDown: 274, ArrowRight: 275, ArrowLeft: 276,
    Enter: 13, NumpadEnter: 271, Escape: 27, Space: 32, Tab: 9, Backspace: 8, Delete: 127,
    Insert: 277, Home: 278, End: 279, PageUp: 280, PageDown: 281,
    ShiftRight: 303, ShiftLeft: 304, ControlRight: 305, ControlLeft: 306, AltRight: 307, AltLeft: 308,
  };
  for (let i = 0; i <= 9; i++) keyCodes['Digit' + i] = 48 + i;
  for (let i = 0; i < 26; i++) keyCodes['Key' + String.fromCharCode(65 + i)] = 97 + i;
  for (let i = 1; i <= 12; i++) keyCodes['F' + i] = 281 + i;
  // Keys the page would otherwise use to scroll or move the focus.
  const keptKeys = new Set(['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Space', 'Enter',
                            'NumpadEnter', 'Escape', 'AltLeft', 'AltRight']);

  const held = new Set();
  let swallowed = null;  // the key that took the start overlay away
  let ready = false;

  function send(code, down) {
    if (ready && keyCodes[code] !== undefined) Module._kv_web_key(keyCodes[code], down ? 1 : 0);
  }

  window.addEventListener('keydown', (e) => {
    if (keptKeys.has(e.code)) e.preventDefault();
    if (!overlay.hidden) {
      start();
      swallowed = e.code;
      return;
    }
    if (e.repeat || held.has(e.code)) return;
    held.add(e.code);
    send(e.code, true);
  });
  window.addEventListener('keyup', (e) => {
    if (keptKeys.has(e.code)) e.preventDefault();
    if (e.code === swallowed) { swallowed = null; return; }
    if (!held.delete(e.code)) return;
    send(e.code, false);
  });
  // Keys held when the page loses the focus would never come up.
  window.addEventListener('blur', () => {
    for (const code of held) send(code, false);
    held.clear();
  });

  // --- The start gesture: browsers start sound only after one ---
  function audioContext() {
    return (typeof SDL !== 'undefined' && SDL.audioContext) || null;
  }
  function start() {
    overlay.hidden = true;
    const ctx = audioContext();
    if (ctx && ctx.state !== 'running') ctx.resume().catch(() => {});
    canvas.focus();
  }
  overlay.addEventListener('pointerdown', (e) => { e.preventDefault(); start(); });

  // --- Scale: whole numbers where the window allows ---
  function layout() {
    const full = document.fullscreenElement === stage;
    const w = canvas.width, h = canvas.height;
    const availW = full ? window.innerWidth : window.innerWidth - 32;
    const availH = full ? window.innerHeight : window.innerHeight - 32;
    const fit = Math.min(availW / w, availH / h);
    const k = fit >= 1 ? Math.floor(fit) : fit;
    canvas.style.width = w * k + 'px';
    canvas.style.height = h * k + 'px';
  }
  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);

  // --- The frames: the newest one, once per display refresh ---
  // The game asks for the paint at the start of a frame wait (SDL_Delay), so
  // that it takes from the wait; a display refresh only marks it as due. If
  // the game has not waited for a few refreshes, the refresh paints.
  const ctx2d = canvas.getContext('2d', { alpha: false });
  let paintedOnce = false, due = false, refreshesDue = 0;
  function paint() {
    const ptr = ready ? Module._kv_web_frame_rgba() : 0;
    due = false;
    refreshesDue = 0;
    if (!ptr) return;
    const w = Module._kv_web_frame_width(), h = Module._kv_web_frame_height();
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
      layout();
    }
    ctx2d.putImageData(new ImageData(new Uint8ClampedArray(Module.HEAPU8.buffer, ptr, w * h * 4), w, h), 0, 0);
    if (!paintedOnce) {
      paintedOnce = true;
      performance.mark('kv-first-frame');
    }
  }
  function refresh() {
    if (due && ++refreshesDue >= 3) paint();
    due = true;
    requestAnimationFrame(refresh);
  }

  // --- Loading, with plain words for what can go wrong ---
  if (typeof WebAssembly !== 'object') {
    say('This browser cannot run WebAssembly, which the game needs. ' +
        'Please open the page in a current version of Chromium, Firefox or Safari.');
    return;
  }
  if (typeof AudioContext === 'undefined' && typeof webkitAudioContext === 'undefined') {
    notice.textContent = 'This browser offers no Web Audio, so the game plays without sound.';
    notice.hidden = false;
  }

  async function fetchWhole(file, what) {
    let response;
    try {
      response = await fetch(file);
    } catch (e) {
      throw new Error(`The ${what} (${file}) could not be fetched: the server did not answer.`);
    }
    if (!response.ok)
      throw new Error(`The ${what} (${file}) could not be loaded: the server answered ` +
                      `${response.status} ${response.statusText}. Is the web build complete?`);
    return response.arrayBuffer();
  }

  // The game's code and data download from now on.
  const downloads = Promise.all([fetchWhole('kestravale.wasm', 'game code'), fetchWhole('kestravale.data', 'game data')]);

  // A browser's first audio context takes it a moment to make (its audio
  // service starts, a third of a second here): it is made while the game
  // downloads, and handed to the game's SDL audio before the game starts.
  let earlyAudio = null;
  try {
    earlyAudio = new (window.AudioContext || window.webkitAudioContext)();
  } catch (e) {
    earlyAudio = null;
  }

  let lastLine = '';
  window.Module = {
    arguments: [],
    canvas,
    print: (text) => console.log(text),
    // The game's lines on stderr (a damaged file, no sound) are shown beside
    // the picture; when the game then stops, the last one says why.
    printErr: (text) => {
      console.warn(text);
      if (!/^kestravale: /.test(text)) return;
      lastLine = text.replace(/^kestravale: /, '');
      notice.textContent += (notice.textContent ? ' ' : '') + 'The game says: ' + lastLine + '.';
      notice.hidden = false;
    },
    quit: (status, toThrow) => {
      if (status) say('The game stopped' + (lastLine ? ': ' + lastLine : '.'));
      throw toThrow;
    },
    onAbort: (what) => say('The game stopped because of an internal error (' + what + '). Reloading the page starts it again.'),
    preRun: [() => {
      if (earlyAudio && typeof SDL !== 'undefined' && !SDL.audioContext) SDL.audioContext = earlyAudio;
    }],
    onRuntimeInitialized: () => {
      performance.mark('kv-runtime');
      ready = true;
    },
    kvSetMode: (w, h, fullScreen) => {
      canvas.width = w;
      canvas.height = h;
      layout();
      if (fullScreen && !document.fullscreenElement && stage.requestFullscreen)
        stage.requestFullscreen().catch(() => {});
      if (!fullScreen && document.fullscreenElement) document.exitFullscreen().catch(() => {});
    },
    kvShowPointer: (show) => { canvas.style.cursor = show ? '' : 'none'; },
    kvSetIcon: (heap, pixels, w, h, pitch, colors, ncolors) => {
      const icon = document.createElement('canvas');
      icon.width = w;
      icon.height = h;
      const c = icon.getContext('2d'), img = c.createImageData(w, h);
      for (let y = 0; y < h; y++)
        for (let x = 0; x < w; x++) {
          const i = Math.min(heap[pixels + y * pitch + x], ncolors - 1), o = 4 * (y * w + x);
          img.data.set([heap[colors + 4 * i], heap[colors + 4 * i + 1], heap[colors + 4 * i + 2], 255], o);
        }
      c.putImageData(img, 0, 0);
      const link = document.createElement('link');
      link.rel = 'icon';
      link.href = icon.toDataURL();
      document.head.appendChild(link);
    },
    kvPaint: () => { if (due) paint(); },
    kvEnded: () => say('The game has ended. Reload the page to play again.'),
  };

  downloads
    .then(([wasm, data]) => {
      performance.mark('kv-fetched');
      Module.wasmBinary = wasm;
      Module.getPreloadedPackage = () => data;
      const script = document.createElement('script');
      script.src = 'kestravale.js';
      script.onerror = () => say('The game script (kestravale.js) could not be loaded. Is the web build complete?');
      document.body.appendChild(script);
      requestAnimationFrame(refresh);
    })
    .catch((e) => say(e.message));

  layout();
})();
