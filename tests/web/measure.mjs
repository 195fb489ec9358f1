// Measures the web version in Debian's Chromium (headless): the time from
// opening the page to its first menu frame on the canvas, and the passes
// per second in the menu and in play, with the page's thread at its speed
// and four and six times slower, and the sound kept up meanwhile. Prints one
// "name value" line each.
//   node tests/web/measure.mjs <test site> [seconds]
// The test site is build-web/test-site (scripts/web-build.sh --test).
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

try {
  const firsts = [];
  for (let i = 0; i < 5; i++) {
    const page = await context.newPage();
    await page.goto(base);
    await page.waitForFunction(() => window.kvTest && kvTest.firstPaint() > 0, null, { timeout: 30000, polling: 10 });
    firsts.push(await page.evaluate(() => kvTest.firstPaint()));
    await page.close();
  }
  firsts.sort((a, b) => a - b);
  console.log(`first-menu-frame-ms ${Math.round(firsts[2])} (of ${firsts.map(Math.round).join(', ')})`);

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
  await browser.close();
}
