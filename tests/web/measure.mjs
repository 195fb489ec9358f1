// Measures the web version in Debian's Chromium (headless): the time from
// opening the page to its first menu frame on the canvas, and the passes
// per second in the menu and in play. Prints one "name value" line each.
//   node tests/web/measure.mjs <test site> [seconds]
// The test site is build-web/test-site (scripts/web-build.sh --test).
import { openBrowser } from './chromium.mjs';

const [site, secondsArg] = process.argv.slice(2);
const seconds = Number(secondsArg || 10);
const browser = await openBrowser(site);
const { context, base } = browser;

async function rate(page) {
  const at = () => page.evaluate(() => [kvTest.flips(), performance.now()]);
  const [f0, t0] = await at();
  await page.waitForTimeout(seconds * 1000);
  const [f1, t1] = await at();
  return (f1 - f0) / ((t1 - t0) / 1000);
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

  const page = await context.newPage();
  await page.goto(base);
  await page.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() > 0);
  await page.mouse.click(640, 300);
  await page.waitForTimeout(1000);
  console.log(`menu-passes-per-second ${(await rate(page)).toFixed(1)}`);
  await page.keyboard.down('Enter');
  await page.waitForFunction(() => kvTest.mode() === 2);
  await page.keyboard.up('Enter');
  await page.waitForTimeout(1000);
  console.log(`play-passes-per-second ${(await rate(page)).toFixed(1)}`);
} finally {
  await browser.close();
}
