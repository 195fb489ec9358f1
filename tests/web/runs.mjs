// Runs in the browser (web/runs.js, web/runs.cpp), in Chromium:
//   - a level run played with keys in the page on a custom level whose exit
//     is a walk to the right (the walk of the desktop's level-run test:
//     Right held from the first pass after Start reaches the exit on pass
//     80, 0.36 s at the game's pace) is timed so, and its download, timed
//     by the desktop's --timedemo, finishes on the same pass;
//   - the best run of that level is kept across a reload and replaced by a
//     better one only; Watch again plays the run just made to the same pass;
//   - its share link, opened in a fresh page, reaches the exit on the same
//     pass, and a link of the level 1 recorded run (tests/replays) reaches
//     it on the desktop's pass;
//   - watched with pauses, steps and double speed, that run shows the
//     desktop's frames along the way, and its banner hands the game over at
//     the end; Escape ends a run early, with the title menu the player's;
//   - a custom level's run downloads with its level; a run too long for a
//     link says so; on a phone the runs are a sheet behind the page's Runs
//     button, marked when a level of a session begun at the title menu ends;
//   - a damaged, cut, oversized link, and a run on another custom map, are
//     refused in plain words, and a name with markup is shown as text.
//   node tests/web/runs.mjs <test site> <desktop build folder> <desktop-figures.json>

import { execFileSync } from 'node:child_process';
import { randomBytes } from 'node:crypto';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { deflateRawSync } from 'node:zlib';

import { borderedRows, checker, openBrowser } from './chromium.mjs';
import { readIndexedPng } from './png.mjs';

const [site, build, figuresFile] = process.argv.slice(2);
const figures = JSON.parse(readFileSync(figuresFile, 'utf8'));
const top = new URL('../..', import.meta.url).pathname;
const folder = mkdtempSync(join(tmpdir(), 'kv-runs-'));

const { check, finish } = checker('runs test');
const pack = (text) => deflateRawSync(Buffer.from(text)).toString('base64url');

// The custom level: a border, the floor under the heroine's start, and the
// exit twenty cells to the right on her row.
const rows = borderedRows();
const withExit = (col) => rows.map((r, i) => (i === 36 ? r.slice(0, col) + 'X' + r.slice(col + 1) : r));
const levelText = (title, col) => `kestravale level 1\nlevel 1\ntitle ${title}\nauthor Tester\n` +
                                  withExit(col).map((r) => r + '\n').join('');
const levelA = levelText('Map A', 20);

const b = await openBrowser(site);
const errors = [];
async function open(hash, query = '') {
  const p = await b.context.newPage();
  p.on('pageerror', (e) => errors.push(String(e)));
  await p.goto(`${b.base}index.html${query}${hash}`);
  return p;
}
const text = (p, id) => p.evaluate((i) => document.getElementById(i).textContent, id);
const waitText = (p, id, re, timeout = 20000) =>
  p.waitForFunction(([i, r]) => new RegExp(r).test(document.getElementById(i).textContent), [id, re.source],
                    { timeout, polling: 20 }).then(() => true, () => false);

// A level run on the custom level: held at the Start pass, Right pressed
// after waitPasses more passes, played to the exit.
async function levelRun(p, waitPasses) {
  await p.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() >= 1, null, { timeout: 20000 });
  await p.click('#overlay');
  if (waitPasses) {
    await p.evaluate((n) => { kvTest.release(); kvTest.holdAfter(n); }, waitPasses);
    await p.waitForFunction((n) => kvTest.passes() >= n, waitPasses, { timeout: 5000 });
  }
  await p.keyboard.down('ArrowRight');
  await p.evaluate(() => kvTest.release());
  const done = await waitText(p, 'run-result-text', /exit reached/);
  await p.keyboard.up('ArrowRight');
  return done ? text(p, 'run-result-text') : '';
}

try {
  // Recorded in the page, timed, downloaded, timed on the desktop.
  const levelLink = '#level=' + pack(levelA);
  let p = await open(levelLink, '?hold=1');
  let said = await levelRun(p, 10);
  const slow = /on pass (\d+)/.exec(said);
  check(slow && Number(slow[1]) > 80 && /Your best/.test(said),
        'Right held some passes late reaches the exit after pass 80, the level\'s first best', said);
  await p.reload();
  said = await levelRun(p, 0);
  check(/on pass 80, 0\.36 s at the game's pace\. Your best/.test(said),
        'Right held from the first pass after Start reaches the exit on pass 80, 0.36 s, the new best', said);
  const [download] = await Promise.all([p.waitForEvent('download'), p.click('#run-download')]);
  const [levelDownload] = await Promise.all([p.waitForEvent('download'), p.click('#run-download-level')]);
  const runFile = join(folder, 'run.txt'), lvlFile = join(folder, 'a.lvl');
  await download.saveAs(runFile);
  await levelDownload.saveAs(lvlFile);
  check(download.suggestedFilename() === 'kestravale-map-a-run.txt' && levelDownload.suggestedFilename() === 'kestravale-map-a.txt' &&
        readFileSync(lvlFile, 'utf8') === levelA, "a custom level's run downloads with its level, both named after it",
        `${download.suggestedFilename()}, ${levelDownload.suggestedFilename()}`);
  const timed = execFileSync(join(build, 'kestravale'), ['--level', lvlFile, '--timedemo', runFile],
                             { cwd: top, env: { ...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy' } }).toString();
  check(/level 1 finished on pass 80, 0\.36 s/.test(timed), 'the downloaded run, timed by the desktop, finishes on pass 80', timed.trim());
  await p.click('#run-share');
  await p.waitForFunction(() => !document.getElementById('run-link').hidden, null, { timeout: 5000 });
  const shared = await p.evaluate(() => document.getElementById('run-link').value);
  check(/#run=[A-Za-z0-9_-]+\.[A-Za-z0-9_-]+$/.test(shared) && shared.length < 4000,
        'the run\'s link holds the run and its level in under 4,000 characters', `${shared.length} characters`);
  await p.reload();
  said = await levelRun(p, 5);
  const best = await text(p, 'run-levels');
  check(/on pass (8[1-9]|9\d).*\. The best is 0\.36 s\.$/.test(said) && /Map A.*best 0\.36 s \(pass 80\)/.test(best),
        'after a reload the best is kept, and a slower run does not replace it', `${said} | ${best}`);
  await Promise.all([p.waitForEvent('load'), p.click('#run-watch')]);
  await p.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() >= 1, null, { timeout: 20000 });
  await p.evaluate(() => kvTest.release());  // the page is still held at its first frame (?hold=1)
  check(await waitText(p, 'run-result-text', /exit reached on pass 85, .*the game is yours/),
        'Watch again plays the run just made to the same pass', await text(p, 'run-result-text'));
  await p.close();

  // The shared link in a fresh page.
  p = await open(shared.replace(/^.*#/, '#'));
  await p.click('#overlay');
  check(await waitText(p, 'watch-title', /A run on "Map A" \(level 1\)/, 10000), 'the banner names the custom level',
        await text(p, 'watch-title'));
  check(await waitText(p, 'run-result-text', /exit reached on pass 80, 0\.36 s.*the game is yours/),
        'the shared run, watched, reaches the exit on pass 80 and hands the game over', await text(p, 'run-result-text'));
  await p.close();

  // Level 1's recorded run from a link: paused, stepped and at double
  // speed, the same frames as the desktop's at the same passes.
  const run1 = figures.runs[0];
  const level1 = readFileSync(join(top, run1.script), 'utf8').replace('kestravale demo 1\n', 'kestravale demo 1\n# run by <b id=x>Kes</b>\n');
  p = await open('#run=' + pack(level1), '?hold=1');
  await p.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() >= 1, null, { timeout: 20000 });
  const passes = Object.keys(run1.frames).map(Number);
  await p.evaluate((c) => {
    const m = Module._malloc(4 * c.length);
    Module.HEAP32.set(c, m >> 2);
    Module._kv_web_watch(m, c.length);
    Module._free(m);
  }, passes);
  await p.click('#overlay');
  check((await text(p, 'watch-title')) === "<b id=x>Kes</b>'s run on level 1" &&
        (await p.evaluate(() => !document.getElementById('x'))), 'a name with markup is shown as text', await text(p, 'watch-title'));
  await p.evaluate(() => kvTest.release());
  await p.click('#watch-fast');
  await p.waitForFunction(() => kvTest.passes() > 1500, null, { timeout: 20000 });
  await p.click('#watch-pause');
  const held = await p.evaluate(() => kvTest.passes());
  await p.waitForTimeout(300);
  const still = await p.evaluate(() => kvTest.passes());
  for (let i = 0; i < 5; i++) {
    await p.click('#watch-step');
    await p.waitForFunction((n) => kvTest.passes() >= n, still + i + 1, { timeout: 5000 }).catch(() => {});
  }
  await p.waitForTimeout(200);
  const stepped = await p.evaluate(() => kvTest.passes());
  check(still - held <= 1 && stepped === still + 5, 'paused the game holds, and each step plays one pass',
        `${held}, ${still} after 300 ms, ${stepped} after five steps`);
  await p.click('#watch-pause');
  await p.click('#watch-fast');
  await p.waitForTimeout(1000);
  await p.click('#watch-fast');
  const ended = await waitText(p, 'run-result-text', /the game is yours/, 60000);
  const watched = await text(p, 'run-result-text');
  check(ended && watched.includes(`exit reached on pass ${run1.completedPass},`),
        `level 1's recorded run from a link reaches the exit on the desktop's pass ${run1.completedPass}`, watched);
  const bad = [];
  for (const pass of passes) {
    const got = await p.evaluate((n) => kvTest.captured(n), pass);
    const desktop = readIndexedPng(readFileSync(run1.frames[pass]));
    const indices = got ? Buffer.from(got.indices, 'base64') : null;
    if (!got || got.w !== desktop.w || got.h !== desktop.h || indices.compare(Buffer.from(desktop.indices)) !== 0) bad.push(pass);
  }
  check(bad.length === 0, `watched with pauses, steps and double speed, ${passes.length} frames are the desktop's`,
        `differ at passes ${bad.join(', ')}`);
  await p.close();

  // Escape ends a run early: the title menu, the keys the player's.
  p = await open('#run=' + pack(level1));
  await p.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.mode() === 2, null, { timeout: 20000 });
  await p.click('#overlay');
  await p.keyboard.press('Escape');
  const menu = await p.waitForFunction(() => kvTest.mode() === 0, null, { timeout: 5000 }).then(() => true, () => false);
  await p.keyboard.down('Enter');
  const play = await p.waitForFunction(() => kvTest.mode() === 2, null, { timeout: 5000 }).then(() => true, () => false);
  await p.keyboard.up('Enter');
  check(menu && play && (await p.evaluate(() => document.getElementById('watch-bar').hidden)),
        'Escape ends the run at the title menu, and Enter there is the player\'s');
  await p.close();

  // A run too long for a link says so, and offers the download instead.
  p = await open('');
  await p.evaluate((text) => localStorage.setItem('kestravale-best-runs', JSON.stringify({ 2: { pass: 9000, text, level: null } })),
                   'kestravale demo 1\n' + randomBytes(12000).toString('base64'));
  await p.reload();
  await p.click('#run-levels tr:has-text("Level 2") button:has-text("Share")');
  check(await waitText(p, 'run-levels', /too long for a link: it makes \d+ characters, and a link holds at most 8000\. Download it instead\./, 5000),
        'a run too long for a link says so in plain words', await text(p, 'run-levels'));
  await p.close();

  // On a phone the runs are a sheet over the game: a session begun at the
  // title menu, its level ended (key 3: not timed), marks the Runs button,
  // which opens the offer; Back to the game closes it.
  const phone = await openBrowser(site, { width: 390, height: 844 }, { hasTouch: true, isMobile: true, deviceScaleFactor: 3 });
  try {
    p = await phone.context.newPage();
    p.on('pageerror', (e) => errors.push(String(e)));
    await p.goto(phone.base);
    await p.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() >= 1, null, { timeout: 20000 });
    await p.tap('#overlay');
    const shown = (id) => p.evaluate((i) => getComputedStyle(document.getElementById(i)).display !== 'none', id);
    const marked = () => p.evaluate(() => document.getElementById('runs-open').classList.contains('new'));
    const before = [await shown('runs'), await shown('runs-open'), await marked()];
    await p.keyboard.down('Enter');
    await p.waitForFunction(() => kvTest.mode() === 2, null, { timeout: 5000 });
    await p.keyboard.up('Enter');
    await p.keyboard.down('Digit3');  // held: the game reads the keys as they stand at a pass
    const offered = await waitText(p, 'run-result-text', /^Level 1: exit reached with key 3: not timed\.$/, 10000);
    await p.keyboard.up('Digit3');
    check(JSON.stringify(before) === '[false,true,false]' && offered && (await marked()) && !(await shown('runs')),
          'on a phone the runs wait behind the Runs button, which is marked when a level ends',
          `${JSON.stringify(before)} ${offered} ${await marked()} ${await shown('runs')}: ${await text(p, 'run-result-text')}`);
    await p.tap('#runs-open');
    const sheet = await p.evaluate(() => {
      const r = document.getElementById('runs').getBoundingClientRect();
      return r.left <= 0 && r.top <= 0 && r.right >= innerWidth && r.bottom >= innerHeight;
    });
    const offer = [await shown('runs'), sheet, await shown('run-watch'), await shown('run-download'),
                   await shown('run-share'), await shown('run-download-level'), await marked()];
    check(JSON.stringify(offer) === '[true,true,true,true,true,false,false]',
          'the Runs button opens the sheet with the run of a session begun at the title menu: Watch again, Download run, Share run',
          JSON.stringify(offer));
    await p.tap('#runs-close');
    check(!(await shown('runs')), 'Back to the game closes the sheet');
    await p.close();
  } finally {
    await phone.close();
  }

  // Hostile links.
  const good = pack(level1);
  const hostile = {
    damaged: ['#run=' + good.slice(0, 40) + '!' + good.slice(41), /damaged: it holds characters/],
    'cut short': ['#run=' + good.slice(0, good.length >> 1), /damaged/],
    oversized: ['#run=' + 'A'.repeat(9000), /a run link holds at most 8000/],
    'not a demo': ['#run=' + pack('hello\n'), /not a demo/],
    'another map': ['#run=' + pack(readFileSync(runFile, 'utf8')) + '.' + pack(levelText('Map B', 30)),
                    /made on the custom level "Map A", not on "Map B"/],
  };
  for (const [name, [hash, re]] of Object.entries(hostile)) {
    p = await open(hash);
    const shown = await p.waitForFunction(() => { const m = document.getElementById('message'); return !m.hidden && m.textContent; },
                                          null, { timeout: 20000 }).then((h) => h.jsonValue(), () => '');
    check(re.test(shown) && /^This (run cannot be watched: |link )/.test(shown), `a ${name} run link is refused in plain words`, shown);
    await p.close();
  }
  check(errors.length === 0, 'no script error on any page', errors.join('; '));
} finally {
  await b.close();
  rmSync(folder, { recursive: true, force: true });
}
finish();
