// Levels and runs in links. A link carries a whole file in its # fragment,
// so that any static host serves it and nothing is uploaded:
//
//   editor.html#level=<data>    shows the level's title and author, with Play and Edit
//   index.html#level=<data>     plays it at once
//   index.html#run=<data>       watches a run (a demo file, docs/demos.md)
//   index.html#run=<data>.<level data>   a run made on a custom level, with the level
//
// <data> is the file's bytes compressed with deflate without header
// ('deflate-raw', RFC 1951), then written in base64url (RFC 4648 section 5:
// A-Z a-z 0-9 - _, no padding). A shipped level makes about 900
// characters, a level's whole run about 2,000. A link is untrusted: one
// longer than its limit, one that is not base64url, whose data is cut short
// or altered, or that inflates past its file limit is refused with a plain
// message (inflating stops there); what it holds is then read as any level
// file (levelfile.js) or demo (the game's own reader) is.

export const FILE_MAX = 65536;  // bytes of a level file, as the game reads them
export const LINK_MAX = 100000;  // characters of a link's data
export const KEY = 'level';
export const RUN_KEY = 'run';
export const RUN_FILE_MAX = 1 << 20;  // bytes of a run's demo file from a link
export const RUN_LINK_MAX = 8000;  // characters of a run link's data, its level's included

export class LinkError extends Error {}

function base64url(bytes) {
  let s = '';
  for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
  return btoa(s).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function unbase64url(text, what) {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1)
    throw new LinkError(`This link is damaged: it holds characters a ${what} link never has.`);
  const b = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  const bytes = new Uint8Array(b.length);
  for (let i = 0; i < b.length; i++) bytes[i] = b.charCodeAt(i);
  return bytes;
}

async function drain(stream, limit) {
  const reader = stream.getReader();
  const parts = [];
  let total = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    total += value.length;
    if (total > limit) {
      reader.cancel().catch(() => {});
      return null;
    }
    parts.push(value);
  }
  const out = new Uint8Array(total);
  let at = 0;
  for (const p of parts) {
    out.set(p, at);
    at += p.length;
  }
  return out;
}

// The data part of a link for a file's bytes.
export async function encode(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  return base64url(await drain(stream, Infinity));
}
export const encodeLevel = encode;

// A file's bytes from a link's data part, at most fileMax of them; throws a
// LinkError that says in plain words what is wrong.
async function decode(data, what, linkMax, fileMax) {
  if (data.length === 0) throw new LinkError(`This link holds no ${what}.`);
  if (data.length > linkMax) throw new LinkError(`This link is far too long to hold a ${what}.`);
  const packed = unbase64url(data, what);
  let bytes;
  try {
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    bytes = await drain(stream, fileMax);
  } catch (e) {
    throw new LinkError(`This link is damaged or cut short: its ${what} cannot be unpacked.`);
  }
  if (bytes === null)
    throw new LinkError(`This link holds more than a ${what} file can be (${Math.round(fileMax / 1024)} KB).`);
  return bytes;
}

export function decodeLevel(data) {
  return decode(data, 'level', LINK_MAX, FILE_MAX);
}

// A run link's data part for a run (a demo file's bytes) and, for a run
// made on a custom level, that level's file.
export async function encodeRun(run, level) {
  return (await encode(run)) + (level ? '.' + (await encode(level)) : '');
}

// The run's bytes and its level's (null for the game's own maps) from a run
// link's data part.
export async function decodeRun(data) {
  if (data.length > RUN_LINK_MAX)
    throw new LinkError(`This link is ${data.length} characters long; a run link holds at most ${RUN_LINK_MAX}.`);
  const [run, level, ...more] = data.split('.');
  if (more.length) throw new LinkError('This link is damaged: it holds characters a run link never has.');
  return { run: await decode(run, 'run', RUN_LINK_MAX, RUN_FILE_MAX),
           level: level === undefined ? null : await decode(level, 'level', LINK_MAX, FILE_MAX) };
}

// The data part of the # fragment of a page's address, or null if it has none.
export function linkData(hash, key = KEY) {
  const m = new RegExp('^#' + key + '=(.*)$', 's').exec(hash || '');
  return m ? m[1] : null;
}

// A link's fragment for the data part.
export function fragment(data, key = KEY) {
  return '#' + key + '=' + data;
}
