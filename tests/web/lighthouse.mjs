// Lighthouse's accessibility, best-practices and SEO categories for the page, each at 100, in Debian's
// headless Chromium (CHROME_PATH, /usr/bin/chromium unless told) with its default phone profile. Usage:
// node tests/web/lighthouse.mjs FOLDER. Ends with one line: "lighthouse: N passed, M failed".
import lighthouse from 'lighthouse';
import { launch as launchChrome } from 'chrome-launcher';
import { check, counts, expect, host } from './harness.mjs';

const [folder = 'build-web/web'] = process.argv.slice(2);
const served = await host(folder);
const chrome = await launchChrome({
  chromePath: process.env.CHROME_PATH || '/usr/bin/chromium',
  chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'],
});
try {
  const run = await lighthouse(`${served.url}index.html`, {
    port: chrome.port, output: 'json', logLevel: 'error',
    onlyCategories: ['accessibility', 'best-practices', 'seo'],
  });
  const { categories, audits } = run.lhr;
  for (const category of Object.values(categories)) {
    await check(`Lighthouse ${category.title}: 100`, async () => {
      const missed = category.auditRefs.filter((ref) => ref.weight > 0 && audits[ref.id].score !== null && audits[ref.id].score < 1)
        .map((ref) => `${ref.id}: ${audits[ref.id].title}`);
      expect(category.score === 1, `${Math.round(category.score * 100)} (${missed.join('; ')})`);
    });
  }
} finally {
  await chrome.kill();
  await served.close();
}
console.log(`lighthouse: ${counts.passed} passed, ${counts.failed} failed`);
process.exit(counts.failed === 0 ? 0 : 1);
