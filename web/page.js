// The page around the game: loads it (saying in plain words what is wrong
// when it cannot), paints its frames on the canvas, hands it the keyboard,
// gamepads and the touch controls as the game's own keys, scales the
// picture to the screen and switches to the browser's full screen when the
// game asks. The game itself is kestravale.js/.wasm/.data, built from the same
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

  // --- What holds each of the game's keys ---
  // The keyboard, every gamepad and every finger on the touch controls hold
  // keys; the game sees a key down while anything holds it. A touch or a pad
  // that lets go of a key in the very pass it pressed it keeps it one pass
  // more, so that the game sees every press (the keyboard's stay as they are).
  const holders = new Map();  // SDL key code: the set of what holds it
  const pressedInPass = new Map();  // SDL key code: the pass its press was sent in
  const lateReleases = new Set();
  let pass = 0;  // the key table's updates so far (kvPoll)
  let ready = false;

  function sendKey(sym, down) {
    if (ready) Module._kv_web_key(sym, down ? 1 : 0);
  }
  function hold(who, sym, down) {
    let by = holders.get(sym);
    if (!by) holders.set(sym, (by = new Set()));
    const was = by.size > 0;
    if (down) by.add(who);
    else by.delete(who);
    if (was === by.size > 0) return;
    if (down) {
      if (lateReleases.delete(sym)) return;  // its release has not gone yet
      pressedInPass.set(sym, pass);
      sendKey(sym, true);
    } else if (pressedInPass.get(sym) === pass && !who.startsWith('key:')) {
      lateReleases.add(sym);
    } else {
      sendKey(sym, false);
    }
  }
  // Lets go of everything one holder holds, or everything held at all.
  function letGo(who) {
    for (const [sym, by] of holders)
      for (const w of by) if (who === undefined || w === who) hold(w, sym, false);
  }

  // --- The keyboard ---
  let swallowed = null;  // the key that took the start overlay away

  window.addEventListener('keydown', (e) => {
    if (keptKeys.has(e.code)) e.preventDefault();
    if (!overlay.hidden) {
      start();
      swallowed = e.code;
      return;
    }
    if (e.repeat || keyCodes[e.code] === undefined) return;
    hold('key:' + e.code, keyCodes[e.code], true);
  });
  window.addEventListener('keyup', (e) => {
    if (keptKeys.has(e.code)) e.preventDefault();
    if (e.code === swallowed) { swallowed = null; return; }
    if (keyCodes[e.code] !== undefined) hold('key:' + e.code, keyCodes[e.code], false);
  });
  // Keys held when the page loses the focus or is hidden would never come up.

  // --- Gamepads (the standard mapping), read once a pass ---
  // The d-pad or the left stick walk (and choose in the menu); A / Cross
  // jumps, X / Square fires, Start is Enter, Back / Select is Escape.
  const padButtons = [[0, 308], [2, 32], [9, 13], [8, 27], [12, 273], [13, 274], [14, 276], [15, 275]];
  const padsSeen = new Set();
  // A browser makes a gamepad known with this event, at its first press;
  // until then the pads are not read, which costs a slow phone a tenth of a
  // pass.
  let padsKnown = false;
  window.addEventListener('gamepadconnected', () => { padsKnown = true; });
  function padKeys(pad) {
    const keys = new Set();
    const b = pad.buttons || [], axes = pad.axes || [];
    for (const [i, sym] of padButtons) {
      const button = b[i];
      if (button && (button.pressed === true || Number(button.value) >= 0.5)) keys.add(sym);
    }
    const x = Number(axes[0]), y = Number(axes[1]);
    if (x <= -0.5) keys.add(276);
    if (x >= 0.5) keys.add(275);
    if (y <= -0.5) keys.add(273);
    if (y >= 0.5) keys.add(274);
    return keys;
  }
  function pollPads() {
    let pads = [];
    try {
      if (padsKnown && !document.hidden && navigator.getGamepads) pads = Array.from(navigator.getGamepads() || []);
    } catch (e) {
      pads = [];
    }
    const now = new Set();
    pads.forEach((pad, i) => {
      if (!pad || pad.connected === false) return;
      const who = 'pad:' + i;
      let keys;
      try {
        keys = padKeys(pad);
      } catch (e) {
        keys = new Set();
      }
      now.add(who);
      for (const [, sym] of padButtons) hold(who, sym, keys.has(sym));
    });
    for (const who of padsSeen) if (!now.has(who)) letGo(who);
    padsSeen.clear();
    for (const who of now) padsSeen.add(who);
  }
  window.addEventListener('gamepaddisconnected', (e) => {
    const who = 'pad:' + (e.gamepad ? e.gamepad.index : '');
    letGo(who);
    padsSeen.delete(who);
  });
  function poll() {
    pass++;
    for (const sym of lateReleases)
      if (pressedInPass.get(sym) < pass - 1) {
        lateReleases.delete(sym);
        sendKey(sym, false);
      }
    pollPads();
  }

  // --- The touch controls ---
  // Each finger holds the control under it: sliding onto another control
  // moves the press there, sliding off or a cancelled touch lets go. The
  // picture itself is Space while touched (it fires and turns the help
  // pages) and Enter for one pass when the finger lifts (it chooses the
  // menu's entry).
  const touch = matchMedia('(pointer: coarse)').matches || 'ontouchstart' in window || navigator.maxTouchPoints > 0;
  document.documentElement.classList.toggle('touch', touch);
  if (touch) overlay.firstElementChild.textContent = 'Tap to start';
  const fingers = new Map();  // pointerId: the control it holds
  function keysOf(control) {
    return control === canvas ? [32] : control.dataset.keys.split(' ').map(Number);
  }
  function touchControl(id, control, lifted) {
    const old = fingers.get(id);
    if (old === control) return;
    if (old) {
      for (const sym of keysOf(old)) hold('finger:' + id, sym, false);
      old.classList.remove('held');
      if (old === canvas && lifted) pulse(13);
    }
    if (control) {
      fingers.set(id, control);
      for (const sym of keysOf(control)) hold('finger:' + id, sym, true);
      control.classList.add('held');
    } else {
      fingers.delete(id);
    }
  }
  function controlAt(x, y) {
    const el = document.elementFromPoint(x, y);
    return el && el.closest('button[data-keys]');
  }
  window.addEventListener('pointerdown', (e) => {
    const control = e.target.closest && e.target.closest('button[data-keys]');
    const picture = e.target === canvas && e.pointerType !== 'mouse';
    if (!control && !picture) return;
    e.preventDefault();
    if (e.target.hasPointerCapture && e.target.hasPointerCapture(e.pointerId)) e.target.releasePointerCapture(e.pointerId);
    touchControl(e.pointerId, control || canvas, false);
  });
  window.addEventListener('pointermove', (e) => {
    const old = fingers.get(e.pointerId);
    if (!old) return;
    const el = document.elementFromPoint(e.clientX, e.clientY);
    touchControl(e.pointerId, old === canvas ? (el === canvas ? canvas : null) : controlAt(e.clientX, e.clientY), false);
  });
  window.addEventListener('pointerup', (e) => touchControl(e.pointerId, null, true));
  window.addEventListener('pointercancel', (e) => touchControl(e.pointerId, null, false));
  window.addEventListener('contextmenu', (e) => { if (touch) e.preventDefault(); });
  function letGoOfFingers() {
    for (const id of Array.from(fingers.keys())) touchControl(id, null, false);
  }

  // A key pressed for one pass, as a quick press of it.
  function pulse(sym) {
    hold('pulse', sym, true);
    hold('pulse', sym, false);
  }

  function letGoOfEverything() {
    letGoOfFingers();
    letGo();
  }
  window.addEventListener('blur', letGoOfEverything);
  window.addEventListener('pagehide', letGoOfEverything);

  // --- The start gesture: browsers start sound only after one ---
  // The sound plays from then on unless it is muted or the page is hidden.
  const muteButton = document.getElementById('mute');
  let started = false, muted = false;
  function audioContext() {
    return (typeof SDL !== 'undefined' && SDL.audioContext) || null;
  }
  function soundOn() {
    const ctx = audioContext();
    if (!ctx || !started) return;
    const wanted = !muted && !document.hidden;
    if (wanted && ctx.state !== 'running') ctx.resume().catch(() => {});
    if (!wanted && ctx.state === 'running') ctx.suspend().catch(() => {});
  }
  function start() {
    overlay.hidden = true;
    started = true;
    soundOn();
    canvas.focus();
  }
  overlay.addEventListener('pointerdown', (e) => { e.preventDefault(); start(); });
  muteButton.addEventListener('click', () => {
    muted = !muted;
    muteButton.setAttribute('aria-pressed', String(muted));
    soundOn();
  });
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) letGoOfEverything();
    soundOn();
  });

  // --- Full screen ---
  // The button puts the page in the browser's full screen and out of it;
  // the game's keys 1 and 2 switch its own mode and ask the browser to
  // follow. Left by the browser's own means (Escape, the back gesture), the
  // game gets its key 2, held until it is back in its window.
  const fullScreenButton = document.getElementById('fullscreen');
  const fullScreenElement = touch ? document.documentElement : stage;
  let gameFullScreen = false;
  fullScreenButton.addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (fullScreenElement.requestFullscreen) fullScreenElement.requestFullscreen().catch(() => {});
  });
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement && gameFullScreen) hold('window', 50, true);
  });

  // --- Scale: whole numbers where the room allows ---
  // Else the largest size that fits, kept sharp. On a touch screen the
  // picture takes the screen's height in landscape, the d-pad at its left
  // and Fire and Jump over its score panel, under the thumbs; in portrait it
  // takes the screen's width, the controls below it.
  const THUMB_ROOM = 200;  // landscape: the room at the left of the picture
  const BELOW = 280;  // portrait: the room below the picture
  function layout() {
    const vv = touch && window.visualViewport;
    const vw = vv ? vv.width : window.innerWidth, vh = vv ? vv.height : window.innerHeight;
    const portrait = touch && vw <= vh;
    document.documentElement.classList.toggle('portrait', portrait);
    document.documentElement.classList.toggle('landscape', touch && !portrait);
    const full = !touch && document.fullscreenElement === stage;
    const availW = full ? vw : !touch ? vw - 32 : portrait ? vw : vw - THUMB_ROOM;
    const availH = full ? vh : !touch ? vh - 32 : portrait ? vh - BELOW : vh;
    const w = canvas.width, h = canvas.height;
    // The canvas holds the 320x200 picture in both of the game's modes; the
    // window's steps are its own 640x400, full screen's the picture's.
    const unit = gameFullScreen ? 1 : 2;
    const fit = Math.max(0.1, Math.min(availW / w, availH / h));
    const k = fit >= unit ? unit * Math.floor(fit / unit) : fit;
    canvas.style.width = w * k + 'px';
    canvas.style.height = h * k + 'px';
    const style = document.documentElement.style;
    style.setProperty('--picture-width', w * k + 'px');
    style.setProperty('--picture-height', h * k + 'px');
    style.setProperty('--thumb-room', THUMB_ROOM + 'px');
  }
  window.addEventListener('resize', layout);
  window.addEventListener('orientationchange', layout);
  if (window.visualViewport) window.visualViewport.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);

  // --- The frames: the newest one, once per display refresh ---
  // The game asks for the paint at the start of a frame wait (SDL_Delay), so
  // that it takes from the wait; a display refresh only marks it as due. If
  // the game has not waited for a few refreshes, the refresh paints.
  //
  // Where the browser has a GPU the GPU looks the colours up: the frame goes
  // up as its palette indices and the 256 colours as a second texture, so
  // the page's thread never turns the 640x400 picture into colours, which
  // costs a slow phone a millisecond a frame. Else the game converts it
  // (kv_web_frame_rgba) for a 2D canvas: a WebGL drawn in software costs
  // more than that (a third of the pace on a slow processor, measured in
  // headless Chromium), so it is not taken.
  const painter = glPainter(canvas) || canvasPainter(canvas);
  let paintedOnce = false, due = false, refreshesDue = 0;
  function paint() {
    due = false;
    refreshesDue = 0;
    if (!ready || !painter.paint()) return;
    if (!paintedOnce) {
      paintedOnce = true;
      performance.mark('kv-first-frame');
    }
  }
  // Sizes the canvas to the frame's; false when there is no frame.
  function frameSize() {
    const w = Module._kv_web_paint_width(), h = Module._kv_web_paint_height();
    if (!w || !h) return false;
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
      layout();
    }
    return true;
  }
  function canvasPainter(canvas) {
    const ctx2d = canvas.getContext('2d', { alpha: false });
    return {
      paint() {
        const ptr = Module._kv_web_frame_rgba();
        if (!ptr || !frameSize()) return false;
        const w = canvas.width, h = canvas.height;
        ctx2d.putImageData(new ImageData(new Uint8ClampedArray(Module.HEAPU8.buffer, ptr, w * h * 4), w, h), 0, 0);
        return true;
      },
    };
  }
  function glPainter(canvas) {
    // Tried first on a canvas of its own: a canvas that took a WebGL context
    // can no longer be a 2D one.
    const attributes = { alpha: false, antialias: false, depth: false, stencil: false, preserveDrawingBuffer: true,
                         failIfMajorPerformanceCaveat: true };
    const trial = document.createElement('canvas').getContext('webgl', attributes);
    if (!glProgram(trial) || softwareGl(trial)) return null;
    const gl = canvas.getContext('webgl', attributes);
    const program = glProgram(gl);
    if (!program) return null;
    const texture = (unit, name) => {
      gl.activeTexture(gl.TEXTURE0 + unit);
      gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
      for (const [k, v] of [[gl.TEXTURE_MIN_FILTER, gl.NEAREST], [gl.TEXTURE_MAG_FILTER, gl.NEAREST],
                            [gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE], [gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE]])
        gl.texParameteri(gl.TEXTURE_2D, k, v);
      gl.uniform1i(gl.getUniformLocation(program, name), unit);
    };
    texture(0, 'indices');
    texture(1, 'colors');
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
    return {
      paint() {
        const ptr = Module._kv_web_frame_indices();
        if (!ptr || !frameSize()) return false;
        const w = canvas.width, h = canvas.height, heap = Module.HEAPU8, colors = Module._kv_web_frame_colors();
        gl.viewport(0, 0, w, h);
        gl.activeTexture(gl.TEXTURE0);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.LUMINANCE, w, h, 0, gl.LUMINANCE, gl.UNSIGNED_BYTE, heap.subarray(ptr, ptr + w * h));
        gl.activeTexture(gl.TEXTURE1);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 256, 1, 0, gl.RGBA, gl.UNSIGNED_BYTE, heap.subarray(colors, colors + 1024));
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        return true;
      },
    };
  }
  // Whether WebGL is drawn by the processor (browsers name the renderer).
  function softwareGl(gl) {
    const info = gl.getExtension('WEBGL_debug_renderer_info');
    const renderer = info ? String(gl.getParameter(info.UNMASKED_RENDERER_WEBGL)) : '';
    return /swiftshader|llvmpipe|softpipe|software/i.test(renderer);
  }
  // One rectangle over the canvas; each pixel takes the colour its index
  // names, texel for texel.
  function glProgram(gl) {
    if (!gl) return null;
    const shader = (type, text) => {
      const s = gl.createShader(type);
      gl.shaderSource(s, text);
      gl.compileShader(s);
      return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, `
      attribute vec2 corner;
      varying vec2 at;
      void main() {
        at = vec2(corner.x + 1.0, 1.0 - corner.y) * 0.5;
        gl_Position = vec4(corner, 0.0, 1.0);
      }`));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER, `
      #ifdef GL_FRAGMENT_PRECISION_HIGH
      precision highp float;
      #else
      precision mediump float;
      #endif
      uniform sampler2D indices, colors;
      varying vec2 at;
      void main() {
        float index = floor(texture2D(indices, at).r * 255.0 + 0.5);
        gl_FragColor = texture2D(colors, vec2((index + 0.5) / 256.0, 0.5));
      }`));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return null;
    gl.useProgram(program);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    const corner = gl.getAttribLocation(program, 'corner');
    gl.enableVertexAttribArray(corner);
    gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);
    return program;
  }
  function refresh() {
    if (due && ++refreshesDue >= 3) paint();
    due = true;
    requestAnimationFrame(refresh);
  }

  // --- Loading, with plain words for what can go wrong ---
  // The game's three files download at once from the page's first moment
  // (its preload links), and the code is compiled as it arrives.
  // The bar counts their bytes against their sizes as built, which the build
  // writes into the page: a server that compresses them sends no length of
  // theirs. A download that gets no byte for Module.kvStallSeconds is named
  // as stalled, never left as a black page.
  const loading = document.getElementById('loading');
  const progress = document.getElementById('progress');
  const progressText = document.getElementById('progress-text');
  if (typeof WebAssembly !== 'object') {
    loading.hidden = true;
    say('This browser cannot run WebAssembly, which the game needs. ' +
        'Please open the page in a current version of Chromium, Firefox or Safari.');
    return;
  }
  if (typeof AudioContext === 'undefined' && typeof webkitAudioContext === 'undefined') {
    notice.textContent = 'This browser offers no Web Audio, so the game plays without sound.';
    notice.hidden = false;
  }

  const files = {};  // file name: { what, size (0: not known), got, done }
  const built = (loading.dataset.files || '').trim().split(/\s+/);
  for (let i = 0; i + 1 < built.length; i += 2) files[built[i]] = { size: Number(built[i + 1]) || 0 };
  function track(file, what) {
    const f = files[file] || (files[file] = { size: 0 });
    Object.assign(f, { what, got: 0, done: false });
    return f;
  }
  const megabytes = (n) => (n / 1e6).toFixed(1) + ' MB';
  const amount = (f) => megabytes(f.got) + (f.size ? ' of ' + megabytes(f.size) : '');
  function showProgress() {
    let got = 0, size = 0, known = true, done = true;
    for (const f of Object.values(files)) {
      got += f.got || 0;
      size += f.size;
      known = known && f.size > 0;
      done = done && f.done;
    }
    if (known) {
      progress.max = size;
      progress.value = got;
    } else {
      progress.removeAttribute('value');
    }
    progressText.textContent = done ? 'Starting the game\u2026'
      : `Loading the game: ${megabytes(got)}${known ? ' of ' + megabytes(size) : ''}`;
  }
  let failed = false;
  let lastByte = performance.now();
  const stop = new AbortController();
  function fail(text) {
    if (failed) return;
    failed = true;
    stop.abort();
    loading.hidden = true;
    say(text);
  }
  // Gone with the first frame painted.
  if (typeof PerformanceObserver === 'function') {
    new PerformanceObserver((list, observer) => {
      if (!list.getEntriesByName('kv-first-frame').length) return;
      loading.hidden = true;
      observer.disconnect();
    }).observe({ entryTypes: ['mark'] });
  }

  async function fetchFile(file, what) {
    const f = track(file, what);
    let response;
    try {
      response = await fetch(file, { signal: stop.signal });
    } catch (e) {
      throw new Error(`The ${what} (${file}) could not be fetched: the server did not answer.`);
    }
    if (!response.ok)
      throw new Error(`The ${what} (${file}) could not be loaded: the server answered ` +
                      `${response.status} ${response.statusText}. Is the web build complete?`);
    if (!f.size && !response.headers.get('Content-Encoding')) f.size = Number(response.headers.get('Content-Length')) || 0;
    return response;
  }
  // The whole body, counted as it arrives.
  async function readWhole(response, file) {
    const f = files[file];
    const chunks = [];
    const add = (chunk) => {
      chunks.push(chunk);
      f.got += chunk.length;
      lastByte = performance.now();
      showProgress();
    };
    try {
      if (!response.body) {
        add(new Uint8Array(await response.arrayBuffer()));
      } else {
        const reader = response.body.getReader();
        for (let r = await reader.read(); !r.done; r = await reader.read()) add(r.value);
      }
    } catch (e) {
      throw new Error(`The ${f.what} (${file}) broke off after ${amount(f)} (${e.message}). Reloading the ` +
                      'page tries again; if it breaks off again, the file on the server is damaged.');
    }
    f.done = true;
    showProgress();
    const whole = new Uint8Array(f.got);
    let at = 0;
    for (const chunk of chunks) {
      whole.set(chunk, at);
      at += chunk.length;
    }
    return whole;
  }

  // The game code with SIMD or without, as the page's head chose and preloads.
  const codeFile = window.kvCodeFile === 'kestravale-plain.wasm' && files[window.kvCodeFile]
    ? window.kvCodeFile : 'kestravale.wasm';
  delete files[codeFile === 'kestravale.wasm' ? 'kestravale-plain.wasm' : 'kestravale.wasm'];
  // The code is compiled while it downloads where the browser can (a server
  // that calls it anything but application/wasm makes the browser refuse
  // that), else from its bytes once they are all here.
  async function gameCode() {
    const file = codeFile;
    const response = await fetchFile(file, 'game code');
    const streamed = WebAssembly.compileStreaming && response.body
      ? WebAssembly.compileStreaming(response.clone()).catch(() => null) : Promise.resolve(null);
    const bytes = await readWhole(response, file);
    const module = await streamed;
    if (module) return module;
    try {
      return await WebAssembly.compile(bytes);
    } catch (e) {
      throw new Error(`The game code (${file}) is damaged: the browser cannot compile it (${e.message}). ` +
                      'Is the web build complete?');
    }
  }
  async function gameData() {
    const file = 'kestravale.data';
    return readWhole(await fetchFile(file, 'game data'), file);
  }
  const code = gameCode(), data = gameData();
  code.catch((e) => fail(e.message));
  data.catch((e) => fail(e.message));
  // The script comes after the page's own scripts, whatever they set up.
  const script = track('kestravale.js', 'game script');
  function addScript() {
    const element = document.createElement('script');
    element.src = 'kestravale.js';
    element.onload = () => {
      const entry = performance.getEntriesByName(element.src)[0];
      script.got = script.size || (entry && entry.decodedBodySize) || 0;
      script.size = script.got;
      script.done = true;
      lastByte = performance.now();
      showProgress();
    };
    element.onerror = () => fail('The game script (kestravale.js) could not be loaded. Is the web build complete?');
    document.body.appendChild(element);
    requestAnimationFrame(refresh);
  }
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', addScript);
  else addScript();
  showProgress();

  const watch = setInterval(() => {
    const waiting = Object.entries(files).filter(([, f]) => !f.done);
    if (failed || !waiting.length) {
      clearInterval(watch);
      return;
    }
    const limit = Number(Module.kvStallSeconds) || 15;
    if (performance.now() - lastByte < limit * 1000) return;
    const which = waiting.map(([file, f]) => `the ${f.what} (${file}, ${amount(f)} so far)`);
    const seconds = `${limit} second${limit === 1 ? '' : 's'}`;
    fail(`The download stopped: nothing of ${which.join(' and ')} came for ${seconds}. The connection may ` +
         'have dropped, or the server stopped answering. Check the connection and reload the page to try again.');
  }, 250);

  // A browser's first audio context takes it a moment to make (its audio
  // service starts, a third of a second here): it is made while the game
  // downloads, and handed to the game's SDL audio before the game starts.
  let earlyAudio = null;
  try {
    earlyAudio = new (window.AudioContext || window.webkitAudioContext)();
  } catch (e) {
    earlyAudio = null;
  }

  // The data the game's file package asks for, filled in when it is here.
  let packageBuffer = null;
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
      gameFullScreen = !!fullScreen;
      layout();
      if (!fullScreen) hold('window', 50, false);
      if (fullScreen && !document.fullscreenElement && fullScreenElement.requestFullscreen)
        fullScreenElement.requestFullscreen().catch(() => {});
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
    kvPoll: poll,
    kvEnded: () => say('The game has ended. Reload the page to play again.'),
    kvStallSeconds: 15,
    getPreloadedPackage: (name, size) => (packageBuffer = new ArrayBuffer(size)),
    // The game starts once its code and data are both here.
    instantiateWasm: (imports, done) => {
      Promise.all([code, data])
        .then(async ([module, bytes]) => {
          if (!packageBuffer || bytes.length !== packageBuffer.byteLength)
            throw new Error(`The game data (kestravale.data) arrived incomplete: ${bytes.length} bytes ` +
                            `where the game script expects ${packageBuffer ? packageBuffer.byteLength : 'its own'}. ` +
                            'Reloading the page tries again; if it happens again, the files on the server ' +
                            'do not belong together or are damaged.');
          new Uint8Array(packageBuffer).set(bytes);
          performance.mark('kv-fetched');
          let instance;
          try {
            instance = await WebAssembly.instantiate(module, imports);
          } catch (e) {
            throw new Error(`The game code (${codeFile}) does not fit the game script (kestravale.js): ` +
                            `${e.message}. Is the web build complete?`);
          }
          done(instance, module);
        })
        .catch((e) => fail(e.message));
      return {};
    },
  };

  layout();
})();
