// Levels in links. A link carries a whole level file in its # fragment, so
// that any static host serves it and nothing is uploaded:
//
//   editor.html#level=<data>    shows the level's title and author, with Play and Edit
//   index.html#level=<data>     plays it at once
//
// <data> is the level file's bytes compressed with deflate without header
// ('deflate-raw', RFC 1951), then written in base64url (RFC 4648 section 5:
// A-Z a-z 0-9 - _, no padding). A shipped level makes about 900
// characters. A link is untrusted: one longer than LINK_MAX characters, one
// that is not base64url, whose data is cut short or altered, or that
// inflates past FILE_MAX bytes is refused with a plain message (inflating
// stops there); what it holds is then read as any level file is
// (levelfile.js).

export const FILE_MAX = 65536;  // bytes of a level file, as the game reads them
export const LINK_MAX = 100000;  // characters of a link's data
export const KEY = 'level';

export class LinkError extends Error {}

function base64url(bytes) {
  let s = '';
  for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
  return btoa(s).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function unbase64url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1)
    throw new LinkError('This link is damaged: it holds characters a level link never has.');
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

// The data part of a link for a level file's bytes.
export async function encodeLevel(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  return base64url(await drain(stream, Infinity));
}

// The level file's bytes from a link's data part; throws a LinkError that
// says in plain words what is wrong.
export async function decodeLevel(data) {
  if (data.length === 0) throw new LinkError('This link holds no level.');
  if (data.length > LINK_MAX) throw new LinkError('This link is far too long to hold a level.');
  const packed = unbase64url(data);
  let bytes;
  try {
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    bytes = await drain(stream, FILE_MAX);
  } catch (e) {
    throw new LinkError('This link is damaged or cut short: its level cannot be unpacked.');
  }
  if (bytes === null) throw new LinkError('This link holds more than a level file can be (64 KB).');
  return bytes;
}

// The data part of the # fragment of a page's address, or null if it has none.
export function linkData(hash) {
  const m = /^#level=(.*)$/s.exec(hash || '');
  return m ? m[1] : null;
}

// A link's fragment for the data part.
export function fragment(data) {
  return '#' + KEY + '=' + data;
}
