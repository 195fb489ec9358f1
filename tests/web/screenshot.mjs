// The README's picture of the web version: the page in Debian's Chromium
// (headless), a moment into the first level.
//   node tests/web/screenshot.mjs build-web/test-site <out.png>
// (the test build, scripts/web-build.sh --test, which tells when play has begun)
import { openBrowser } from './chromium.mjs';

const [site, out] = process.argv.slice(2);
const browser = await openBrowser(site, { width: 1200, height: 500 });
const { context, base } = browser;
try {
  const page = await context.newPage();
  await page.goto(base);
  await page.waitForFunction(() => window.kvTest && kvTest.ready() && kvTest.flips() > 0);
  await page.mouse.click(300, 200);
  await page.keyboard.down('Enter');
  await page.waitForFunction(() => kvTest.mode() === 2);
  await page.keyboard.up('Enter');
  await page.keyboard.down('ArrowRight');
  await page.waitForTimeout(700);
  await page.keyboard.up('ArrowRight');
  await page.waitForTimeout(300);
  await page.screenshot({ path: out });
  console.log(out);
} finally {
  await browser.close();
}
