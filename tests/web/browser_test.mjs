// The web version in a real browser: Debian's Chromium, headless, loads the
// page from a local server and is driven through the DevTools protocol.
// What it checks, against figures the desktop build works out in the same
// run (tests/web/run.sh prepares them):
//   - the first menu frame on the canvas is the desktop's golden menu frame,
//     pixel for pixel outside the noise field, and the noise field holds
//     only the fifteen noise colours (and is in fact the golden frame's too);
//   - Enter reaches level 1, whose first frame is the desktop's;
//   - each recorded run, played by the game's own --timedemo, leaves its
//     level on the same pass as on the desktop, through the same frames,
//     and so does a custom level's (one of the more levels, with --level);
//   - the sound starts with the start gesture; the music changes with the
//     mode, and the menu's starts from its beginning again; keys 1 and 2
//     switch the picture; the page does not scroll under the game's keys;
//   - leaving the browser's full screen by its own means brings the game
//     back to its window;
//   - gamepads and the touch screen (controls.mjs);
//   - the pace on a processor four times slower, a hidden page (pace.mjs);
//   - loading: compressed copies, the progress bar, a stalled or damaged
//     download (loading.mjs);
//   - no error reaches the console;
//   - a missing .data or .wasm, no WebAssembly or no Web Audio: the page
//     says so in plain words;
//   - the page players get runs the game without the test's hooks (no
//     window.kvTest, no export of the wasm that the page does not call),
//     shows the keys of docs/keys.txt and docs/controls.txt, and takes at most 6 MB with its
//     .js, .wasm and .data.
// All but the last run on the test build (scripts/web-build.sh --test).
//
//   node tests/web/browser_test.mjs <test site> <site> <desktop-figures.json>
// A frame that does not match is saved in build-web/test-output/.

import { mkdirSync, readFileSync, readdirSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

import { serve } from '../../web/serve.mjs';
import { checker, openBrowser } from './chromium.mjs';
import { checkControls } from './controls.mjs';
import { checkPace } from './pace.mjs';
import { checkLoading } from './loading.mjs';
import { readIndexedPng, writeIndexedPng } from './png.mjs';

const [site, shippedSite, figuresFile] = process.argv.slice(2);
const figures = JSON.parse(readFileSync(figuresFile, 'utf8'));
const top = new URL('../..', import.meta.url).pathname;

const { check, finish } = checker('browser test');

const NOISE = { x0: 16, y0: 16, x1: 207, y1: 183, first: 15, last: 29 };

// The canvas (RGBA, 2x) against a 320x200 picture of palette indices.
function compareMenu(canvas, golden) {
  const rgba = Buffer.from(canvas.rgba, 'base64');
  const pal = golden.palette;
  const rgb = (i) => (pal[3 * i] << 16) | (pal[3 * i + 1] << 8) | pal[3 * i + 2];
  const noise = new Set();
  for (let i = NOISE.first; i <= NOISE.last; i++) noise.add(rgb(i));
  let outside = 0, overlay = 0, notNoise = 0, sameNoise = 0, noisePixels = 0, undoubled = 0;
  for (let y = 0; y < 200; y++)
    for (let x = 0; x < 320; x++) {
      const at = (cx, cy) => { const o = 4 * (cy * 640 + cx); return (rgba[o] << 16) | (rgba[o + 1] << 8) | rgba[o + 2]; };
      const shown = at(2 * x, 2 * y);
      if (at(2 * x + 1, 2 * y) !== shown || at(2 * x, 2 * y + 1) !== shown || at(2 * x + 1, 2 * y + 1) !== shown) undoubled++;
      const g = golden.indices[y * 320 + x];
      const inField = x >= NOISE.x0 && x <= NOISE.x1 && y >= NOISE.y0 && y <= NOISE.y1;
      if (!inField) {
        if (shown !== rgb(g)) outside++;
      } else if (g < NOISE.first || g > NOISE.last) {
        if (shown !== rgb(g)) overlay++;  // the logo, the spinner, the entries, the credit line
      } else {
        noisePixels++;
        if (!noise.has(shown)) notNoise++;
        if (shown === rgb(g)) sameNoise++;
      }
    }
  return { outside, overlay, notNoise, sameNoise, noisePixels, undoubled };
}

// '' when the web's frame is the desktop's; else what differs, with the
// web's frame saved for looking at.
function comparePictures(web, desktop, name) {
  if (web.w !== desktop.w || web.h !== desktop.h) return `${web.w}x${web.h} against ${desktop.w}x${desktop.h}`;
  let differ = 0;
  for (let i = 0; i < web.indices.length; i++) differ += web.indices[i] !== desktop.indices[i];
  if (!differ) return '';
  const out = join(top, 'build-web/test-output');
  mkdirSync(out, { recursive: true });
  writeFileSync(join(out, name + '.png'), writeIndexedPng(web.w, web.h, web.indices, desktop.palette));
  return `${differ} pixels differ (the web's frame is in build-web/test-output/${name}.png)`;
}

// The canvas (RGBA) against a picture of palette indices, colour for colour
// (the palette repeats some colours, so indices cannot be told back).
function compareCanvas(canvas, desktop, name) {
  if (canvas.w !== desktop.w || canvas.h !== desktop.h) return `${canvas.w}x${canvas.h} against ${desktop.w}x${desktop.h}`;
  const rgba = Buffer.from(canvas.rgba, 'base64'), pal = desktop.palette;
  let differ = 0;
  const shown = new Uint8Array(desktop.indices.length);
  for (let i = 0; i < desktop.indices.length; i++) {
    const g = desktop.indices[i];
    const same = rgba[4 * i] === pal[3 * g] && rgba[4 * i + 1] === pal[3 * g + 1] && rgba[4 * i + 2] === pal[3 * g + 2];
    differ += !same;
    shown[i] = same ? g : 255 - g;
  }
  if (!differ) return '';
  const out = join(top, 'build-web/test-output');
  mkdirSync(out, { recursive: true });
  writeFileSync(join(out, name + '.png'), writeIndexedPng(desktop.w, desktop.h, shown, pal));
  return `${differ} pixels differ (build-web/test-output/${name}.png has them in other colours)`;
}

async function waitFor(page, test, what, timeoutMs = 20000, arg = null) {
  try {
    await page.waitForFunction(test, arg, { timeout: timeoutMs, polling: 20 });
    return true;
  } catch {
    check(false, what, 'timed out');
    return false;
  }
}

// The frames a watched run captured against the desktop's.
async function checkFrames(page, run, what) {
  const name = run.script.replace(/.*\//, '').replace('.txt', '');
  const bad = [];
  for (const [pass, file] of Object.entries(run.frames)) {
    const got = await page.evaluate((p) => kvTest.captured(p), Number(pass));
    const desktop = readIndexedPng(readFileSync(file));
    const why = got ? comparePictures({ w: got.w, h: got.h, indices: Buffer.from(got.indices, 'base64') }, desktop, `${name}-${pass}`)
                    : 'not captured';
    if (why) bad.push(`pass ${pass}: ${why}`);
  }
  check(bad.length === 0, `${what}: ${Object.keys(run.frames).length} frames along the run are the desktop's`,
        bad.slice(0, 3).join('; ') + (bad.length > 3 ? `; and ${bad.length - 3} more` : ''));
}

// Waits until the canvas shows the frame the game flipped last.
const shown = (page) => page.waitForFunction(() => kvTest.painted() === kvTest.flips(), null, { timeout: 5000, polling: 10 });

// --- The run ---

const browser = await openBrowser(site);
const { context, base } = browser;
const shippedServer = await serve(shippedSite, 0);

function watchConsole(page) {
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  return errors;
}

try {
  // The menu, the start gesture, level 1.
  {
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.goto(base + '?hold=1');
    if (await waitFor(page, () => window.kvTest && kvTest.ready() && kvTest.flips() >= 1 && kvTest.firstPaint() > 0,
                      'the first menu frame is painted')) {
      await shown(page);
      console.log(`     first menu frame painted ${Math.round(await page.evaluate(() => kvTest.firstPaint()))} ms after the page was opened`);
      const golden = readIndexedPng(readFileSync(join(top, 'tests/golden/menu.png')));
      const canvas = await page.evaluate(() => kvTest.canvas());
      check(canvas.w === 640 && canvas.h === 400, 'the canvas shows the 640x400 picture', `${canvas.w}x${canvas.h}`);
      const painter = await page.evaluate(() => kvTest.painter());
      check(painter === '2d', 'with WebGL only in software, the page converts the colours for a 2D canvas', painter);
      const m = compareMenu(canvas, golden);
      check(m.undoubled === 0, 'every pixel of the picture is a 2x2 block', `${m.undoubled} are not`);
      check(m.outside === 0, 'the first menu frame matches the golden menu frame outside the noise field',
            `${m.outside} pixels differ`);
      check(m.overlay === 0, 'the logo, spinner, entries and credit line on the noise match the golden frame',
            `${m.overlay} pixels differ`);
      check(m.notNoise === 0, 'the noise field holds only the fifteen noise colours', `${m.notNoise} pixels do not`);
      // The noise comes from the game's own generator, the same everywhere.
      check(m.sameNoise === m.noisePixels, "the noise field is the golden frame's, pixel for pixel",
            `${m.noisePixels - m.sameNoise} of ${m.noisePixels} differ`);
    }
    check(await page.evaluate(() => kvTest.overlayShown()), 'the page asks for a click or a key before the sound starts');
    await page.mouse.click(640, 300);
    check(!(await page.evaluate(() => kvTest.overlayShown())), 'the click takes the start overlay away');
    await waitFor(page, () => kvTest.audioState() === 'running', 'the audio context runs after the start gesture', 5000);
    check((await page.evaluate(() => kvTest.audioState())) === 'running', 'the audio context runs after the start gesture');
    const peak = await page.waitForFunction(() => kvTest.audioPeak() > 1000 && kvTest.audioPeak(), null, { timeout: 5000 })
      .then((h) => h.jsonValue(), () => 0);
    check(peak > 1000, "the menu's music is mixed (not silence)", `loudest sample ${peak}`);
    // Long enough into the menu's music that a return to the menu shows whether it starts again.
    await waitFor(page, () => kvTest.music().index === 0 && kvTest.music().ms > 3000, "the menu's music plays on", 10000);

    await page.evaluate(() => kvTest.hold(0, 2));  // hold at the first frame of play
    await page.keyboard.down('Enter');
    if (await waitFor(page, () => kvTest.mode() === 2, 'Enter on Start begins level 1')) {
      await shown(page);
      const canvas = await page.evaluate(() => kvTest.canvas());
      const desktop = readIndexedPng(readFileSync(figures.level1Frame));
      const why = compareCanvas(canvas, desktop, 'level1-first');
      check(!why, "the first frame of level 1 is the desktop's", why);
    }
    await page.keyboard.up('Enter');
    await page.evaluate(() => kvTest.release());

    // Keys 1 and 2: full screen (the 320x200 picture) and back.
    await page.keyboard.down('Digit1');
    await waitFor(page, () => kvTest.screenWidth() === 320, 'key 1 switches to the full-screen picture', 5000);
    await page.keyboard.up('Digit1');
    await page.keyboard.down('Digit2');
    await waitFor(page, () => kvTest.screenWidth() === 640, 'key 2 switches back to the 640x400 picture', 5000);
    await page.keyboard.up('Digit2');
    const fullscreenSeen = await page.evaluate(() => kvTest.screenWidth() === 640);
    check(fullscreenSeen, 'keys 1 and 2 switch between the full-screen picture and the 640x400 one');
    // The browser's full screen left by the browser, not the game.
    await page.keyboard.down('Digit1');
    await waitFor(page, () => kvTest.screenWidth() === 320 && document.fullscreenElement,
                  "key 1 puts the page in the browser's full screen", 5000);
    await page.keyboard.up('Digit1');
    await page.evaluate(() => document.exitFullscreen());
    await waitFor(page, () => kvTest.screenWidth() === 640,
                  "leaving the browser's full screen brings the game back to its window", 5000);
    // The music changes with the mode: level 1's plays on, and back in the
    // menu the menu's starts again from its beginning.
    const advances = async (index) => {
      const ok = await waitFor(page, `kvTest.music().index === ${index}`, `module ${index} is heard`, 5000);
      const from = (await page.evaluate(() => kvTest.music())).ms;
      await page.waitForTimeout(1000);
      const to = await page.evaluate(() => kvTest.music());
      return ok && to.index === index && to.ms >= from + 500;
    };
    check(await advances(1), "level 1's music plays in level 1");
    const peak1 = await page.waitForFunction(() => kvTest.audioPeak() > 1000 && kvTest.audioPeak(), null, { timeout: 5000 })
      .then((h) => h.jsonValue(), () => 0);
    check(peak1 > 1000, "level 1's music is mixed (not silence)", `loudest sample ${peak1}`);
    await page.keyboard.down('Escape');
    await waitFor(page, () => kvTest.mode() === 0 && kvTest.music().index === 0, 'Escape goes back to the menu and its music', 5000);
    await page.keyboard.up('Escape');
    const back = await page.evaluate(() => kvTest.music());
    check(back.index === 0 && back.ms >= 0 && back.ms < 1000, "back in the menu, its music starts from its beginning",
          `at ${back.ms} ms`);
    check(await advances(0), "the menu's music plays on after the return");

    check(errors.length === 0, 'no error in the console', errors.join(' | '));
    const notice = await page.evaluate(() => kvTest.notice());
    check(notice === '', 'the game reports nothing wrong (no line on its stderr)', notice);
    await page.close();
  }

  // The game's keys do not scroll the page, even when it could scroll.
  {
    const page = await context.newPage();
    await page.setViewportSize({ width: 700, height: 420 });
    await page.goto(base);
    await waitFor(page, () => window.kvTest && kvTest.ready() && kvTest.flips() > 0, 'the game starts');
    await page.mouse.click(350, 200);
    const scrollable = await page.evaluate(() => document.documentElement.scrollHeight > window.innerHeight);
    for (const key of ['ArrowDown', 'Space', 'ArrowUp', 'AltLeft', 'Escape', 'Enter', 'ArrowRight']) await page.keyboard.press(key);
    const scrolled = await page.evaluate(() => window.scrollY);
    check(scrollable && scrolled === 0, "the game's keys do not scroll the page", `scrollable ${scrollable}, scrolled ${scrolled}`);
    // Jumping while walking left is Alt with Left: the browser's Back.
    await page.goto(base + '?second');
    await waitFor(page, () => window.kvTest && kvTest.ready(), 'the game starts again');
    await page.mouse.click(350, 200);
    await page.keyboard.down('AltLeft');
    await page.keyboard.press('ArrowLeft');
    await page.keyboard.up('AltLeft');
    await page.waitForTimeout(300);
    check(page.url().endsWith('?second'), 'Alt with Left does not take the browser back', page.url());
    await page.close();
  }

  // With a GPU the GPU looks the colours up, to the same picture: here the
  // software WebGL is taken as if it were one.
  {
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.addInitScript(() => {
      const get = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (type, attributes) {
        return get.call(this, type, attributes && { ...attributes, failIfMajorPerformanceCaveat: false });
      };
      const parameter = WebGLRenderingContext.prototype.getParameter;
      WebGLRenderingContext.prototype.getParameter = function (name) {
        return name === 0x9246 ? 'a GPU' : parameter.call(this, name);  // UNMASKED_RENDERER_WEBGL
      };
    });
    await page.goto(base + '?hold=1');
    if (await waitFor(page, () => window.kvTest && kvTest.ready() && kvTest.flips() >= 1 && kvTest.firstPaint() > 0,
                      'with WebGL the first menu frame is painted')) {
      await shown(page);
      const painter = await page.evaluate(() => kvTest.painter());
      const m = compareMenu(await page.evaluate(() => kvTest.canvas()), readIndexedPng(readFileSync(join(top, 'tests/golden/menu.png'))));
      check(painter === 'webgl' && m.outside + m.overlay + m.undoubled === 0,
            'with WebGL the first menu frame is the golden one outside the noise',
            `${painter}: ${m.outside + m.overlay} pixels differ, ${m.undoubled} not doubled`);
    }
    check(errors.length === 0, 'no error in the console with WebGL', errors.join(' | '));
    await page.close();
  }

  // A browser without WebAssembly's SIMD gets the game's code without it,
  // to the same picture, noise and all.
  const withoutSimd = () => { WebAssembly.validate = () => false; };
  const codeFetched = (page) => page.evaluate(() => performance.getEntriesByType('resource')
    .map((e) => e.name.replace(/.*\//, '')).filter((n) => /\.wasm$/.test(n)).join(' '));
  {
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.addInitScript(withoutSimd);
    await page.goto(base + '?hold=1');
    if (await waitFor(page, () => window.kvTest && kvTest.ready() && kvTest.flips() >= 1 && kvTest.firstPaint() > 0,
                      'without SIMD the first menu frame is painted')) {
      await shown(page);
      const m = compareMenu(await page.evaluate(() => kvTest.canvas()), readIndexedPng(readFileSync(join(top, 'tests/golden/menu.png'))));
      const fetched = await codeFetched(page);
      check(fetched === 'kestravale-plain.wasm' && m.outside + m.overlay === 0 && m.sameNoise === m.noisePixels,
            "without SIMD the page runs kestravale-plain.wasm, and the first menu frame is the golden one, noise and all",
            `${fetched}: ${m.outside + m.overlay} pixels differ outside the noise, ${m.noisePixels - m.sameNoise} in it`);
    }
    check(errors.length === 0, 'no error in the console without SIMD', errors.join(' | '));
    await page.close();
  }

  // The recorded runs, played by the game's own --timedemo, pass by pass;
  // level 1's again on the code without SIMD.
  for (const [run, plain] of [...figures.runs.map((r) => [r, false]), [figures.runs[0], true]]) {
    const page = await context.newPage();
    const errors = watchConsole(page);
    const said = [];
    page.on('console', (m) => { if (m.type() === 'log') said.push(m.text()); });
    if (plain) await page.addInitScript(withoutSimd);
    const name = run.script.replace(/.*\//, '');
    const captures = Object.keys(run.frames).map(Number);
    const map = run.map ? readFileSync(join(top, run.map), 'utf8') : '';
    await page.addInitScript(([name, text, captures, map]) => { window.kvDemo = { name, text, captures, map }; },
                             [name, readFileSync(join(top, run.script), 'utf8'), captures, map]);
    await page.goto(base);
    await waitFor(page, () => window.kvTest && kvTest.ready() && kvTest.watch().done, `${run.script} is played`, 180000);
    const w = await page.evaluate(() => kvTest.watch());
    const how = plain ? `${run.script}, without SIMD,` : run.script;
    if (plain) check((await codeFetched(page)) === 'kestravale-plain.wasm', `${how} runs on kestravale-plain.wasm`);
    check(w.completed === run.completedPass && !w.gameOver,
          `${how} reaches the exit on the desktop's pass ${run.completedPass}`,
          `pass ${w.completed}, game over ${w.gameOver}, passes watched ${w.passes}`);
    await checkFrames(page, run, how);
    await waitFor(page, () => /has ended/.test(document.getElementById('message').textContent),
                  `the timed demo of ${run.script} ends the game`, 60000);
    const line = said.find((t) => t.startsWith(`/${name}: `));
    if (line) console.log(`     in the browser: ${line}`);
    check(errors.length === 0, `no error in the console while ${how} plays`, errors.join(' | '));
    await page.close();
  }

  await checkControls({ site, top, figures, check, waitFor, watchConsole, context, base });
  await checkPace({ top, figures, check, waitFor, watchConsole, context, base, checkFrames });
  await checkLoading({ site, check, waitFor, watchConsole, context });

  // Bad input: the page says what is wrong.
  const cases = [
    { what: 'a missing .data file', route: '**/kestravale.data', expect: /kestravale\.data.*404/ },
    { what: 'a missing .wasm file', route: '**/kestravale.wasm', expect: /kestravale\.wasm.*404/ },
    { what: 'a browser without WebAssembly', init: () => { delete window.WebAssembly; }, expect: /cannot run WebAssembly/ },
  ];
  // A damaged picture in the data: its first bytes no longer say BMP.
  const js = readFileSync(join(site, 'kestravale.js'), 'latin1');
  const logo = /"filename":"\/data\/logo.bmp","start":(\d+)/.exec(js);
  const damaged = Buffer.from(readFileSync(join(site, 'kestravale.data')));
  if (logo) damaged.write('XX', Number(logo[1]), 'latin1');
  cases.push({ what: 'a damaged picture in the data', damaged, expect: /stopped: .*data\/logo\.bmp/ });
  for (const c of cases) {
    const page = await context.newPage();
    if (c.route) await page.route(c.route, (r) => r.fulfill({ status: 404, body: 'not found' }));
    if (c.damaged) await page.route('**/kestravale.data', (r) => r.fulfill({ status: 200, body: c.damaged }));
    if (c.init) await page.addInitScript(c.init);
    await page.goto(base);
    const said = await page.waitForFunction(() => document.getElementById('message').textContent, null, { timeout: 10000 })
      .then((h) => h.jsonValue(), () => '');
    check(c.expect.test(said), `${c.what}: the page says so`, JSON.stringify(said));
    await page.close();
  }
  {
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.addInitScript(() => { delete window.AudioContext; delete window.webkitAudioContext; });
    await page.goto(base);
    const runs = await page.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() >= 10, null,
                                            { timeout: 20000 }).then(() => true, () => false);
    const notice = await page.evaluate(() => kvTest.notice());
    check(runs && /without sound/.test(notice) && (await page.evaluate(() => kvTest.message())) === '',
          'a browser without Web Audio: the page says so and the game runs silent', JSON.stringify(notice));
    check(errors.length === 0, 'no error in the console without Web Audio', errors.join(' | '));
    await page.close();
  }

  // The page players get: the game without the test's hooks.
  {
    let total = 0;
    // The compressed copies beside them (.gz, .br) stand in for them, not
    // beside them, and a browser loads one of the two codes.
    for (const f of readdirSync(shippedSite))
      if (!/\.(gz|br)$/.test(f) && f !== 'kestravale-plain.wasm') total += statSync(join(shippedSite, f)).size;
    check(total <= 6 * 1024 * 1024, 'page, .js, .wasm and .data take at most 6 MB', `${(total / 1048576).toFixed(2)} MB`);
    // The wasm exports what the page calls; the test build's adds the hooks.
    const pageCalls = new Set(Array.from(readFileSync(join(top, 'web/page.js'), 'utf8').matchAll(/Module\._(kv_web_\w+)/g),
                                         (m) => m[1]));
    const beyondThePage = (dir) => WebAssembly.Module.exports(new WebAssembly.Module(readFileSync(join(dir, 'kestravale.wasm'))))
      .map((e) => e.name).filter((name) => name.startsWith('kv_web_') && !pageCalls.has(name));
    const hooks = beyondThePage(site), extra = beyondThePage(shippedSite);
    check(hooks.includes('kv_web_hold') && hooks.includes('kv_web_watch') && extra.length === 0,
          "the page's wasm exports nothing for the test; the test build's exports the hooks",
          `page's: ${extra.join(' ') || 'none'}; test build's: ${hooks.join(' ')}`);

    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.goto(`http://127.0.0.1:${shippedServer.address().port}/`);
    const runs = await page.waitForFunction(() => performance.getEntriesByName('kv-first-frame').length > 0, null,
                                            { timeout: 20000 }).then(() => true, () => false);
    check(runs, 'the page players get paints the game');
    const scripts = await page.evaluate(() => Array.from(document.scripts, (s) => s.getAttribute('src'))
      .filter((src) => src).join(' '));  // the head's own chooses the game code
    const kvTest = await page.evaluate(() => 'kvTest' in window);
    check(!kvTest && scripts === 'page.js level.js runs.js kestravale.js', 'the page players get has no window.kvTest and loads no test script',
          `kvTest ${kvTest}, scripts ${scripts}`);
    // The keys table: docs/keys.txt without its column of SDL names.
    const keys = readFileSync(join(top, 'docs/keys.txt'), 'utf8').split('\n').filter((l) => l.trim() && !l.startsWith('#'))
      .map((l) => l.split('|').map((c) => c.trim()).filter((_, i) => i !== 1));
    const shownKeys = await page.evaluate(() => Array.from(document.querySelectorAll('#keys tr'),
                                                            (tr) => Array.from(tr.cells, (c) => c.textContent.trim())));
    check(JSON.stringify(shownKeys) === JSON.stringify(keys), "the page's keys table says what docs/keys.txt says",
          JSON.stringify(shownKeys));
    const controls = readFileSync(join(top, 'docs/controls.txt'), 'utf8').split('\n').filter((l) => l.trim() && !l.startsWith('#'))
      .map((l) => l.split('|').map((c) => c.trim()));
    const shownControls = await page.evaluate(() => Array.from(document.querySelectorAll('#pad-help tr'),
                                                                (tr) => Array.from(tr.cells, (c) => c.textContent.trim())));
    check(JSON.stringify(shownControls) === JSON.stringify(controls),
          "the page's gamepad and touch table says what docs/controls.txt says", JSON.stringify(shownControls));
    const unknown = controls.map((row) => row[0]).filter((key) => !keys.some((row) => row[0] === key));
    check(unknown.length === 0, 'docs/controls.txt names only keys of docs/keys.txt', unknown.join(', '));
    check(errors.length === 0, 'no error in the console of the page players get', errors.join(' | '));
    await page.close();
  }
} finally {
  shippedServer.close();
  await browser.close();
}

finish();
