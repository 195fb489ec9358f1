// The run links' decoder (web/link.js) against inputs nobody would send on
// purpose, in Node.js (which has the browser's compression streams): random
// characters, real links cut, altered and grown, and packed files that
// unpack far past their limit. Every input must end in one of two ways:
// the run's bytes (and its level's), each within its limit, or a LinkError
// whose words start "This link". Anything else (another error, a hang, a
// file past its limit) is a fault. The same seed every run, printed, so
// that a failure can be repeated; KV_LINK_FUZZ_SEED=N tries another.
//   node tests/web/link_fuzz.mjs [inputs, default 4000]

import { readFileSync } from 'node:fs';
import { deflateRawSync } from 'node:zlib';

const top = new URL('../..', import.meta.url).pathname;
const link = await import(new URL('../../web/link.js', import.meta.url));

const count = Number(process.argv[2] || 4000);
const seed = Number(process.env.KV_LINK_FUZZ_SEED || 20261207);
console.log(`link fuzz: ${count} inputs, seed ${seed}`);

// A small generator of our own (xorshift32), the same everywhere.
let state = seed >>> 0 || 1;
function next() {
  state ^= state << 13; state >>>= 0;
  state ^= state >>> 17;
  state ^= state << 5; state >>>= 0;
  return state;
}
const below = (n) => next() % n;
const ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
const OTHERS = '.=+/!%# \n\u00e9<>';
const pack = (bytes) => deflateRawSync(Buffer.from(bytes)).toString('base64url');

const run = readFileSync(`${top}/tests/replays/level1.txt`);
const level = readFileSync(`${top}/assets/levels/more/lantern-mine.txt`);
const seeds = [
  await link.encodeRun(run),
  await link.encodeRun(Buffer.from('kestravale demo 1\nlevel 1\n'), level),
  pack(Buffer.alloc(link.RUN_FILE_MAX + 1, 65)),  // a run one byte past its limit
  pack(Buffer.alloc(link.RUN_FILE_MAX, 65)),  // a run at its limit
  pack(Buffer.from('x')) + '.' + pack(Buffer.alloc(link.FILE_MAX + 1, 35)),  // a level one byte past its limit
];

function randomText(n, alphabet) {
  let s = '';
  for (let i = 0; i < n; i++) s += alphabet[below(alphabet.length)];
  return s;
}
function mutate(s) {
  switch (below(7)) {
    case 0: return s.slice(0, below(s.length + 1));  // cut
    case 1: { const i = below(s.length); return s.slice(0, i) + ALPHABET[below(64)] + s.slice(i + 1); }  // altered
    case 2: { const i = below(s.length + 1); return s.slice(0, i) + randomText(1 + below(8), ALPHABET + OTHERS) + s.slice(i); }
    case 3: return s + '.' + s.slice(0, below(s.length));  // a level part of a run
    case 4: return s.replace('.', '..');
    case 5: return s + s;  // grown
    default: { const i = below(s.length), j = below(s.length); return s.slice(0, Math.min(i, j)) + s.slice(Math.max(i, j)); }
  }
}
function input(k) {
  if (k < seeds.length) return seeds[k];
  if (below(4) === 0) return randomText(below(9000), below(8) ? ALPHABET : ALPHABET + OTHERS);
  let s = seeds[below(seeds.length)];
  for (let m = 1 + below(3); m > 0; m--) s = mutate(s);
  return s;
}

let faults = 0, decoded = 0, refused = 0;
const said = new Set();
for (let k = 0; k < count; k++) {
  const data = input(k);
  let outcome;
  try {
    const r = await Promise.race([link.decodeRun(data),
                                  new Promise((_, no) => setTimeout(() => no(new Error('no answer in 10 s')), 10000))]);
    const within = r.run.length <= link.RUN_FILE_MAX && (r.level === null || r.level.length <= link.FILE_MAX);
    outcome = within ? 'decoded' : `a file past its limit (${r.run.length}, ${r.level && r.level.length})`;
  } catch (e) {
    outcome = e instanceof link.LinkError && /^This link /.test(e.message) ? 'refused' : `${e.name}: ${e.message}`;
    if (outcome === 'refused') said.add(e.message.replace(/\d+/g, 'N'));
  }
  if (outcome === 'decoded') decoded++;
  else if (outcome === 'refused') refused++;
  else if (faults++ < 5) console.log(`FAIL input ${k} (${data.length} characters, ${JSON.stringify(data.slice(0, 40))}...): ${outcome}`);
}
// The seeds themselves: the two real runs decode, the three past or at
// their limits as their sizes say.
const expect = [true, true, false, true, false];
for (let k = 0; k < seeds.length; k++) {
  const ok = await link.decodeRun(seeds[k]).then(() => true, () => false);
  if (ok !== expect[k]) faults++, console.log(`FAIL seed ${k}: ${ok ? 'decoded' : 'refused'}`);
}
console.log(`link fuzz: ${decoded} decoded, ${refused} refused in ${said.size} different words, ${faults} faults`);
console.log(faults ? 'link fuzz: FAIL' : 'link fuzz: all passed');
process.exit(faults ? 1 : 0);
