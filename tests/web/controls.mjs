// Gamepads and the touch screen in the browser test (browser_test.mjs runs
// these against the test build). Every pad and finger reaches the game as
// its own keys, set before a pass:
//   - level 1's recorded run, turned into touches on the on-screen controls
//     (Chromium's touch emulation) and into a mocked gamepad's buttons,
//     pass for pass, leaves the level on the desktop's pass; the menu's
//     Start is chosen with the pad's Start and the touch screen's Enter;
//   - two fingers walk and jump at once; a finger sliding off a control
//     lets it go, sliding onto another presses that one; lifting a finger
//     from the picture in the menu chooses Start;
//   - a pad with too few buttons or axes, garbage values or every button
//     down never throws, and once it is pulled no key is held;
//   - a hidden page holds no key and its sound is suspended until shown;
//   - at a phone's and a tablet's sizes the picture and every control are
//     on screen, nothing scrolls, each control is at least 48x48 and none
//     covers the picture in portrait; a desktop without touch shows none.

import { readFileSync } from 'node:fs';
import { join } from 'node:path';

import { openBrowser, setHidden } from './chromium.mjs';

// The game's keys in a demo's order ("RLJFUDEX"), as SDL key codes, the
// on-screen control that holds each and the standard pad's button.
const SYMS = [275, 276, 308, 32, 273, 274, 13, 27];
const PAD_BUTTONS = [15, 14, 0, 2, 12, 13, 9, 8];
const LETTERS = 'RLJFUDEX123';

// The keys of every pass of a recorded run, as bits over LETTERS; the first
// pass is the menu's Start, as the game's own demos play it.
export function demoPasses(text) {
  const passes = [];
  let header = false;
  for (const raw of text.split('\n')) {
    const words = raw.replace(/#.*/, '').trim().split(/\s+/).filter(Boolean);
    if (!words.length) continue;
    if (!header) { header = true; continue; }
    if (words[0] === 'level') { passes.push(1 << LETTERS.indexOf('E')); continue; }
    let repeat = 1;
    if (words.length % 2 === 1) repeat = Number(words.pop().slice(1));
    for (let r = 0; r < repeat; r++)
      for (let i = 0; i < words.length; i += 2) {
        let keys = 0;
        if (words[i + 1] !== '-') for (const c of words[i + 1]) keys |= 1 << LETTERS.indexOf(c);
        for (let n = 0; n < Number(words[i]); n++) passes.push(keys);
      }
  }
  return passes;
}

async function holdAfter(page, passes) {
  const at = await page.evaluate((n) => { kvTest.holdAfter(n); return kvTest.passes(); }, passes);
  if (at > passes) throw new Error(`the game ran past pass ${passes} before it could be held there`);
  await page.waitForFunction((n) => kvTest.passes() === n, passes, { timeout: 20000, polling: 5 });
}

// Plays a run's keys through setKeys, stepping the game to each pass whose
// keys change: held after pass n, a change is in the key table from pass
// n + 2 on. Returns the pass since Start on which level 1 was left.
async function playRun(page, passes, setKeys) {
  let held = (await page.evaluate(() => kvTest.passes())) + 60;
  await holdAfter(page, held);
  const start = held + 2;  // the game's pass of the run's first (Enter)
  let keys = 0;
  for (let k = 0; k < passes.length; k++) {
    if (passes[k] === keys) continue;
    if (start + k - 2 !== held) await holdAfter(page, (held = start + k - 2));
    await setKeys(passes[k]);
    keys = passes[k];
  }
  await page.evaluate(() => kvTest.release());
  return page.waitForFunction(() => kvTest.levelLeft(), null, { timeout: 60000 })
    .then((h) => h.jsonValue(), () => 0);
}

// Fingers on the controls through Chromium's touch emulation: each key of
// the set given is one finger, on its control's centre.
async function fingers(page) {
  const cdp = await page.context().newCDPSession(page);
  const centres = await page.evaluate(() => Object.fromEntries(Array.from(document.querySelectorAll('button[data-keys]'),
    (b) => { const r = b.getBoundingClientRect(); return [b.dataset.keys, [r.x + r.width / 2, r.y + r.height / 2]]; })));
  // The fingers down from now on: the ones gone are lifted, new ones put
  // down, the others moved where they are given.
  let down = [];
  const touches = async (points) => {
    const lifted = down.filter((p) => !points.some((q) => q.id === p.id));
    const added = points.filter((p) => !down.some((q) => q.id === p.id));
    const moved = points.filter((p) => down.some((q) => q.id === p.id && (q.x !== p.x || q.y !== p.y)));
    if (lifted.length) await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: lifted });
    if (moved.length) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: moved });
    if (added.length) await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: added });
    down = points;
    await page.evaluate(() => 0);  // the page has taken them
  };
  return {
    touches,
    keys: (bits) => touches(SYMS.flatMap((sym, i) => (bits & (1 << i) ? [{ x: centres[sym][0], y: centres[sym][1], id: i + 1 }] : []))),
    at: (sym) => centres[sym],
  };
}

// A gamepad the page finds through navigator.getGamepads, set by the test.
function mockPads() {
  window.kvPads = [];
  Object.defineProperty(navigator, 'getGamepads', { configurable: true, value: () => window.kvPads });
  // A browser makes a pad known at its first press.
  window.addEventListener('load', () => window.dispatchEvent(new Event('gamepadconnected')));
  window.kvStandardPad = () => ({ index: 0, id: 'test pad', connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
                                  buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) });
}
const padKeys = (page, bits) => page.evaluate(([bits, buttons]) => {
  const pad = window.kvPads[0];
  buttons.forEach((b, i) => { pad.buttons[b] = { pressed: !!(bits & (1 << i)), value: bits & (1 << i) ? 1 : 0 }; });
}, [bits, PAD_BUTTONS]);

const anyHeld = (page) => page.evaluate((syms) => syms.filter((s) => kvTest.keyHeld(s)), SYMS);

export async function checkControls({ site, top, figures, check, waitFor, watchConsole, context, base }) {
  const run = figures.runs.find((r) => /level1\.txt$/.test(r.script));
  const passes = demoPasses(readFileSync(join(top, run.script), 'utf8'));
  const started = (page) => waitFor(page, () => window.kvTest && kvTest.ready() && kvTest.flips() > 0, 'the game starts');

  // --- A gamepad, on the desktop's page ---
  {
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.addInitScript(mockPads);
    await page.goto(base);
    await started(page);
    await page.mouse.click(640, 300);
    // Garbage never throws, and a pulled pad holds nothing. What the page
    // sends is taken from it here and kept from the game, which stays in
    // its menu (every button down would move its cursor).
    await page.evaluate(() => {
      window.kvSent = new Map();
      window.kvGameKey = Module._kv_web_key;
      Module._kv_web_key = (sym, down) => window.kvSent.set(sym, down);
    });
    const sent = () => page.evaluate(() => Array.from(window.kvSent).filter(([, d]) => d).map(([s]) => s).sort((a, b) => a - b));
    const pads = {
      'no buttons, no axes': '[{ index: 0, connected: true, buttons: [], axes: [] }]',
      'one button down, a NaN axis': '[{ index: 0, connected: true, buttons: [{ pressed: true, value: 1 }], axes: [NaN] }]',
      'every button down, the axes at their limits':
        '[{ index: 0, connected: true, axes: [1, 1, -1, -1], buttons: Array.from({ length: 20 }, () => ({ pressed: true, value: 1 })) }]',
      'values of the wrong kind': '[{ index: 0, connected: true, buttons: [null, 7, "x"], axes: "xy" }, 5, null]',
    };
    for (const [what, pad] of Object.entries(pads)) {
      await page.evaluate(`window.kvPads = ${pad}`);
      const before = await page.evaluate(() => kvTest.passes());
      await page.waitForFunction((n) => kvTest.passes() > n + 2, before);
      const heldNow = await sent();
      const pulled = await page.evaluate(() => { window.kvPads = []; return kvTest.passes(); });
      await page.waitForFunction((n) => kvTest.passes() > n + 3, pulled);
      const after = await sent();
      check(after.length === 0, `a pad with ${what}: nothing held once it is pulled`, `held ${heldNow} then ${after}`);
      if (what.startsWith('one')) check(heldNow.join() === '308', 'its one button down holds Left Alt', `held ${heldNow}`);
      if (what.startsWith('every'))
        check(heldNow.join() === [...SYMS].sort((a, b) => a - b).join(), 'every button down and the stick at a corner hold every key the pad has',
              `held ${heldNow}`);
    }
    await page.evaluate(() => { Module._kv_web_key = window.kvGameKey; });
    // A disconnection lets go at once.
    await page.evaluate(() => {
      window.kvPads = [window.kvStandardPad()];
      window.kvPads[0].axes[0] = -0.9;
    });
    await waitFor(page, () => kvTest.keyHeld(276), 'the stick pushed left holds Left', 5000);
    await page.evaluate(() => {
      const pad = window.kvPads[0];
      window.kvPads = [];
      window.dispatchEvent(Object.assign(new Event('gamepaddisconnected'), { gamepad: pad }));
    });
    await waitFor(page, () => !kvTest.keyHeld(276), 'a pad disconnected lets go of Left', 5000);
    await page.evaluate(() => { window.kvPads = [window.kvStandardPad()]; window.kvPads[0].axes = [-0.45, 0.45, 0, 0]; });
    const before = await page.evaluate(() => kvTest.passes());
    await page.waitForFunction((n) => kvTest.passes() > n + 3, before);
    check((await anyHeld(page)).length === 0, 'the stick within its dead zone holds nothing');

    const left = await playRun(page, passes, (bits) => padKeys(page, bits));
    check(left === run.completedPass,
          `${run.script} played with a gamepad (Start in the menu) reaches the exit on the desktop's pass ${run.completedPass}`,
          `pass ${left}`);
    check(errors.length === 0, 'no error in the console with gamepads', errors.join(' | '));

    // On the desktop the touch controls are not shown; the page's own buttons are.
    const shown = await page.evaluate(() => Array.from(document.querySelectorAll('.controls button, #bar button'),
      (b) => `${b.getAttribute('aria-label')}:${b.getBoundingClientRect().width > 0}`).join(' '));
    check(/^(\w+:false )+Full screen:true Mute:true Runs:false$/.test(shown),
          'a desktop without touch shows no touch controls, only Full screen and Mute (its runs are beside the game)', shown);
    await page.close();
  }

  // --- The touch screen: a phone, a tablet ---
  const phone = await openBrowser(site, { width: 844, height: 390 }, { hasTouch: true, isMobile: true, deviceScaleFactor: 3 });
  try {
    for (const [w, h, what] of [[390, 844, 'a phone in portrait'], [844, 390, 'a phone in landscape'],
                                [820, 1180, 'a tablet in portrait']]) {
      const page = await phone.context.newPage();
      await page.setViewportSize({ width: w, height: h });
      await page.goto(phone.base);
      await started(page);
      const overlay = await page.evaluate(() => document.getElementById('overlay').textContent);
      const cdp = await page.context().newCDPSession(page);
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: w / 2, y: 60, id: 1 }] });
      for (let y = 80; y <= h - 20; y += 60)
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x: w / 2 + y / 4, y, id: 1 }] });
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
      const m = await page.evaluate(() => {
        const inside = (r) => r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight;
        const picture = document.getElementById('screen').getBoundingClientRect();
        const bad = [];
        const buttons = Array.from(document.querySelectorAll('.controls button, #bar button'));
        for (const b of buttons) {
          const r = b.getBoundingClientRect(), name = b.getAttribute('aria-label');
          for (const o of buttons.slice(buttons.indexOf(b) + 1)) {
            const q = o.getBoundingClientRect();
            if (r.left < q.right && r.right > q.left && r.top < q.bottom && r.bottom > q.top)
              bad.push(`${name} and ${o.getAttribute('aria-label')} overlap`);
          }
          if (!inside(r)) bad.push(`${name} off screen`);
          if (r.width < 48 || r.height < 48) bad.push(`${name} ${r.width}x${r.height}`);
          const covers = r.left < picture.right && r.right > picture.left && r.top < picture.bottom && r.bottom > picture.top;
          if (covers && innerHeight > innerWidth) bad.push(`${name} covers the picture`);
        }
        if (!inside(picture)) bad.push('the picture off screen');
        const el = document.documentElement;
        return { bad, scroll: [el.scrollWidth, el.scrollHeight, scrollX, scrollY], pictureW: picture.width };
      });
      const [sw, sh, sx, sy] = m.scroll;
      check(sw <= w && sh <= h && sx === 0 && sy === 0, `${what}: nothing scrolls, even under a swipe`, m.scroll.join(' '));
      check(m.bad.length === 0, `${what}: the picture and every control are on screen, each at least 48x48`, m.bad.join(', '));
      if (w === 390) check(m.pictureW === 390, 'a phone in portrait: the picture fills the width', `${m.pictureW}`);
      check(overlay === 'Tap to start' && !(await page.evaluate(() => kvTest.overlayShown())),
            `${what}: the page asks for a tap and a touch starts it`, overlay);
      await page.close();
    }

    // Two fingers at once, a finger sliding off and across, the picture
    // tapped in the menu, the page hidden, and the recorded run by touch.
    const page = await phone.context.newPage();
    const errors = watchConsole(page);
    await page.addInitScript(mockPads);
    await page.goto(phone.base);
    await started(page);
    const hand = await fingers(page);
    const missing = SYMS.filter((sym) => !hand.at(sym));
    check(missing.length === 0, "every key a demo holds but 1, 2 and 3 has its control on the touch screen",
          `none for ${missing}`);
    if (missing.length) return;
    const [cx, cy] = await page.evaluate(() => {
      const r = document.getElementById('screen').getBoundingClientRect();
      return [r.x + r.width / 2, r.y + r.height / 2];
    });
    await hand.touches([{ x: cx, y: cy, id: 1 }]);  // takes the start overlay away
    await hand.touches([]);
    check(!(await page.evaluate(() => kvTest.overlayShown())), 'a tap on the picture takes the start overlay away');
    const heldAll = (syms) => page.waitForFunction((s) => s.every((x) => kvTest.keyHeld(x)), syms, { timeout: 5000 })
      .then(() => true, () => false);
    const heldNone = (syms) => page.waitForFunction((s) => s.every((x) => !kvTest.keyHeld(x)), syms, { timeout: 5000 })
      .then(() => true, () => false);
    await hand.touches([{ x: hand.at(275)[0], y: hand.at(275)[1], id: 1 }, { x: hand.at(308)[0], y: hand.at(308)[1], id: 2 }]);
    check(await heldAll([275, 308]), 'two fingers hold Right and Left Alt at once');
    await hand.touches([{ x: hand.at(275)[0], y: hand.at(275)[1], id: 1 }]);
    check(await heldNone([308]) && await heldAll([275]), 'lifting one of two fingers lets go of its key only');
    const [lx, ly] = hand.at(276);
    await hand.touches([{ x: lx, y: ly, id: 1 }]);  // slid across the d-pad onto Left
    check(await heldAll([276]) && await heldNone([275]), 'a finger sliding from Right onto Left holds Left instead');
    await hand.touches([{ x: lx, y: ly - 120, id: 1 }]);  // and off the controls
    check(await heldNone([275, 276]), 'a finger sliding off the controls lets go');
    await hand.touches([]);

    // The picture, lifted from in the menu, chooses Start.
    await hand.touches([{ x: cx, y: cy, id: 9 }]);
    const notYet = await page.evaluate(() => kvTest.mode());
    await hand.touches([]);
    await waitFor(page, () => kvTest.mode() === 2, 'lifting the finger from the picture in the menu chooses Start', 5000);
    check(notYet === 0, 'a finger on the picture in the menu chooses nothing until it lifts', `mode ${notYet}`);
    await hand.keys(1 << 7);  // Menu, a quick tap
    await hand.keys(0);
    await waitFor(page, () => kvTest.mode() === 0, 'a tap on Menu goes back to the menu', 5000);

    // Hidden: nothing held, the sound suspended; shown: the sound again.
    await waitFor(page, () => kvTest.audioState() === 'running', 'the sound runs after the tap', 5000);
    await hand.keys(1);  // Right
    await page.evaluate(() => { window.kvPads = [window.kvStandardPad()]; window.kvPads[0].buttons[0].pressed = true; });
    check(await heldAll([275, 308]), 'a finger and a pad hold their keys');
    await setHidden(page, true);
    check(await heldNone([275, 308]), 'the page hidden, neither the finger nor the pad holds a key');
    await waitFor(page, () => kvTest.audioState() === 'suspended', 'the page hidden, the sound is suspended', 5000);
    await hand.keys(0);
    await page.evaluate(() => { window.kvPads = []; });
    await setHidden(page, false);
    await waitFor(page, () => kvTest.audioState() === 'running', 'the page shown again, the sound runs again', 5000);
    await page.click('#mute');
    await waitFor(page, () => kvTest.audioState() === 'suspended', 'Mute suspends the sound', 5000);
    await page.click('#mute');
    await waitFor(page, () => kvTest.audioState() === 'running', 'Mute again brings it back', 5000);

    const left = await playRun(page, passes, hand.keys);
    check(left === run.completedPass,
          `${run.script} played by touch (Enter in the menu) reaches the exit on the desktop's pass ${run.completedPass}`,
          `pass ${left}`);
    check(errors.length === 0, 'no error in the console on the touch screen', errors.join(' | '));
    await page.close();
  } finally {
    await phone.close();
  }
}
