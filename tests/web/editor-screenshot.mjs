// The README's picture of the level editor: the page in Debian's Chromium
// (headless) on the Crystal Caves' map, its lower tunnel in view, with a
// ledge drawn where it breaks a check.
//   node tests/web/editor-screenshot.mjs build-web/site docs/screens/editor.png
import { drag, openBrowser } from './chromium.mjs';

const [site, out] = process.argv.slice(2);
const browser = await openBrowser(site, { width: 1280, height: 720 });
try {
  const page = await browser.context.newPage();
  await page.goto(browser.base + 'editor.html');
  await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
  await page.selectOption('#new-level', '2');
  await page.click('#new-shipped');
  await page.waitForFunction(() => document.getElementById('title').value === 'Level 2');
  await page.fill('#title', 'Deeper Caves');
  await page.fill('#author', 'Kes');
  const map = page.locator('#map');
  await map.focus();
  for (let i = 0; i < 13; i++) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowRight');
  // The view now starts at pixel (64, 632) of the map, 16 pixels a cell.
  // A girder in the bottom tunnel, in the first ball's way (row 66, from
  // column 26 to 28): the check of the enemies' walks shades it.
  const box = await map.boundingBox();
  const cell = (row, col) => [box.x + 16 * col - 64 + 8, box.y + 16 * row - 632 + 8];
  await page.click('#palette button[data-char="="]');
  await page.keyboard.press('l');
  await drag(page, cell(66, 26), cell(66, 28), 4);
  await page.click('#palette button[data-char="j"]');
  await page.evaluate(() => { document.getElementById('side').scrollTop = 0; });
  await page.mouse.move(...cell(60, 44));
  await page.waitForTimeout(200);
  await page.screenshot({ path: out });
  console.log(out);
} finally {
  await browser.close();
}
