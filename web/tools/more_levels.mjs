// The game page's list of more levels: a link for each level file given on
// the command line (assets/levels/more/*.txt) that opens the level in the
// game at once. A link packs the whole file as web/link.js does: raw deflate
// (RFC 1951), then base64url without padding, after "#level=". Prints the
// list's items, in the order of the levels they replace.
//
//   node web/tools/more_levels.mjs assets/levels/more/*.txt
import { readFileSync } from 'node:fs';
import { deflateRawSync } from 'node:zlib';

const html = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;');
const levels = [];
for (const path of process.argv.slice(2)) {
  const bytes = readFileSync(path);
  const lines = bytes.toString('latin1').split(/\r?\n/);
  const level = /^level ([123])$/.exec(lines[1]), title = /^title (.+)$/.exec(lines[2]);
  if (!level || !title) throw new Error(path + ': not a level file');
  levels.push({ level: +level[1], title: title[1], data: deflateRawSync(bytes, { level: 9 }).toString('base64url') });
}
levels.sort((a, b) => a.level - b.level);
for (const l of levels)
  console.log(`        <li><a href="index.html#level=${l.data}">${html(l.title)}</a> (level ${l.level})</li>`);
