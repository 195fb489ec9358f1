// The level editor (web/editor.html) in Chromium, on the test build:
//   - its reader of level files gives the desktop's reader's verdict, word
//     for word, on the same files (the desktop's build_levels --read runs
//     the game's own reader on them): the shipped maps, and each fault one
//     step past its limit;
//   - the three shipped maps pass every check, and each check is shown a
//     map that breaks it in one cell, with that cell named, and one that
//     meets it;
//   - paint, line, rectangle fill, erase and pick, undo and redo (201 steps
//     back), and the map being edited survives a reload;
//   - Play runs the game in the page on the map as drawn, on its level, and
//     Escape comes back with the undo history kept;
//   - a shipped level's link fits in 2,000 characters, and a link made by
//     Share, opened in a fresh page, shows its title and author and plays
//     the same map;
//   - hostile links and files are refused with a plain message, and nothing
//     of theirs gets into the page as markup.
//   node tests/web/editor.mjs <test site> <desktop build folder>

import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { deflateRawSync } from 'node:zlib';

import { borderedRows, checker, drag, openBrowser } from './chromium.mjs';

const [site, build] = process.argv.slice(2);
const top = new URL('../..', import.meta.url).pathname;
const buildLevels = join(build, 'tools/build_levels');

const { check, finish } = checker('editor test');

const shipped = [1, 2, 3].map((n) => execFileSync(buildLevels, ['--export', String(n)], { cwd: top }).toString('latin1'));
const header = (level, title = 'Test map', author = 'Tester') => `kestravale level 1\nlevel ${level}\ntitle ${title}\nauthor ${author}\n`;
const mapOf = (text) => text.split('\n').slice(4, 84);
const join80 = (rows) => rows.map((r) => r + '\n').join('');
const withCell = (text, row, col, ch) => {
  const rows = mapOf(text);
  rows[row] = rows[row].slice(0, col) + ch + rows[row].slice(col + 1);
  return text.split('\n').slice(0, 4).join('\n') + '\n' + join80(rows);
};

// Level files for the two readers: each fault one step past its limit, and
// what is just within it.
function readerCases() {
  const bordered = borderedRows();
  const map = join80(bordered);
  const cases = {
    shipped1: shipped[0], shipped2: shipped[1], shipped3: shipped[2],
    short: shipped[0].slice(0, 3000),
    level2hash: header(2) + map,
    crlf: (header(1) + map + '\n').replace(/\n/g, '\r\n'),
    empty: '',
    version2: 'kestravale level 2\n' + header(1).slice(19) + map,
    demo: 'kestravale demo 1\n',
    level4: header(4) + map,
    level0: header(0) + map,
    noTitle: header(1, '') + map,
    authorFirst: 'kestravale level 1\nlevel 1\nauthor A\n' + map,
    title48: header(1, 'a'.repeat(48)) + map,
    title49: header(1, 'a'.repeat(49)) + map,
    markup: header(1, '<script>alert(1)</script>') + map,
    ampersand: header(1, 'Fine', 'a&b') + map,
    rows79: header(1) + join80(bordered.slice(0, 79)),
    after: header(1) + map + '#\n',
    blankAfter: header(1) + map + '\n\n',
    row79: header(1) + join80(bordered.map((r, i) => (i === 10 ? r.slice(0, 79) : r))),
    row81: header(1) + join80(bordered.map((r, i) => (i === 10 ? r + '.' : r))),
    stalactite1: withCell(header(1) + map, 20, 7, 'V'),
    stalactite2: withCell(header(2) + map, 20, 7, 'V'),
    byte1: withCell(header(1) + map, 20, 7, '\x01'),
    byte200: withCell(header(1) + map, 20, 7, '\xc8'),
    nul: header(1) + '\0' + map,
    noEnd: (header(1) + map).slice(0, -1),
  };
  const padded = header(1, 'a'.repeat(48)) + map;
  cases.size65536 = padded + '\n'.repeat(65536 - padded.length);
  cases.size65537 = cases.size65536 + '\n';
  return cases;
}

const cases = readerCases();
const folder = mkdtempSync(join(tmpdir(), 'kv-editor-'));
const names = Object.keys(cases);
for (const name of names) writeFileSync(join(folder, name), Buffer.from(cases[name], 'latin1'));
const desktop = {};
for (const line of execFileSync(buildLevels, ['--read', ...names.map((n) => join(folder, n))], { cwd: top }).toString().trim().split('\n')) {
  const at = line.indexOf(': ');
  desktop[line.slice(folder.length + 1, at)] = line.slice(at + 2);
}

const b = await openBrowser(site);
try {
  const page = await b.context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  const asked = [];
  page.on('dialog', (d) => { asked.push(d.message()); d.accept(); });
  const ready = () => page.waitForFunction(() => document.documentElement.dataset.ready === 'true', null, { timeout: 20000 });
  await page.goto(b.base + 'editor.html');
  await ready();

  // ---- The reader ----
  const editorVerdicts = await page.evaluate(async (cs) => {
    const { readLevel } = await import('./levelfile.js');
    const data = await (await fetch('editor-data.json')).json();
    const out = {};
    for (const [name, text] of Object.entries(cs)) {
      const bytes = Uint8Array.from(text, (c) => c.charCodeAt(0));
      try {
        out[name] = 'ok level ' + readLevel(bytes, data).level;
      } catch (e) {
        out[name] = e.message;
      }
    }
    return out;
  }, cases);
  const differ = names.filter((n) => editorVerdicts[n] !== desktop[n]);
  check(differ.length === 0, `the editor's reader and the game's give the same verdict on ${names.length} files`,
        differ.map((n) => `${n}: editor "${editorVerdicts[n]}", game "${desktop[n]}"`).join('; '));
  check(desktop.shipped1 === 'ok level 1' && desktop.title48 === 'ok level 1' && desktop.size65536 === 'ok level 1' &&
        desktop.title49 !== 'ok level 1' && desktop.size65537 !== 'ok level 1',
        'the files within the limits are levels, one step past them are not');

  // ---- The checks ----
  const checkStates = () => page.evaluate(() => Object.fromEntries(Array.from(document.querySelectorAll('#checks li'),
    (li) => [li.dataset.check, { ok: li.classList.contains('ok'), text: li.textContent }])));
  const openText = async (text, name = 'map.txt') => {
    await page.setInputFiles('#open-file', { name, mimeType: 'text/plain', buffer: Buffer.from(text, 'latin1') });
    await page.waitForFunction(() => !document.getElementById('message').hidden || true);
    await page.waitForTimeout(50);
  };
  for (const n of [1, 2, 3]) {
    await page.selectOption('#new-level', String(n));
    await page.click('#new-shipped');
    await page.waitForFunction((l) => document.getElementById('title').value === `Level ${l}`, n);
    const states = await checkStates();
    check(Object.values(states).length === 5 && Object.values(states).every((s) => s.ok),
          `the game's map of level ${n} passes every check`, JSON.stringify(states));
  }
  // Level 1 broken in one cell for each rule. Her start is column 14, rows
  // 34-37, on row 38; the ball of slot 2 rolls from column 27 to 31 on row
  // 32, over row 33; the exit stands at the valley's west end.
  const vale = shipped[0];
  const exitRow = mapOf(vale).findIndex((r) => r.includes('X')), exitCol = mapOf(vale)[exitRow].indexOf('X');
  let exitFloor = exitRow + 1;
  while (!'#='.includes(mapOf(vale)[exitFloor][exitCol])) exitFloor++;
  // An open cell whose first solid cell below is 9 rows down, one with 8.
  let high = null;
  const rows1 = mapOf(vale);
  for (let c = 1; c < 79 && !high; c++)
    for (let r = 1; r + 9 < 79 && !high; r++) {
      const free = (k) => rows1[r + k][c] !== '#' && rows1[r + k][c] !== '=';
      if (rows1[r][c] === '.' && [1, 2, 3, 4, 5, 6, 7, 8].every(free) && !free(9)) high = [r, c];
    }
  const breaks = [
    ['border', withCell(vale, 0, 40, '.'), [0, 40]],
    ['start', withCell(vale, 38, 14, '.'), [38, 14]],
    ['start', withCell(vale, 36, 14, '#'), [36, 14]],
    ['walks', withCell(vale, 33, 29, '.'), [33, 29]],
    ['walks', withCell(vale, 32, 29, '#'), [32, 29]],
    ['walks', withCell(vale, 16, 28, '#'), [16, 28]],  // ogre 3 walks rows 15-17 from column 28 to 33
    ['items', withCell(vale, high[0], high[1], 'o'), high],
    ['exit', withCell(vale, exitRow, exitCol, '.'), null],
    ['exit', withCell(withCell(vale, exitRow, exitCol, '.'), exitFloor - 5, exitCol, 'X'), [exitFloor - 5, exitCol]],
    ['exit', withCell(vale, exitRow, mapOf(vale)[exitRow][exitCol + 1] === '.' ? exitCol + 1 : exitCol - 1, 'X'), [exitRow, exitCol]],
  ];
  for (const [id, text, cell] of breaks) {
    await openText(text);
    const states = await checkStates();
    const others = Object.entries(states).filter(([k]) => k !== id).every(([, s]) => s.ok);
    const named = cell ? states[id].text.includes(`row ${cell[0]}, column ${cell[1]}`) : /no exit/.test(states[id].text);
    check(!states[id].ok && others && named, `a map broken in one cell fails the "${id}" check alone and names the cell`, states[id].text);
  }
  const meets = [
    ['items', withCell(vale, high[0] + 1, high[1], 'o')],
    ['exit', withCell(withCell(vale, exitRow, exitCol, '.'), exitFloor - 4, exitCol, 'X')],
    // Walls ogre 3 touches by one pixel where it turns: it walks from
    // 16 * 28 - 1 to 16 * 33 + 1, 32 pixels wide.
    ['walks', withCell(withCell(vale, 16, 27, '#'), 16, 35, '#')],
  ];
  for (const [id, text] of meets) {
    await openText(text);
    const states = await checkStates();
    check(Object.values(states).every((s) => s.ok), `a map one step within the "${id}" rule passes it`, states[id].text);
  }

  // ---- Drawing, undo and redo ----
  await page.selectOption('#new-level', '1');
  await page.click('#new-empty');
  const box = await page.locator('#map').boundingBox();
  const at = (r, c) => [box.x + 16 * c + 8, box.y + 16 * r + 8];  // the first view: 16 pixels a cell, from the corner
  const kept = () => page.evaluate(() => (localStorage.getItem('kestravale-editor-current') || '').split('\n').slice(4, 84));
  const settled = async () => { await page.waitForTimeout(150); return kept(); };
  const cellsOf = (rows, ch) => rows.flatMap((r, i) => [...r].map((x, j) => (x === ch ? `${i},${j}` : null)).filter(Boolean));
  await page.click('#palette button[data-char="="]');
  await page.mouse.click(...at(5, 5));
  let map = await settled();
  check(cellsOf(map, '=').join(' ') === '5,5', 'a click paints the cell under it', cellsOf(map, '=').join(' '));
  await page.keyboard.press('l');
  await drag(page, at(10, 2), at(12, 8), 4);
  map = await settled();
  // From (10, 2) to (12, 8): 7 columns, one cell each, 3 rows.
  check(cellsOf(map, '=').length === 8 && map[10][2] === '=' && map[12][8] === '=', 'a line paints one cell a column', cellsOf(map, '=').join(' '));
  await page.keyboard.press('r');
  await page.click('#palette button[data-char="o"]');
  await drag(page, at(20, 4), at(22, 1), 3);
  map = await settled();
  check(cellsOf(map, 'o').length === 12, 'a rectangle from (20, 4) to (22, 1) fills its 12 cells', String(cellsOf(map, 'o').length));
  await page.keyboard.press('i');
  await page.mouse.click(...at(5, 5));
  check(await page.locator('#palette button[data-char="="]').getAttribute('aria-pressed') === 'true', 'pick takes the tile of the cell');
  await page.keyboard.press('e');
  await page.mouse.click(...at(21, 2));
  map = await settled();
  check(cellsOf(map, 'o').length === 11 && map[21][2] === '.', 'erase leaves open air');
  await page.keyboard.press('Control+z');
  map = await settled();
  check(cellsOf(map, 'o').length === 12, 'undo puts back what the eraser took');
  await page.keyboard.press('Control+z');
  map = await settled();
  check(cellsOf(map, 'o').length === 0 && cellsOf(map, '=').length === 8, 'undo takes the rectangle away whole');
  await page.keyboard.press('Control+y');
  map = await settled();
  check(cellsOf(map, 'o').length === 12, 'redo brings it back');
  await page.keyboard.press('b');
  await page.click('#palette button[data-char="o"]');
  for (let i = 0; i < 201; i++) await page.mouse.click(...at(30 + Math.floor(i / 40), 1 + (i % 40)));
  map = await settled();
  check(cellsOf(map, 'o').length === 213, '201 clicks paint 201 more cells', String(cellsOf(map, 'o').length));
  for (let i = 0; i < 201; i++) await page.click('#undo');
  map = await settled();
  check(cellsOf(map, 'o').length === 12, 'and 201 undos take every one of them away', String(cellsOf(map, 'o').length));
  // The arrow keys scroll by four cells: a click at (5, 5) of the first
  // view then paints (5, 9).
  await page.keyboard.press('ArrowRight');
  await page.mouse.click(...at(5, 5));
  map = await settled();
  check(map[5][9] === 'o' && map[5][5] === '=', 'Right scrolls the view four cells on');
  const beforeReload = await settled();
  await page.reload();
  await ready();
  check(JSON.stringify(await kept()) === JSON.stringify(beforeReload) &&
        (await page.locator('#checks li').count()) === 5, 'the map being edited survives a reload');

  // ---- Play-test ----
  // Give the heroine a floor, then play: the game's map is the map drawn.
  await page.click('#palette button[data-char="#"]');
  await page.keyboard.press('l');
  await drag(page, at(38, 1), at(38, 30), 5);
  const drawn = await settled();
  const legend = await page.evaluate(async () => (await (await fetch('editor-data.json')).json()).levels.map((l) => Object.fromEntries(l.legend.map((e) => [e.char, e.code]))));
  const codes = (rows, n) => rows.join('').split('').map((c) => legend[n - 1][c]);
  const playsTheMap = async (frame, rows, n) => {
    await frame.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.mode() === 2, null, { timeout: 30000 });
    const got = await frame.evaluate(() => ({ level: kvTest.level(), map: kvTest.map() }));
    const want = codes(rows, n);
    const diff = want.findIndex((c, i) => c !== got.map[i]);
    return got.level === n && diff < 0 ? '' : `level ${got.level}, first cell differing ${diff}`;
  };
  await page.keyboard.press('p');
  const frame = page.frameLocator('#game');
  await page.waitForFunction(() => !document.getElementById('playtest').hidden);
  const gameFrame = await (await page.$('#game')).contentFrame();
  const played = await playsTheMap(gameFrame, drawn, 1);
  check(played === '', 'P plays the map as drawn, on its level', played);
  await frame.locator('#screen').press('Escape');
  await page.waitForFunction(() => document.getElementById('playtest').hidden, null, { timeout: 5000 }).catch(() => {});
  check(await page.evaluate(() => document.getElementById('playtest').hidden), 'Escape in the game comes back to the editor');
  await page.click('#undo');
  map = await settled();
  check(map[38][15] === '.' && map[38][0] === '#', 'the undo history is kept through the play-test');

  // ---- Links ----
  const shareLink = async () => {
    await page.click('#share');
    await page.waitForFunction(() => !document.getElementById('shared').hidden);
    return page.inputValue('#share-link');
  };
  for (const n of [1, 2, 3]) {
    await page.selectOption('#new-level', String(n));
    await page.click('#new-shipped');
    await page.waitForFunction((l) => document.getElementById('title').value === `Level ${l}`, n);
    const link = await shareLink();
    check(link.length <= 2000, `the link of level ${n}'s map fits in 2,000 characters`, `${link.length}`);
  }
  check(asked.length === 0, 'a map that meets every rule is shared without a question', asked.join('; '));
  await openText(withCell(vale, 0, 40, '.'));
  await shareLink();
  check(asked.length === 1 && /closed border/.test(asked[0]), 'a map that breaks a rule is shared only when the player says so', asked.join('; '));
  await openText(withCell(shipped[1], 70, 40, 'o'));
  await page.fill('#title', 'Deep down');
  await page.fill('#author', 'Kes');
  const link = await shareLink();
  const fresh = await b.context.newPage();
  fresh.on('pageerror', (e) => errors.push(e.message));
  await fresh.goto(link);
  await fresh.waitForFunction(() => !document.getElementById('link-view').hidden, null, { timeout: 10000 });
  check(await fresh.textContent('#link-title') === 'Deep down' && await fresh.textContent('#link-author') === 'Kes',
        'a shared link shows its title and author');
  await fresh.click('#link-play');
  const sharedRows = mapOf(withCell(shipped[1], 70, 40, 'o'));
  const sharedPlay = await playsTheMap(fresh.mainFrame(), sharedRows, 2);
  check(sharedPlay === '', 'its Play plays the same map on level 2', sharedPlay);
  await fresh.goto(b.base + 'index.html');
  await fresh.click('#more-levels li:nth-child(2) a');
  const moreRows = mapOf(readFileSync(top + 'assets/levels/more/lantern-mine.txt', 'latin1'));
  const morePlay = await playsTheMap(fresh.mainFrame(), moreRows, 2).catch((e) => e.message);
  check(morePlay === '', "the page's second link of more levels plays the Lantern Mine on level 2", morePlay);
  await fresh.close();

  // ---- Hostile links and files ----
  const pack = (text) => deflateRawSync(Buffer.from(text, 'latin1')).toString('base64url');
  const good = pack(shipped[0]);
  const hostile = {
    truncated: good.slice(0, good.length >> 1),
    altered: good.slice(0, 200) + (good[200] === 'A' ? 'B' : 'A') + good.slice(201),
    'not base64': '<img src=x onerror="window.injected=1">',
    oversized: pack(shipped[0] + '\n'.repeat(10000000)),  // 10 MB, packed in about 10 KB
    'one byte over': pack(cases.size65537),
    markup: pack(header(1, '<b onmouseover=alert(1)>x</b>') + join80(mapOf(shipped[0]))),
    'wrong size': pack(header(1) + join80(mapOf(shipped[0]).map((r) => r + '#'))),
    'unknown character': pack(withCell(shipped[0], 10, 10, '$')),
    empty: '',
  };
  for (const [name, data] of Object.entries(hostile)) {
    for (const pageName of ['editor.html', 'index.html']) {
      const p = await b.context.newPage();
      await p.goto(`${b.base}${pageName}#level=${data}`);
      const shown = await p.waitForFunction(() => { const m = document.getElementById('message'); return !m.hidden && m.textContent; },
                                            null, { timeout: 10000 }).then((h) => h.jsonValue(), () => '');
      const injected = await p.evaluate(() => window.injected === 1 || document.querySelectorAll('img, b, #message *').length > 0);
      const linkShown = await p.evaluate(() => { const v = document.getElementById('link-view'); return !!v && !v.hidden; });
      check(shown !== '' && !injected && !linkShown && (!/over/.test(name) || /more than a level file can be/.test(shown)),
            `a ${name} link is refused by ${pageName} in plain words`, shown);
      await p.close();
    }
  }
  const whole = await b.context.newPage();
  await whole.goto(`${b.base}editor.html#level=${pack(cases.size65536)}`);
  const wholeShown = await whole.waitForFunction(() => !document.getElementById('link-view').hidden, null, { timeout: 10000 })
    .then(() => true, () => false);
  check(wholeShown, 'a link of a whole 64 KB level file is taken');
  await whole.close();
  await page.goto(b.base + 'editor.html');
  await ready();
  await openText(cases.size65537, 'big.txt');
  const bigMessage = await page.textContent('#message');
  check(/64 KB/.test(bigMessage), 'a file over 64 KB is refused', bigMessage);
  await openText(cases.markup, 'markup.txt');
  const markupMessage = await page.textContent('#message');
  check(/line 3: a title holds letters/.test(markupMessage) && (await page.locator('#message *').count()) === 0,
        'a file whose title holds markup is refused, the markup shown as text', markupMessage);
  check(errors.length === 0, 'no script error on any page', errors.join('; '));
} finally {
  await b.close();
  rmSync(folder, { recursive: true, force: true });
}
finish();
