// Loading the page in the browser test (browser_test.mjs runs these against
// the test build), each from a server of the test's own making:
//   - web/serve.mjs sends the compressed copy the request accepts, Brotli
//     first, with Vary and its ETag, and "304 Not Modified" for a copy the
//     browser has;
//   - on a throttled network the bar is there while the page loads, fills
//     as the bytes come, ends at the sizes of kestravale.js, .wasm and
//     .data as built (though they came compressed) and is gone with the
//     first frame; loaded again, the browser's copies are used (304s);
//   - a download that stops halfway ends in a plain message naming it, not a
//     black page; so do a truncated .br or .gz copy;
//   - the code sent as text/plain still plays (its bytes compiled whole); a
//     server that compresses nothing, with no sizes in the page, plays and
//     the bar counts the lengths the server sends.

import { readFileSync, statSync } from 'node:fs';
import { createServer, request } from 'node:http';
import { join, resolve } from 'node:path';

import { choose, serve } from '../../web/serve.mjs';

const GAME_FILES = ['kestravale.js', 'kestravale.wasm', 'kestravale.data'];

// A server of the site whose answers a test may change: twist(path, chosen)
// returns { headers, body, stallAfter } for the answer, or nothing for the
// site's own. It notes every answer.
function twistedServer(site, twist = () => null, { compressed = true } = {}) {
  site = resolve(site);
  const answered = [];
  const server = createServer(async (req, res) => {
    const path = new URL(req.url, 'http://x').pathname;
    const chosen = await choose(site, path, req.headers['accept-encoding'], compressed);
    if (!chosen) return res.writeHead(404).end();
    const own = twist(path, chosen) || {};
    const headers = { ...chosen.headers, ...own.headers };
    if (req.headers['if-none-match'] === headers.ETag && !own.body) {
      answered.push({ path, status: 304 });
      return res.writeHead(304, headers).end();
    }
    const body = own.body || readFileSync(chosen.file);
    answered.push({ path, status: 200, coding: headers['Content-Encoding'] || '' });
    res.writeHead(200, { ...headers, 'Content-Length': body.length });
    // Stalled: the headers and the first bytes, then nothing, the connection open.
    if (own.stallAfter !== undefined) res.write(body.subarray(0, own.stallAfter));
    else res.end(body);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done({
    url: `http://127.0.0.1:${server.address().port}/`,
    answered,
    close: () => { server.closeAllConnections(); server.close(); },
  })));
}

// One request, as a browser would send it.
function get(url, headers) {
  return new Promise((done, failed) => {
    request(url, { headers }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => done({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks) }));
    }).on('error', failed).end();
  });
}

const loadingState = () => ({
  value: document.getElementById('progress').value,
  max: document.getElementById('progress').max,
  shown: !document.getElementById('loading').hidden,
  message: document.getElementById('message').hidden ? '' : document.getElementById('message').textContent,
});

export async function checkLoading({ site, check, waitFor, watchConsole, context }) {
  const gameBytes = GAME_FILES.reduce((sum, f) => sum + statSync(join(site, f)).size, 0);
  const painted = (page, what, timeoutMs) => waitFor(page, () => window.kvTest && kvTest.firstPaint() > 0, what, timeoutMs);

  // web/serve.mjs: the copy the request accepts, and its 304s.
  {
    const server = await serve(site, 0);
    const base = `http://127.0.0.1:${server.address().port}/`;
    const wasm = readFileSync(join(site, 'kestravale.wasm'));
    const wrong = [];
    for (const [accept, coding, body] of [
      ['gzip, deflate, br', 'br', readFileSync(join(site, 'kestravale.wasm.br'))],
      ['gzip, br;q=0', 'gzip', readFileSync(join(site, 'kestravale.wasm.gz'))],
      ['identity', undefined, wasm],
      [undefined, undefined, wasm],
    ]) {
      const r = await get(base + 'kestravale.wasm', accept ? { 'Accept-Encoding': accept } : {});
      if (r.status !== 200 || r.headers['content-encoding'] !== coding || !r.body.equals(body) ||
          r.headers['content-type'] !== 'application/wasm' || r.headers.vary !== 'Accept-Encoding' ||
          Number(r.headers['content-length']) !== body.length)
        wrong.push(`${accept}: ${r.status} ${r.headers['content-encoding']} ${r.headers['content-type']} ${r.body.length} bytes`);
    }
    check(wrong.length === 0, 'the server sends the copy the request accepts, Brotli first, as application/wasm',
          wrong.join('; '));
    const first = await get(base + 'kestravale.data', { 'Accept-Encoding': 'gzip' });
    const again = await get(base + 'kestravale.data', { 'Accept-Encoding': 'gzip', 'If-None-Match': first.headers.etag });
    const other = await get(base + 'kestravale.data', { 'Accept-Encoding': 'br', 'If-None-Match': first.headers.etag });
    check(first.headers['cache-control'] === 'no-cache' && again.status === 304 && again.body.length === 0 &&
          other.status === 200 && other.headers['content-encoding'] === 'br',
          "a copy the browser has is answered 304, another coding's is sent",
          `${first.headers['cache-control']}, ${again.status}, ${other.status} ${other.headers['content-encoding']}`);
    const outside = await get(base + '..%2f..%2fetc%2fpasswd', {});
    check(outside.status === 404, 'the server sends nothing from outside its folder', String(outside.status));
    server.close();
  }

  // A throttled network: the bar from the first moment to the first frame.
  {
    const server = await twistedServer(site);
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.addInitScript(() => {
      window.kvSeen = { values: [] };
      document.addEventListener('DOMContentLoaded', () => {
        const loading = document.getElementById('loading');
        window.kvSeen.atStart = { shown: getComputedStyle(loading).display !== 'none' && loading.offsetHeight > 0,
                                  text: document.getElementById('progress-text').textContent };
        const bar = document.getElementById('progress');
        new MutationObserver(() => window.kvSeen.values.push(bar.value))
          .observe(bar, { attributes: true, attributeFilter: ['value'] });
      });
    });
    const cdp = await context.newCDPSession(page);
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
    // 2 MB/s and 20 ms: the compressed game comes in about half a second.
    await cdp.send('Network.emulateNetworkConditions',
                   { offline: false, latency: 20, downloadThroughput: 2e6, uploadThroughput: 1e6 });
    await page.goto(server.url);
    const shown = await painted(page, 'the first menu frame is painted on a throttled network', 60000);
    await page.waitForFunction(() => document.getElementById('loading').hidden, null, { timeout: 2000 }).catch(() => {});
    const seen = await page.evaluate(() => window.kvSeen);
    const end = await page.evaluate(loadingState);
    check(seen.atStart && seen.atStart.shown && /Loading/.test(seen.atStart.text),
          'the bar shows while the page loads', JSON.stringify(seen.atStart));
    const rising = seen.values.every((v, i) => i === 0 || v >= seen.values[i - 1]);
    check(rising && new Set(seen.values).size >= 4, 'the bar fills step by step as the bytes come',
          `${seen.values.length} steps: ${seen.values.slice(0, 8).join(', ')}...`);
    check(shown && end.value === gameBytes && end.max === gameBytes,
          "the bar ends full, at the built files' sizes", `${end.value} of ${end.max}, the files ${gameBytes}`);
    const codings = server.answered.filter((a) => GAME_FILES.includes(a.path.slice(1))).map((a) => a.coding);
    check(codings.length === 3 && codings.every((c) => c === 'br'), 'the game files came as Brotli', codings.join(' '));
    check(!end.shown && end.message === '', 'the bar is gone with the first frame', JSON.stringify(end));
    check(errors.length === 0, 'no error in the console on a throttled network', errors.join(' | '));
    // Loaded twice more with the cache on: the second time the browser has
    // every file and the server answers 304 for each.
    await cdp.send('Network.setCacheDisabled', { cacheDisabled: false });
    await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    for (const query of ['?cached', '?again']) {
      server.answered.length = 0;
      await page.goto(server.url + query);
      await painted(page, `the page is painted again (${query})`);
    }
    const kept = await page.evaluate(loadingState);
    const again = server.answered.filter((a) => GAME_FILES.includes(a.path.slice(1))).map((a) => a.status);
    check(again.length === 3 && again.every((status) => status === 304) && kept.value === gameBytes,
          'loaded again, the files are the ones the browser kept (304), and the bar counts them all',
          `answers ${again.join(' ')}; ${kept.value} of ${kept.max}`);
    await page.close();
    server.close();
  }

  // Loads that go wrong, and what the page says.
  // The first half of a file's compressed copy, sent as that copy.
  const half = (file, coding) => (path) => {
    if (path !== '/' + file) return null;
    const body = readFileSync(join(site, file + (coding === 'br' ? '.br' : '.gz')));
    return { headers: { 'Content-Encoding': coding }, body: body.subarray(0, body.length >> 1) };
  };
  const cases = [
    // 200,000 bytes of 1,841,913: "0.2 MB of 1.8 MB".
    { what: 'the game data stopping partway', query: '?stall=1', plain: true,
      twist: (path) => (path === '/kestravale.data' ? { stallAfter: 200000 } : null),
      expect: /^The download stopped: nothing of the game data \(kestravale\.data, 0\.2 MB of 1\.8 MB so far\) came for 1 second\./ },
    { what: 'a truncated Brotli copy of the game data', twist: half('kestravale.data', 'br'),
      expect: /^The game data \(kestravale\.data\) (broke off|arrived incomplete)/ },
    { what: 'a truncated gzip copy of the game data', twist: half('kestravale.data', 'gzip'),
      expect: /^The game data \(kestravale\.data\) (broke off|arrived incomplete)/ },
    { what: 'a truncated Brotli copy of the game code', twist: half('kestravale.wasm', 'br'),
      expect: /^The game code \(kestravale\.wasm\) (broke off|is damaged)/ },
    { what: 'the game code sent as text/plain', play: true,
      twist: (path) => (path === '/kestravale.wasm' ? { headers: { 'Content-Type': 'text/plain' } } : null) },
    { what: 'a server that compresses nothing, and a page without the sizes', play: true, plain: true,
      twist: (path, chosen) => (path === '/'
        ? { body: Buffer.from(readFileSync(chosen.file, 'utf8').replace(/data-files="[^"]*"/, 'data-files=""')) } : null) },
  ];
  for (const c of cases) {
    const server = await twistedServer(site, c.twist, { compressed: !c.plain });
    const page = await context.newPage();
    const errors = watchConsole(page);
    await page.goto(server.url + (c.query || ''));
    if (c.play) {
      const runs = await painted(page, `${c.what}: the game plays`);
      const end = await page.evaluate(loadingState);
      check(runs && end.message === '' && end.value === gameBytes && end.max === gameBytes,
            `${c.what}: the game plays, the bar counted its files`, JSON.stringify(end));
      check(errors.length === 0, `${c.what}: no error in the console`, errors.join(' | '));
    } else {
      const said = await page.waitForFunction(() => document.getElementById('message').textContent, null,
                                              { timeout: 20000 }).then((h) => h.jsonValue(), () => '');
      const end = await page.evaluate(loadingState);
      check(c.expect.test(said) && !end.shown, `${c.what}: the page says so`, JSON.stringify(said));
    }
    await page.close();
    server.close();
  }
}
