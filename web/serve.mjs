// A small static file server on 127.0.0.1 for the web version and its test.
//   node web/serve.mjs <folder> [port]     (port 0: any free one)
// Prints the address it listens on.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.data': 'application/octet-stream', '.png': 'image/png',
};

export function serve(folder, port = 0) {
  folder = resolve(folder);
  const server = createServer(async (req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = join(folder, normalize(path === '/' ? '/index.html' : path));
    if (!file.startsWith(folder)) {
      res.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      res.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream',
                           'Cache-Control': 'no-store' });
      res.end(body);
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
