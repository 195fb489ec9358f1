// A small static file server on 127.0.0.1 for the web version and its test.
//   node web/serve.mjs <folder> [port]     (port 0: any free one)
// Prints the address it listens on.
//
// A file with a compressed copy beside it (kestravale.wasm.br, .gz, made by
// scripts/web-build.sh) is sent compressed when the browser accepts it,
// Brotli first. Every answer may be kept by the browser but is checked again
// on each load: its ETag comes back in If-None-Match, and a file that has not
// changed is answered "304 Not Modified", without its body.
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream', '.png': 'image/png',
};
const encodings = [['br', '.br'], ['gzip', '.gz']];

// The codings the request's Accept-Encoding allows (a q of 0 refuses one).
export function accepted(header) {
  const allowed = new Set();
  for (const part of String(header || '').split(',')) {
    const [name, ...params] = part.trim().toLowerCase().split(';');
    const q = params.map((p) => p.trim()).find((p) => p.startsWith('q='));
    if (name && !(q && Number(q.slice(2)) === 0)) allowed.add(name);
  }
  return allowed;
}

// The file to send for a path and the request's Accept-Encoding: the file
// itself or a compressed copy, with its headers. Null: no such file.
export async function choose(folder, path, acceptEncoding, compressed = true) {
  const file = join(folder, normalize(path === '/' ? '/index.html' : path));
  if (!file.startsWith(folder + '/')) return null;
  const plain = await stat(file).catch(() => null);
  if (!plain || !plain.isFile()) return null;
  const headers = { 'Content-Type': types[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-cache' };
  const allowed = accepted(acceptEncoding);
  let chosen = { file, info: plain, coding: '' };
  let copies = false;
  for (const [coding, suffix] of compressed ? encodings : []) {
    const copy = await stat(file + suffix).catch(() => null);
    if (!copy) continue;
    copies = true;
    if (allowed.has(coding) && !chosen.coding) chosen = { file: file + suffix, info: copy, coding };
  }
  if (copies) headers.Vary = 'Accept-Encoding';
  if (chosen.coding) headers['Content-Encoding'] = chosen.coding;
  const { info } = chosen;
  headers.ETag = `"${info.size.toString(36)}-${Math.floor(info.mtimeMs).toString(36)}${chosen.coding && '-' + chosen.coding}"`;
  headers['Last-Modified'] = info.mtime.toUTCString();
  return { file: chosen.file, headers };
}

// compressed: false sends every file as it is, as a server that compresses
// nothing would.
export function serve(folder, port = 0, { compressed = true } = {}) {
  folder = resolve(folder);
  const server = createServer(async (req, res) => {
    let path;
    try {
      path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    } catch {
      res.writeHead(400).end();
      return;
    }
    const chosen = await choose(folder, path, req.headers['accept-encoding'], compressed);
    if (!chosen) {
      res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      return;
    }
    const tags = String(req.headers['if-none-match'] || '').split(',').map((t) => t.trim());
    if (tags.includes(chosen.headers.ETag)) {
      res.writeHead(304, chosen.headers).end();
      return;
    }
    try {
      const body = await readFile(chosen.file);
      res.writeHead(200, { ...chosen.headers, 'Content-Length': body.length });
      res.end(req.method === 'HEAD' ? undefined : body);
    } catch {
      res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
    }
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const folder = process.argv[2] || '.';
  const server = await serve(folder, Number(process.argv[3] || 8080));
  console.log(`Kestra Vale is served on http://127.0.0.1:${server.address().port}/ (Ctrl-C stops it)`);
}
