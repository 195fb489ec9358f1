// The level editor: a custom level's map drawn with the game's own pictures,
// painted with the level's tiles, checked as it is drawn, played at once in
// the game's page (an iframe over the editor, given the level in its link),
// shared as a link, downloaded as the file the desktop's --level reads, and
// kept in the browser. What it knows of the game (the legend, the pictures'
// files, the start and the enemies) is editor-data.json, which the build
// makes from the game's own tables.

import { checkMap, walkOf } from './checks.js';
import { decodeLevel, encodeLevel, fragment, linkData, LinkError } from './link.js';
import { LevelError, plainName, readLevel, writeLevel } from './levelfile.js';

const $ = (id) => document.getElementById(id);
const canvas = $('map');
const ctx = canvas.getContext('2d');
const messageBox = $('message');
const CURRENT = 'kestravale-editor-current';  // localStorage: the map being edited
const MINE = 'kestravale-editor-levels';  // localStorage: the player's kept levels
const UNDO_STEPS = 1000;
const ZOOMS = [4, 6, 8, 12, 16, 24, 32, 48];
const HIGHLIGHT = 'rgba(255, 40, 40, 0.55)';

function say(text) {
  messageBox.textContent = text;
  messageBox.hidden = !text;
}

// ---- The game's pictures: 8-bit BMPs with their palettes ----

// An 8-bit BMP as a canvas; pure green (the sheets' transparent colour) is
// left transparent.
function bmpCanvas(buffer) {
  const v = new DataView(buffer);
  const pixelsAt = v.getUint32(10, true), headerSize = v.getUint32(14, true);
  const w = v.getInt32(18, true), rawH = v.getInt32(22, true), bits = v.getUint16(28, true);
  if (bits !== 8) throw new Error('not an 8-bit picture');
  const h = Math.abs(rawH), colours = v.getUint32(46, true) || 256;
  const palette = [];
  for (let i = 0; i < colours; i++) {
    const o = 14 + headerSize + 4 * i;
    palette.push([v.getUint8(o + 2), v.getUint8(o + 1), v.getUint8(o)]);
  }
  const pitch = (w + 3) & ~3;
  const c = document.createElement('canvas');
  c.width = w;
  c.height = h;
  const g = c.getContext('2d');
  const img = g.createImageData(w, h);
  for (let y = 0; y < h; y++) {
    const src = pixelsAt + pitch * (rawH > 0 ? h - 1 - y : y);
    for (let x = 0; x < w; x++) {
      const [r, gr, b] = palette[v.getUint8(src + x)] || [0, 0, 0];
      const o = 4 * (y * w + x);
      img.data[o] = r;
      img.data[o + 1] = gr;
      img.data[o + 2] = b;
      img.data[o + 3] = r === 0 && gr === 255 && b === 0 ? 0 : 255;
    }
  }
  g.putImageData(img, 0, 0);
  return c;
}

async function fetchBytes(file) {
  const r = await fetch(file);
  if (!r.ok) throw new Error(`${file} could not be loaded (${r.status})`);
  return r.arrayBuffer();
}

// ---- The level being edited ----

let data;  // editor-data.json
const pictures = {};
const sky = {};  // each level's backdrop's top colour
let level;  // { level, title, author, rows: [80 strings] } as read; cells below
let cells;  // Uint8Array: the character of each cell
let codeOf;  // the level's legend: character code to tile code
let undo = [], redo = [];
let checks = [];
let shownCheck = null;

function legendOf(n) {
  return data.levels[n - 1].legend;
}

function setLevel(l) {
  level = { level: l.level, title: l.title, author: l.author };
  cells = new Uint8Array(data.mapSize * data.mapSize);
  l.rows.forEach((row, r) => { for (let c = 0; c < row.length; c++) cells[r * data.mapSize + c] = row.charCodeAt(c); });
  codeOf = new Map(legendOf(l.level).map((e) => [e.char.charCodeAt(0), e.code]));
  $('title').value = l.title;
  $('author').value = l.author;
  $('level-name').textContent = `a map for level ${l.level}`;
  $('new-level').value = String(l.level);
  undo = [];
  redo = [];
  buildPalette();
  changed();
}

function rows() {
  const n = data.mapSize, out = [];
  for (let r = 0; r < n; r++) out.push(String.fromCharCode.apply(null, cells.subarray(r * n, r * n + n)));
  return out;
}

function fileText() {
  const name = (s, none) => (plainName(s, data) ? s : none);
  return writeLevel({ level: level.level, title: name(level.title, 'Untitled'), author: name(level.author, 'Anonymous'), rows: rows() });
}

function codes() {
  const out = new Int32Array(cells.length);
  for (let i = 0; i < cells.length; i++) out[i] = codeOf.get(cells[i]) ?? 0;
  return out;
}

function emptyLevel(n) {
  const block = legendOf(n).find((e) => e.code === data.levels[n - 1].block)?.char || '#';
  const size = data.mapSize;
  const edge = block.repeat(size), inside = block + '.'.repeat(size - 2) + block;
  const r = [];
  for (let i = 0; i < size; i++) r.push(i === 0 || i === size - 1 ? edge : inside);
  return { level: n, title: 'My level', author: 'Me', rows: r };
}

async function shippedLevel(n) {
  const bytes = new DataView(await fetchBytes(data.levelFiles[n - 1]));
  const charOf = new Map();
  for (const e of legendOf(n)) if (!charOf.has(e.code)) charOf.set(e.code, e.char);
  const size = data.mapSize, r = [];
  for (let row = 0; row < size; row++) {
    let s = '';
    for (let col = 0; col < size; col++) s += charOf.get(bytes.getInt32(4 * (row * size + col), true)) || '.';
    r.push(s);
  }
  return { level: n, title: `Level ${n}`, author: 'The Vale crew', rows: r };
}

// ---- Changes, undo and redo ----

let stroke = null;  // Map: cell index to [old, new] of the change being drawn

function setCell(i, ch) {
  if (i < 0 || i >= cells.length || cells[i] === ch) return;
  if (!stroke) stroke = new Map();
  const was = stroke.has(i) ? stroke.get(i)[0] : cells[i];
  stroke.set(i, [was, ch]);
  cells[i] = ch;
}

function commit() {
  if (stroke && stroke.size) {
    undo.push(stroke);
    if (undo.length > UNDO_STEPS) undo.shift();
    redo = [];
  }
  stroke = null;
  changed();
}

function step(from, to, which) {
  const s = from.pop();
  if (!s) return;
  for (const [i, pair] of s) cells[i] = pair[which];
  to.push(s);
  changed();
}

let saveTimer = 0;
function changed() {
  checks = checkMap(codes(), level.level, data);
  showChecks();
  draw();
  clearTimeout(saveTimer);
  saveTimer = setTimeout(keep, 100);
  $('undo').disabled = undo.length === 0;
  $('redo').disabled = redo.length === 0;
}

function keep() {
  try {
    localStorage.setItem(CURRENT, fileText());
  } catch (e) {
    say('The browser would not keep the map (its storage is full or turned off).');
  }
}

// ---- The view ----

const view = { zoom: 16, x: 0, y: 0 };

function resize() {
  const r = canvas.getBoundingClientRect();
  canvas.width = Math.max(1, Math.round(r.width));
  canvas.height = Math.max(1, Math.round(r.height));
  draw();
}

function clampView() {
  const world = data.mapSize * view.zoom;
  view.x = Math.max(-view.zoom * 2, Math.min(view.x, world - canvas.width + view.zoom * 2));
  view.y = Math.max(-view.zoom * 2, Math.min(view.y, world - canvas.height + view.zoom * 2));
}

function zoomBy(dir, cx = canvas.width / 2, cy = canvas.height / 2) {
  const i = ZOOMS.indexOf(view.zoom);
  const z = ZOOMS[Math.max(0, Math.min(ZOOMS.length - 1, i + dir))];
  view.x = ((view.x + cx) * z) / view.zoom - cx;
  view.y = ((view.y + cy) * z) / view.zoom - cy;
  view.zoom = z;
  clampView();
  draw();
}

function cellAt(px, py) {
  return [Math.floor((py + view.y) / view.zoom), Math.floor((px + view.x) / view.zoom)];
}

// ---- Drawing ----

let preview = null;  // cells a line or a rectangle would paint

function draw() {
  if (!data || !cells) return;
  const z = view.zoom, T = data.tile, n = data.mapSize, k = z / T;
  ctx.imageSmoothingEnabled = false;
  ctx.fillStyle = '#000';
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  ctx.save();
  ctx.translate(-view.x, -view.y);
  ctx.fillStyle = sky[level.level];
  ctx.fillRect(0, 0, n * z, n * z);
  const c0 = Math.max(0, Math.floor(view.x / z)), c1 = Math.min(n - 1, Math.floor((view.x + canvas.width) / z));
  const r0 = Math.max(0, Math.floor(view.y / z)), r1 = Math.min(n - 1, Math.floor((view.y + canvas.height) / z));
  const frames = frameOf();
  for (let r = r0; r <= r1; r++)
    for (let c = c0; c <= c1; c++) {
      const f = frames.get(cells[r * n + c]);
      if (f > 0) ctx.drawImage(pictures.tiles, T * f, 0, T, T, c * z, r * z, z, z);
    }
  // The enemies where the level puts them, a line over each patrol.
  const lv = data.levels[level.level - 1];
  ctx.strokeStyle = '#ff6';
  ctx.lineWidth = Math.max(2, k);
  for (const e of lv.enemies) {
    const pic = e.kind === data.kinds.ogre ? pictures.ogre : e.kind === data.kinds.ball ? pictures.ball : pictures.spikes;
    const w = e.kind === data.kinds.ogre ? 32 : 16, h = e.kind === data.kinds.ogre ? 48 : 16;
    ctx.drawImage(pic, 0, 0, w, h, e.col * z, e.row * z, w * k, h * k);
    if (e.kind !== data.kinds.spikes) {
      const walk = walkOf(e, data.kinds), y = (e.row * T - 3) * k;
      ctx.beginPath();
      ctx.moveTo(walk.x0 * k, y);
      ctx.lineTo(walk.x1 * k, y);
      ctx.moveTo(walk.x0 * k, y - 3 * k);
      ctx.lineTo(walk.x0 * k, y);
      ctx.moveTo(walk.x1 * k, y - 3 * k);
      ctx.lineTo(walk.x1 * k, y);
      ctx.stroke();
    }
  }
  // The heroine's start: she appears in the red box and falls to the floor.
  const s = lv.start;
  const sc = Math.floor(s.x / T);
  let floor = Math.floor(s.y / T) + 4;
  const solid = new Set(data.solid);
  while (floor < n && !solid.has(codeOf.get(cells[floor * n + sc]))) floor++;
  ctx.drawImage(pictures.heroine, 16 * 5, 0, 16, 64, s.x * k, (floor * T - 64) * k, 16 * k, 64 * k);
  ctx.strokeStyle = '#f44';
  ctx.strokeRect((s.x - 1) * k, (s.y - 1) * k, 18 * k, 66 * k);
  // What the checks find, and what a line or a rectangle would paint.
  ctx.fillStyle = HIGHLIGHT;
  for (const ch of checks)
    if (!ch.ok && (shownCheck === null || shownCheck === ch.id))
      for (const [r, c] of ch.cells) ctx.fillRect(c * z, r * z, z, z);
  if (preview) {
    ctx.fillStyle = 'rgba(255, 204, 102, 0.45)';
    for (const i of preview) ctx.fillRect((i % n) * z, Math.floor(i / n) * z, z, z);
  }
  ctx.restore();
}

let frameCache = null;
function frameOf() {
  if (!frameCache || frameCache.level !== level.level) {
    frameCache = new Map(legendOf(level.level).map((e) => [e.char.charCodeAt(0), e.frame]));
    frameCache.level = level.level;
  }
  return frameCache;
}

// ---- The palette ----

let brush = '#';

function tileIcon(frame) {
  const c = document.createElement('canvas');
  c.width = c.height = data.tile;
  const g = c.getContext('2d');
  g.fillStyle = sky[level.level];
  g.fillRect(0, 0, c.width, c.height);
  if (frame > 0) g.drawImage(pictures.tiles, data.tile * frame, 0, data.tile, data.tile, 0, 0, data.tile, data.tile);
  return c;
}

function buildPalette() {
  const box = $('palette');
  box.textContent = '';
  const solid = new Set(data.solid);
  const isItem = (code) => code >= data.items.first && code <= data.items.last;
  const groups = [['Blocks', (e) => solid.has(e.code) || e.code === 0], ['Items', (e) => isItem(e.code)],
                  ['Decorations', (e) => !solid.has(e.code) && !isItem(e.code) && e.code !== 0]];
  for (const [name, fits] of groups) {
    const label = document.createElement('div');
    label.className = 'group';
    label.textContent = name;
    box.appendChild(label);
    for (const e of legendOf(level.level).filter(fits)) {
      const b = document.createElement('button');
      b.dataset.char = e.char;
      b.title = `${e.what} (${e.char})`;
      b.setAttribute('aria-label', e.what);
      b.appendChild(tileIcon(e.frame));
      b.addEventListener('click', () => setBrush(e.char));
      box.appendChild(b);
    }
  }
  setBrush(codeOf.has(brush.charCodeAt(0)) ? brush : '#');
}

function setBrush(ch) {
  brush = ch;
  for (const b of $('palette').querySelectorAll('button')) b.setAttribute('aria-pressed', String(b.dataset.char === ch));
  const e = legendOf(level.level).find((x) => x.char === ch);
  $('brush-name').textContent = e ? `: ${e.what}` : '';
  if (tool === 'erase' || tool === 'pick') setTool('paint');
}

// ---- The checks ----

function showChecks() {
  const list = $('checks');
  list.textContent = '';
  for (const ch of checks) {
    const li = document.createElement('li');
    li.dataset.check = ch.id;
    li.className = (ch.ok ? 'ok' : 'bad') + (shownCheck === ch.id ? ' shown' : '');
    const where = ch.cells.slice(0, 3).map(([r, c]) => `row ${r}, column ${c}`).join('; ');
    li.textContent = (ch.ok ? '\u2714 ' : '\u2716 ') + ch.name +
      (ch.ok ? '' : ': ' + [ch.detail, ch.cells.length ? `${ch.cells.length} cell${ch.cells.length > 1 ? 's' : ''} (${where}${ch.cells.length > 3 ? '...' : ''})` : ''].filter(Boolean).join('; '));
    li.addEventListener('click', () => {
      shownCheck = shownCheck === ch.id ? null : ch.id;
      if (shownCheck && ch.cells.length) {
        const [r, c] = ch.cells[0];
        view.x = c * view.zoom - canvas.width / 2;
        view.y = r * view.zoom - canvas.height / 2;
        clampView();
      }
      showChecks();
      draw();
    });
    list.appendChild(li);
  }
}

// ---- Tools ----

let tool = 'paint';

function setTool(t) {
  tool = t;
  for (const b of $('tools').querySelectorAll('[data-tool]')) b.setAttribute('aria-pressed', String(b.dataset.tool === t));
}

function lineCells(a, b) {
  const n = data.mapSize, out = [];
  let [r0, c0] = a;
  const [r1, c1] = b;
  const dc = Math.abs(c1 - c0), dr = -Math.abs(r1 - r0), sc = c0 < c1 ? 1 : -1, sr = r0 < r1 ? 1 : -1;
  let err = dc + dr;
  for (;;) {
    if (r0 >= 0 && c0 >= 0 && r0 < n && c0 < n) out.push(r0 * n + c0);
    if (r0 === r1 && c0 === c1) break;
    const e2 = 2 * err;
    if (e2 >= dr) { err += dr; c0 += sc; }
    if (e2 <= dc) { err += dc; r0 += sr; }
  }
  return out;
}

function rectCells(a, b) {
  const n = data.mapSize, out = [];
  for (let r = Math.max(0, Math.min(a[0], b[0])); r <= Math.min(n - 1, Math.max(a[0], b[0])); r++)
    for (let c = Math.max(0, Math.min(a[1], b[1])); c <= Math.min(n - 1, Math.max(a[1], b[1])); c++) out.push(r * n + c);
  return out;
}

const pointers = new Map();  // pointerId: last position
let drag = null;  // { start, last } of the tool's drag
let pan = null;  // { x, y, dist } of a pan (or a pinch)

function position(e) {
  const r = canvas.getBoundingClientRect();
  return [e.clientX - r.left, e.clientY - r.top];
}

function inMap([r, c]) {
  return r >= 0 && c >= 0 && r < data.mapSize && c < data.mapSize;
}

function toolDown(at) {
  const cell = cellAt(...at);
  if (tool === 'pick') {
    if (inMap(cell)) setBrush(String.fromCharCode(cells[cell[0] * data.mapSize + cell[1]]));
    return;
  }
  drag = { start: cell, last: cell };
  toolMove(at);
}

function toolMove(at) {
  if (!drag) return;
  const cell = cellAt(...at);
  const ch = (tool === 'erase' ? '.' : brush).charCodeAt(0);
  if (tool === 'paint' || tool === 'erase') {
    for (const i of lineCells(drag.last, cell)) setCell(i, ch);
    drag.last = cell;
    draw();
  } else {
    preview = tool === 'line' ? lineCells(drag.start, cell) : rectCells(drag.start, cell);
    draw();
  }
}

function toolUp() {
  if (!drag) return;
  const ch = (tool === 'erase' ? '.' : brush).charCodeAt(0);
  if (preview) for (const i of preview) setCell(i, ch);
  preview = null;
  drag = null;
  commit();
}

canvas.addEventListener('pointerdown', (e) => {
  canvas.focus();
  canvas.setPointerCapture(e.pointerId);
  pointers.set(e.pointerId, position(e));
  if (pointers.size === 2 || e.button === 1 || e.button === 2) {
    if (drag) toolUp();
    const ps = [...pointers.values()];
    pan = { at: ps.length === 2 ? [(ps[0][0] + ps[1][0]) / 2, (ps[0][1] + ps[1][1]) / 2] : ps[0],
            dist: ps.length === 2 ? Math.hypot(ps[0][0] - ps[1][0], ps[0][1] - ps[1][1]) : 0 };
    return;
  }
  if (e.button === 0 && pointers.size === 1) toolDown(position(e));
});
canvas.addEventListener('pointermove', (e) => {
  if (!pointers.has(e.pointerId)) return;
  pointers.set(e.pointerId, position(e));
  if (pan) {
    const ps = [...pointers.values()];
    const at = ps.length >= 2 ? [(ps[0][0] + ps[1][0]) / 2, (ps[0][1] + ps[1][1]) / 2] : ps[0];
    view.x -= at[0] - pan.at[0];
    view.y -= at[1] - pan.at[1];
    pan.at = at;
    if (ps.length >= 2 && pan.dist) {
      const d = Math.hypot(ps[0][0] - ps[1][0], ps[0][1] - ps[1][1]);
      if (d > pan.dist * 1.4 || d < pan.dist / 1.4) {
        zoomBy(d > pan.dist ? 1 : -1, at[0], at[1]);
        pan.dist = d;
      }
    }
    clampView();
    draw();
  } else {
    toolMove(position(e));
  }
});
function pointerEnd(e) {
  pointers.delete(e.pointerId);
  if (pointers.size === 0) {
    pan = null;
    toolUp();
  }
}
canvas.addEventListener('pointerup', pointerEnd);
canvas.addEventListener('pointercancel', pointerEnd);
canvas.addEventListener('contextmenu', (e) => e.preventDefault());
canvas.addEventListener('wheel', (e) => {
  e.preventDefault();
  if (e.ctrlKey) {
    zoomBy(e.deltaY < 0 ? 1 : -1, ...position(e));
    return;
  }
  view.x += e.shiftKey ? e.deltaY : e.deltaX;
  view.y += e.shiftKey ? 0 : e.deltaY;
  clampView();
  draw();
}, { passive: false });

const toolKeys = { b: 'paint', l: 'line', r: 'rect', e: 'erase', i: 'pick' };
window.addEventListener('keydown', (e) => {
  if (!$('playtest').hidden) return;
  if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement) return;
  const key = e.key.toLowerCase();
  if ((e.ctrlKey || e.metaKey) && key === 'z') step(...(e.shiftKey ? [redo, undo, 1] : [undo, redo, 0]));
  else if ((e.ctrlKey || e.metaKey) && key === 'y') step(redo, undo, 1);
  else if (e.ctrlKey || e.metaKey || e.altKey) return;
  else if (toolKeys[key]) setTool(toolKeys[key]);
  else if (key === 'p') playTest();
  else if (key === '+' || key === '=') zoomBy(1);
  else if (key === '-') zoomBy(-1);
  else if (e.key.startsWith('Arrow')) {
    const d = 4 * view.zoom;
    view.x += e.key === 'ArrowLeft' ? -d : e.key === 'ArrowRight' ? d : 0;
    view.y += e.key === 'ArrowUp' ? -d : e.key === 'ArrowDown' ? d : 0;
    clampView();
    draw();
  } else return;
  e.preventDefault();
});

// ---- Play-test: the game's page over the editor, given the level ----

async function levelLink() {
  return fragment(await encodeLevel(new TextEncoder().encode(fileText())));
}

async function playTest() {
  keep();
  const frame = $('game');
  frame.src = 'index.html' + (await levelLink());
  $('playtest').hidden = false;
  frame.focus();
}

function backToEditor() {
  if ($('playtest').hidden) return;
  $('game').src = 'about:blank';
  $('playtest').hidden = true;
  canvas.focus();
}

window.addEventListener('message', (e) => {
  if (e.origin === location.origin && e.data && e.data.kestravale === 'back') backToEditor();
});
window.addEventListener('keydown', (e) => { if (e.key === 'Escape') backToEditor(); });

// ---- Sharing, files and the player's own levels ----

async function share() {
  const bad = checks.filter((c) => !c.ok);
  if (bad.length && !confirm(`This level breaks ${bad.length === 1 ? 'a rule' : bad.length + ' rules'} of the game: ` +
                             bad.map((c) => c.name.toLowerCase()).join(', ') + '. Share it anyway?'))
    return;
  // The link of the map shared before must not stand while this one is packed:
  // packing waits on the browser's compressor, and a copy taken meanwhile
  // would share the old map.
  $('shared').hidden = true;
  const link = new URL('editor.html' + (await levelLink()), location.href).href;
  $('share-link').value = link;
  $('shared').hidden = false;
  $('share-link').select();
}

function download() {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([fileText()], { type: 'text/plain' }));
  a.download = (level.title.replace(/[^A-Za-z0-9]+/g, '-').replace(/^-|-$/g, '').toLowerCase() || 'level') + '.txt';
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
}

// A level from bytes that came from outside: read as the game reads it.
function loadBytes(bytes, from) {
  try {
    setLevel(readLevel(bytes, data));
    say('');
    return true;
  } catch (e) {
    if (!(e instanceof LevelError)) throw e;
    say(`${from} is not a level the game can play: ${e.message}.`);
    return false;
  }
}

async function openFile(file) {
  if (file.size > data.fileMax) {
    say(`${file.name} is not a level the game can play: it is larger than a level file can be (64 KB).`);
    return;
  }
  loadBytes(new Uint8Array(await file.arrayBuffer()), file.name);
}

function mine() {
  try {
    const list = JSON.parse(localStorage.getItem(MINE) || '[]');
    return Array.isArray(list) ? list.filter((l) => l && typeof l.text === 'string') : [];
  } catch (e) {
    return [];
  }
}

function showMine() {
  const list = $('my-levels');
  list.textContent = '';
  mine().forEach((l, i) => {
    const li = document.createElement('li');
    li.textContent = String(l.name);
    const open = document.createElement('button');
    open.textContent = 'Open';
    open.addEventListener('click', () => loadBytes(new TextEncoder().encode(l.text), `"${l.name}"`));
    const del = document.createElement('button');
    del.textContent = 'Delete';
    del.addEventListener('click', () => {
      const all = mine();
      all.splice(i, 1);
      localStorage.setItem(MINE, JSON.stringify(all));
      showMine();
    });
    li.append(open, del);
    list.appendChild(li);
  });
}

function saveMine() {
  const all = mine().filter((l) => l.name !== level.title);
  all.unshift({ name: level.title, text: fileText() });
  try {
    localStorage.setItem(MINE, JSON.stringify(all));
  } catch (e) {
    say('The browser would not keep the level (its storage is full or turned off).');
  }
  showMine();
}

// ---- A shared link: its title and author, Play and Edit ----

async function showLink(dataPart) {
  let l;
  try {
    l = readLevel(await decodeLevel(dataPart), data);
  } catch (e) {
    if (!(e instanceof LinkError || e instanceof LevelError)) throw e;
    say(e instanceof LinkError ? e.message : `This link does not hold a level the game can play: ${e.message}.`);
    return;
  }
  $('link-title').textContent = l.title;
  $('link-author').textContent = l.author;
  $('link-level').textContent = `level ${l.level}`;
  $('link-play').href = 'index.html' + fragment(dataPart);
  $('link-view').hidden = false;
  $('link-edit').onclick = () => {
    setLevel(l);
    $('link-view').hidden = true;
    history.replaceState(null, '', location.pathname);
  };
}

// ---- Start ----

function bind() {
  for (const b of $('tools').querySelectorAll('[data-tool]')) b.addEventListener('click', () => setTool(b.dataset.tool));
  $('undo').addEventListener('click', () => step(undo, redo, 0));
  $('redo').addEventListener('click', () => step(redo, undo, 1));
  $('zoom-in').addEventListener('click', () => zoomBy(1));
  $('zoom-out').addEventListener('click', () => zoomBy(-1));
  $('play').addEventListener('click', playTest);
  $('back').addEventListener('click', backToEditor);
  $('share').addEventListener('click', share);
  $('copy').addEventListener('click', () => navigator.clipboard && navigator.clipboard.writeText($('share-link').value).catch(() => {}));
  $('download').addEventListener('click', download);
  $('open').addEventListener('click', () => $('open-file').click());
  $('open-file').addEventListener('change', (e) => { if (e.target.files[0]) openFile(e.target.files[0]); e.target.value = ''; });
  $('save').addEventListener('click', saveMine);
  $('new-empty').addEventListener('click', () => setLevel(emptyLevel(Number($('new-level').value))));
  $('new-shipped').addEventListener('click', async () => setLevel(await shippedLevel(Number($('new-level').value))));
  // A title or an author keeps to what the game takes.
  for (const id of ['title', 'author'])
    $(id).addEventListener('input', () => {
      const el = $(id), clean = el.value.replace(/[^a-zA-Z0-9 .,!?'\-:()+/]/g, '').slice(0, data.nameMax);
      if (clean !== el.value) el.value = clean;
      level[id] = clean;
      keep();
    });
  window.addEventListener('resize', resize);
}

async function start() {
  const r = await fetch('editor-data.json');
  if (!r.ok) throw new Error('editor-data.json could not be loaded');
  data = await r.json();
  for (const [name, file] of Object.entries(data.pictures)) pictures[name] = bmpCanvas(await fetchBytes(file));
  for (const lv of data.levels) {
    const back = bmpCanvas(await fetchBytes(lv.backdrop));
    const [r0, g0, b0] = back.getContext('2d').getImageData(back.width >> 1, 8, 1, 1).data;
    sky[lv.number] = `rgb(${r0}, ${g0}, ${b0})`;
    lv.block = lv.legend.find((e) => e.char === '#').code;
  }
  bind();
  setTool('paint');
  const kept = localStorage.getItem(CURRENT);
  let restored = false;
  if (kept) {
    try {
      setLevel(readLevel(new TextEncoder().encode(kept), data));
      restored = true;
    } catch (e) {
      restored = false;
    }
  }
  if (!restored) setLevel(emptyLevel(1));
  showMine();
  resize();
  const link = linkData(location.hash);
  if (link !== null) await showLink(link);
  document.documentElement.dataset.ready = 'true';
}

start().catch((e) => say('The editor could not start: ' + e.message));
