// The browser test's view into the game (tests/web/browser_test.mjs), in the
// test build only: scripts/web-build.sh --test loads it after page.js, before
// the game itself starts, with the game built with web/hooks.cpp. It gives
// the test window.kvTest, and may have the game play a demo
// (window.kvDemo, tests/replays) as fast as it goes, with the game's own
// --timedemo, or at its pace (kvDemo.paced: --playdemo), on a custom level
// when kvDemo.map holds one, and watch it.
// ?hold=N in the address holds the game at its Nth frame; ?stall=S calls a
// download stalled after S seconds without a byte, not the page's 15.
'use strict';

(function () {
  const canvas = document.getElementById('screen');
  const overlay = document.getElementById('overlay');
  const message = document.getElementById('message');
  const notice = document.getElementById('notice');
  const Module = window.Module;  // none when the browser cannot run the game
  const demo = window.kvDemo || null;
  const captured = {};
  let ready = false;

  if (Module) {
    const stall = Number(new URLSearchParams(location.search).get('stall'));
    if (stall > 0) Module.kvStallSeconds = stall;
    if (demo) {
      Module.arguments = [demo.paced ? '--playdemo' : '--timedemo', '/' + demo.name];
      Module.preRun.push(() => FS.writeFile('/' + demo.name, demo.text));
      if (demo.map) {  // a run made on a custom level
        Module.arguments.unshift('--level', '/custom.lvl');
        Module.preRun.push(() => FS.writeFile('/custom.lvl', demo.map));
      }
    }
    const pageReady = Module.onRuntimeInitialized;
    Module.onRuntimeInitialized = () => {
      pageReady();
      ready = true;
      const hold = parseInt(new URLSearchParams(location.search).get('hold') || '0', 10);
      if (hold > 0) Module._kv_web_hold(hold, -1);
      if (demo) {
        const c = Module._malloc(4 * demo.captures.length + 4);
        Module.HEAP32.set(demo.captures, c >> 2);
        Module._kv_web_watch(c, demo.captures.length);
        Module._free(c);
      }
    };
    Module.kvCaptured = (pass, indices, w, h) => { captured[pass] = { w, h, indices }; };
  }

  function audioContext() {
    return (typeof SDL !== 'undefined' && SDL.audioContext) || null;
  }
  function base64(bytes) {
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s);
  }
  window.kvTest = {
    ready: () => ready,
    flips: () => Module._kv_web_flips(),
    painted: () => Module._kv_web_painted(),
    // How the page paints: 'webgl' or '2d'.
    painter: () => (canvas.getContext('webgl') ? 'webgl' : '2d'),
    screenWidth: () => Module._kv_web_frame_width(),
    mode: () => Module._kv_web_game_mode(),
    // The level in play and its map's 6400 cells, as the game holds them.
    level: () => Module._kv_web_level(),
    map: () => Array.from({ length: 6400 }, (_, i) => Module._kv_web_map_cell(i)),
    // The module heard (0 the menu's, 1 to 3 the levels') and how far in, in ms.
    music: () => ({ index: Module._kv_web_music(), ms: Module._kv_web_music_ms() }),
    // When the page painted its first frame, in ms from its opening; 0: not yet.
    firstPaint: () => {
      const mark = performance.getEntriesByName('kv-first-frame')[0];
      return mark ? mark.startTime : 0;
    },
    hold: (flips, mode) => Module._kv_web_hold(flips, mode),
    release: () => Module._kv_web_hold(0, -1),
    // Passes ended so far; holding after pass n, a key changed now is down
    // from pass n + 2 on.
    passes: () => Module._kv_web_passes(),
    holdAfter: (passes) => Module._kv_web_hold_after(passes),
    // Whether the key table the game reads holds this SDL key down.
    keyHeld: (sym) => Module._kv_web_key_held(sym) !== 0,
    // The pass, counted from the one after Start, on which the first level played was left; 0: not yet.
    levelLeft: () => Module._kv_web_level_left(),
    audioState: () => { const c = audioContext(); return c ? c.state : 'none'; },
    // The loudest sample of the sound last mixed by the game (16-bit stereo).
    audioPeak: () => {
      const a = typeof SDL !== 'undefined' && SDL.audio;
      if (!a || !a.buffer) return -1;
      const samples = Module.HEAP16.subarray(a.buffer >> 1, (a.buffer + a.bufferSize) >> 1);
      return samples.reduce((m, v) => Math.max(m, Math.abs(v)), 0);
    },
    // The sound handed to the browser since the first call: its seconds,
    // the buffers that start after the one before them has ended (a gap),
    // and of those the ones started while the one before still played (a
    // silence the page made itself, not the queue running dry).
    sound: () => {
      if (!window.kvSound) {
        const counted = (window.kvSound = { seconds: 0, gaps: 0, made: 0, end: 0 });
        const start = AudioBufferSourceNode.prototype.start;
        AudioBufferSourceNode.prototype.start = function (when, ...rest) {
          if (counted.end && when > counted.end + 1e-6) {
            counted.gaps++;
            if (this.context.currentTime < counted.end) counted.made++;
          }
          counted.seconds += this.buffer ? this.buffer.duration : 0;
          counted.end = Math.max(when, this.context.currentTime) + (this.buffer ? this.buffer.duration : 0);
          return start.call(this, when, ...rest);
        };
      }
      const c = audioContext();
      return { seconds: window.kvSound.seconds, gaps: window.kvSound.gaps, made: window.kvSound.made, clock: c ? c.currentTime : 0 };
    },
    overlayShown: () => !overlay.hidden,
    message: () => (message.hidden ? '' : message.textContent),
    notice: () => (notice.hidden ? '' : notice.textContent),
    // The canvas as the player sees it at the screen's size, RGBA, in base64.
    canvas: () => {
      // Drawn onto a 2D canvas of its own (the page's may be a WebGL one),
      // doubled as the page's scaling doubles it where it paints the
      // window's picture at half size.
      const w = Module._kv_web_frame_width() || canvas.width, h = Module._kv_web_frame_height() || canvas.height;
      const copy = document.createElement('canvas');
      copy.width = w;
      copy.height = h;
      const c = copy.getContext('2d', { alpha: false });
      c.imageSmoothingEnabled = false;
      c.drawImage(canvas, 0, 0, w, h);
      const pixels = c.getImageData(0, 0, w, h);
      return { w, h, rgba: base64(new Uint8Array(pixels.data.buffer)) };
    },
    // How the demo watched goes: the pass since Start on which its level was left.
    watch: () => ({ done: Module._kv_web_watch_done(), passes: Module._kv_web_watch_passes(),
                    completed: Module._kv_web_watch_completed(), gameOver: Module._kv_web_watch_game_over() }),
    captured: (pass) => (captured[pass] ? { w: captured[pass].w, h: captured[pass].h,
                                           indices: base64(captured[pass].indices) } : null),
  };
})();
