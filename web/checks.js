// What a map must give the game, checked as the player draws (the shipped
// maps meet every rule; docs/levels.md "What a map must give the game").
// Each check gives the cells it concerns, to be highlighted. A map that
// breaks a rule can still be played.
//
// codes: the map's 6400 tile codes, row by row. data: editor-data.json.

const TILE = 16;

// Where an enemy turns it may touch a wall by one pixel and hang over the
// end of its floor by up to three.
const WALL_TOUCH = 1, EDGE_OVERHANG = 3;

// The pixels an enemy covers along its whole walk (x0 .. x1), its top row
// and its height in rows: an ogre (32x48) walks from 16 * first - 1 to
// 16 * last + 1, a death ball (16x16) from 16 * first - 3 to 16 * last + 1;
// spikes stay on their cell.
export function walkOf(e, kinds) {
  if (e.kind === kinds.ogre) return { x0: TILE * e.first - 1, x1: TILE * e.last + 1 + 31, row: e.row, rows: 3 };
  if (e.kind === kinds.ball) return { x0: TILE * e.first - 3, x1: TILE * e.last + 1 + 15, row: e.row, rows: 1 };
  return { x0: TILE * e.col, x1: TILE * e.col + 15, row: e.row, rows: 1 };
}

export function checkMap(codes, levelNumber, data) {
  const n = data.mapSize;
  const solidCodes = new Set(data.solid);
  const at = (row, col) => (row < 0 || col < 0 || row >= n || col >= n ? 0 : codes[n * row + col]);
  const solid = (row, col) => solidCodes.has(at(row, col));
  const isItem = (code) => code >= data.items.first && code <= data.items.last;
  const level = data.levels[levelNumber - 1];
  const checks = [];
  const check = (id, name, cells, detail) => checks.push({ id, name, ok: cells.length === 0 && !detail, cells, detail: detail || '' });

  // A closed border.
  const border = [];
  for (let i = 0; i < n; i++)
    for (const [r, c] of [[0, i], [n - 1, i], [i, 0], [i, n - 1]])
      if (!solid(r, c) && !border.some(([a, b]) => a === r && b === c)) border.push([r, c]);
  check('border', 'A closed border', border);

  // A floor under the start: her four rows open, the cell below solid.
  const start = [];
  const sc = Math.floor(level.start.x / TILE), sr = Math.floor(level.start.y / TILE);
  for (let r = sr; r < sr + 4; r++) if (solid(r, sc)) start.push([r, sc]);
  if (!solid(sr + 4, sc)) start.push([sr + 4, sc]);
  check('start', 'A floor under the start', start);

  // A floor under every enemy's whole walk, and no wall in it.
  const walks = [];
  for (const e of level.enemies) {
    const w = walkOf(e, data.kinds);
    for (let col = Math.floor((w.x0 + EDGE_OVERHANG) / TILE); col <= Math.floor((w.x1 - EDGE_OVERHANG) / TILE); col++)
      if (!solid(w.row + w.rows, col)) walks.push([w.row + w.rows, col]);
    for (let col = Math.floor((w.x0 + WALL_TOUCH) / TILE); col <= Math.floor((w.x1 - WALL_TOUCH) / TILE); col++)
      for (let r = w.row; r < w.row + w.rows; r++) if (solid(r, col)) walks.push([r, col]);
  }
  check('walks', 'A floor under every enemy, no wall in its way', walks);

  // Every item in reach: not walled in on all four sides, and the first
  // solid cell below it at most eight rows down.
  const items = [];
  for (let row = 0; row < n; row++)
    for (let col = 0; col < n; col++) {
      if (!isItem(at(row, col))) continue;
      const walledIn = solid(row - 1, col) && solid(row + 1, col) && solid(row, col - 1) && solid(row, col + 1);
      let below = 1;
      while (row + below < n && !solid(row + below, col)) below++;
      if (walledIn || below > 8) items.push([row, col]);
    }
  check('items', 'Every item in reach', items);

  // One exit, on a floor at most four rows below it, with room to stand.
  const exits = [], badExits = [];
  for (let row = 0; row < n; row++)
    for (let col = 0; col < n; col++) {
      if (at(row, col) !== data.items.exit) continue;
      exits.push([row, col]);
      let floor = row + 1;
      while (floor < n && !solid(floor, col)) floor++;
      let room = floor - row <= 4;
      for (let r = floor - 4; r < floor; r++) if (solid(r, col)) room = false;
      if (!room) badExits.push([row, col]);
    }
  const exitWords = exits.length === 0 ? 'there is no exit' : exits.length > 1 ? `there are ${exits.length} exits` : '';
  check('exit', 'One exit with room to stand', exits.length > 1 ? exits : badExits, exitWords);
  return checks;
}
