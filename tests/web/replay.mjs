// Reads a recorded run (tests/replays) into one set of keys per pass, the
// bits the web version's feed takes: Right 1, Left 2, jump (Left Alt) 4,
// fire (Space) 8, Up 16, Down 32, Enter 64, Escape 128. The format is the
// one tools/levels/replay.h reads: "level N", then pairs "<passes> <keys>"
// with "-" for no key, a line perhaps ending in "x<count>", '#' comments.
const bits = { R: 1, L: 2, J: 4, F: 8, U: 16, D: 32, E: 64, X: 128 };

export function parseReplay(text) {
  let level = 0;
  const keys = [];
  text.split('\n').forEach((raw, n) => {
    const words = raw.replace(/#.*/, '').trim().split(/\s+/).filter(Boolean);
    if (words.length === 0 || (n === 0 && raw.startsWith('kestravale demo'))) return;
    const where = `line ${n + 1}: `;
    if (words[0] === 'level') {
      if (words.length !== 2 || !/^[123]$/.test(words[1])) throw new Error(where + 'expected "level 1", "level 2" or "level 3"');
      level = Number(words[1]);
      return;
    }
    let repeat = 1;
    if (words.length % 2 === 1 && /^x\d+$/.test(words[words.length - 1])) repeat = Number(words.pop().slice(1));
    if (words.length % 2 !== 0 || repeat < 1) throw new Error(where + 'expected pairs of <passes> <keys>');
    const line = [];
    for (let i = 0; i < words.length; i += 2) {
      const passes = Number(words[i]);
      let mask = 0;
      if (words[i + 1] !== '-')
        for (const c of words[i + 1]) {
          if (!(c in bits)) throw new Error(where + `unknown key "${c}"`);
          mask |= bits[c];
        }
      if (!(passes >= 1)) throw new Error(where + `"${words[i]}" is not a number of passes`);
      for (let p = 0; p < passes; p++) line.push(mask);
    }
    for (let r = 0; r < repeat; r++) keys.push(...line);
  });
  if (!level) throw new Error('the script names no level ("level N")');
  return { level, keys: Uint8Array.from(keys) };
}
