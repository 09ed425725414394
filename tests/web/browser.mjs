// Debian's Chromium, headless, driven over the DevTools protocol; never a downloaded browser.
import { chromium } from 'playwright-core';

export function launch() {
  return chromium.launch({
    executablePath: process.env.KELVARA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--font-render-hinting=none'],
  });
}
