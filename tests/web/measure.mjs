// Measures the web version in Debian's Chromium (headless): the time from
// opening the page to its first menu frame on the canvas (with the browser's
// cache empty, with it warm, and over DevTools' "Fast 3G" network from a
// server that sends the build's Brotli copies, its gzip copies, and the
// files as they are), and the passes per second in the menu and in play,
// with the page's thread at its speed and four and six times slower, and
// the sound kept up meanwhile. Prints one "name value" line each.
//   node tests/web/measure.mjs <test site> [seconds]
// The test site is build-web/test-site (scripts/web-build.sh --test).
import { serve } from '../../web/serve.mjs';
import { openBrowser } from './chromium.mjs';

const [site, secondsArg] = process.argv.slice(2);
const seconds = Number(secondsArg || 10);
const browser = await openBrowser(site);
const { context, base } = browser;

// Passes per second, and seconds of sound handed to the browser per second,
// over the measuring time.
async function rate(page) {
  const at = () => page.evaluate(() => [kvTest.flips(), performance.now(), (kvTest.sound() || { seconds: 0 }).seconds]);
  const [f0, t0, s0] = await at();
  await page.waitForTimeout(seconds * 1000);
  const [f1, t1, s1] = await at();
  const elapsed = (t1 - t0) / 1000;
  return [(f1 - f0) / elapsed, (s1 - s0) / elapsed];
}

// Chromium DevTools' "Fast 3G": 1.6 Mbit/s down and 750 kbit/s up, each
// times 0.9, and 150 ms times 3.75 of latency.
const FAST_3G = { offline: false, downloadThroughput: 1.6e6 / 8 * 0.9, uploadThroughput: 750e3 / 8 * 0.9, latency: 562.5 };

// Opens the page and waits for its first menu frame: its time from the
// opening in ms, and the bytes that came over the network.
async function firstFrame(url, { cache, network, accept } = {}) {
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: !cache });
  if (network) await cdp.send('Network.emulateNetworkConditions', network);
  if (accept) await cdp.send('Network.setExtraHTTPHeaders', { headers: { 'Accept-Encoding': accept } });
  await page.goto(url);
  await page.waitForFunction(() => window.kvTest && kvTest.firstPaint() > 0, null, { timeout: 120000, polling: 10 });
  const [ms, bytes] = await page.evaluate(() => [kvTest.firstPaint(),
    performance.getEntries().reduce((sum, e) => sum + (e.transferSize || 0), 0)]);
  await page.close();
  return { ms, bytes };
}
const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
const listed = (values) => values.map(Math.round).join(', ');

const plainServer = await serve(site, 0, { compressed: false });
try {
  const cold = [], warm = [];
  for (let i = 0; i < 5; i++) cold.push((await firstFrame(base)).ms);
  console.log(`first-menu-frame-ms ${Math.round(median(cold))} (of ${listed(cold)})`);
  await firstFrame(base, { cache: true });
  for (let i = 0; i < 5; i++) warm.push((await firstFrame(base, { cache: true })).ms);
  console.log(`first-menu-frame-warm-ms ${Math.round(median(warm))} (of ${listed(warm)})`);
  const slow = await firstFrame(base, { network: FAST_3G });
  console.log(`first-menu-frame-fast3g-ms ${Math.round(slow.ms)}`);
  console.log(`fast3g-bytes ${slow.bytes}`);
  const gzip = await firstFrame(base, { network: FAST_3G, accept: 'gzip, deflate' });
  console.log(`first-menu-frame-fast3g-gzip-ms ${Math.round(gzip.ms)}`);
  console.log(`fast3g-gzip-bytes ${gzip.bytes}`);
  const plain = await firstFrame(`http://127.0.0.1:${plainServer.address().port}/`, { network: FAST_3G });
  console.log(`first-menu-frame-fast3g-plain-ms ${Math.round(plain.ms)}`);
  console.log(`fast3g-plain-bytes ${plain.bytes}`);

  // The passes per second in the menu and in play, with the page's thread
  // as it is and made four and six times slower (Chromium's CPU throttling,
  // as a phone's processor is).
  for (const throttle of [1, 4, 6]) {
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await page.goto(base);
    await page.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() > 0);
    await page.mouse.click(640, 300);
    await page.evaluate(() => kvTest.sound());
    await cdp.send('Emulation.setCPUThrottlingRate', { rate: throttle });
    await page.waitForTimeout(1000);
    const x = throttle === 1 ? '' : `-x${throttle}`;
    const [menu, menuSound] = await rate(page);
    console.log(`menu-passes-per-second${x} ${menu.toFixed(1)}`);
    console.log(`menu-sound-per-second${x} ${menuSound.toFixed(3)}`);
    await page.keyboard.down('Enter');
    await page.waitForFunction(() => kvTest.mode() === 2);
    await page.keyboard.up('Enter');
    await page.waitForTimeout(1000);
    const [play, playSound] = await rate(page);
    console.log(`play-passes-per-second${x} ${play.toFixed(1)}`);
    console.log(`play-sound-per-second${x} ${playSound.toFixed(3)}`);
    await page.close();
  }
} finally {
  plainServer.close();
  await browser.close();
}
