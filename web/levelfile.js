// The custom level file in the browser: read exactly as the game reads it
// (src/world/custom.cpp; tests/web/editor.mjs holds the two to the same
// verdicts and the same words), and written as the game's --level takes it.
// The legend comes from editor-data.json, which the build makes from the
// game's own table.
//
//   kestravale level 1
//   level N
//   title <a few words>
//   author <a few words>
//   <80 rows of 80 characters in level N's legend>

export class LevelError extends Error {}

const PLAIN = /^[a-zA-Z0-9 .,!?'\-:()+/]*$/;

// The lines of the text as the game splits them: at '\n', one '\r' before
// it dropped; the text's end ends the last line.
function reader(bytes) {
  let at = 0, line = 0;
  return {
    get line() { return line; },
    next() {
      if (at >= bytes.length) return null;
      let stop = bytes.indexOf(10, at);
      const start = at;
      at = stop < 0 ? bytes.length : stop + 1;
      if (stop < 0) stop = bytes.length;
      line++;
      let end = stop;
      if (end > start && bytes[end - 1] === 13) end--;
      return bytes.subarray(start, end);
    },
  };
}

function text(bytes) {
  return String.fromCharCode.apply(null, bytes);
}

// Reads a level file's bytes; returns { level, title, author, rows } or
// throws a LevelError with the game's own words for what is wrong.
export function readLevel(bytes, data) {
  const r = reader(bytes);
  const fault = (why) => new LevelError(r.line > 0 ? `line ${r.line}: ${why}` : why);
  if (bytes.length > data.fileMax) throw fault('too large for a level (a level file is at most 64 KB)');
  if (bytes.length === 0) throw fault('empty: not a level');
  if (bytes.indexOf(0) >= 0) throw fault('not a level: it holds bytes that are not text');

  let line = r.next();
  if (!line || line.length !== 18 || text(line.subarray(0, 17)) !== 'kestravale level ')
    throw fault('not a level: it must begin with "kestravale level 1"');
  if (line[17] !== 49) throw fault('a level of another version; this game reads version 1');
  line = r.next();
  if (!line || line.length !== 7 || text(line.subarray(0, 6)) !== 'level ' || line[6] < 49 || line[6] > 51)
    throw fault('expected "level 1", "level 2" or "level 3"');
  const level = line[6] - 48;
  const name = (word) => {
    const l = r.next();
    const w = word.length;
    if (!l || l.length < w + 1 || text(l.subarray(0, w)) !== word || l[w] !== 32)
      throw fault(`expected "${word}" and a few words`);
    const len = l.length - w - 1;
    if (len < 1 || len > data.nameMax) throw fault(`a ${word} is 1 to ${data.nameMax} characters long`);
    const s = text(l.subarray(w + 1));
    if (!PLAIN.test(s)) throw fault(`a ${word} holds letters, digits, spaces and .,!?'-:()+/ only`);
    return s;
  };
  const title = name('title');
  const author = name('author');

  const known = new Set(data.levels[level - 1].legend.map((e) => e.char.charCodeAt(0)));
  const rows = [];
  for (let row = 0; row < data.mapSize; row++) {
    line = r.next();
    if (!line) throw fault(`the map ends after ${row} rows; a map has 80`);
    if (line.length !== data.mapSize) throw fault(`a map row is 80 characters, this one ${line.length}`);
    for (let col = 0; col < data.mapSize; col++) {
      const c = line[col];
      if (!known.has(c))
        throw fault(c >= 32 && c < 127 ? `column ${col + 1}: '${String.fromCharCode(c)}' is not in level ${level}'s legend`
                                       : `column ${col + 1}: byte ${c} is not in level ${level}'s legend`);
    }
    rows.push(text(line));
  }
  while ((line = r.next()) !== null)
    if (line.length > 0) throw fault('the map has 80 rows; nothing may follow them');
  return { level, title, author, rows };
}

// The file's text for a level.
export function writeLevel(level) {
  return `kestravale level 1\nlevel ${level.level}\ntitle ${level.title}\nauthor ${level.author}\n` +
         level.rows.map((r) => r + '\n').join('');
}

// Whether a title or an author is one the game takes.
export function plainName(s, data) {
  return s.length >= 1 && s.length <= data.nameMax && PLAIN.test(s);
}
