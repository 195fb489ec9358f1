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
