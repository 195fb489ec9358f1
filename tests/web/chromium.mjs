// Debian's Chromium, headless, with a fresh profile, and the web version
// served to it from 127.0.0.1. No browser is downloaded: the system's is used.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

import { serve } from '../../web/serve.mjs';

// Without the background-networking flags Chromium keeps calling out to a
// closed network.
const flags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync'];

// More options (a touch screen: hasTouch, isMobile) go to playwright.
export async function openBrowser(site, viewport = { width: 1280, height: 800 }, options = {}) {
  const server = await serve(site, 0);
  const profile = mkdtempSync(join(tmpdir(), 'kv-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, viewport, args: flags, ...options,
  });
  return {
    context,
    base: `http://127.0.0.1:${server.address().port}/`,
    close: async () => {
      await context.close();
      server.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// The page told it is hidden, or shown again, as a browser tells it when
// its tab is switched away and back.
export function setHidden(page, hidden) {
  return page.evaluate((hidden) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => hidden });
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => (hidden ? 'hidden' : 'visible') });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
}

// A press at one point, a move to another in steps, and the release.
export async function drag(page, from, to, steps) {
  await page.mouse.move(...from);
  await page.mouse.down();
  await page.mouse.move(...to, { steps });
  await page.mouse.up();
}

// A script's checks: each printed as it is made, and the script's exit
// status the count of those that failed.
export function checker(name) {
  let failures = 0;
  return {
    check(ok, what, detail = '') {
      console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ': ' + detail : ''}`);
      if (!ok) failures++;
    },
    finish() {
      console.log(failures ? `${name}: ${failures} check(s) failed` : `${name}: all checks passed`);
      process.exit(failures ? 1 : 0);
    },
  };
}

// An open map's 80 rows: a wall all round, and a floor of two rows across
// the middle (rows 38 and 39), under the heroine's start.
export const borderedRows = () =>
  Array.from({ length: 80 }, (_, i) => (i === 0 || i === 79 || i === 38 || i === 39 ? '#'.repeat(80) : '#' + '.'.repeat(78) + '#'));
