// Runs one test program of the web build in headless Chromium, on the program's page with its fonts and
// pictures, and hands on its output. Usage: node tests/web/run-program.mjs PAGE_FOLDER PROGRAM_FOLDER
// PROGRAM [ARGUMENTS]. Ends with the program's status; the last line counts its tests like the other runs:
// "N passed, M failed".
import { launch } from './browser.mjs';
import { address, serve } from './server.mjs';

const [folder, programs, program, ...args] = process.argv.slice(2);
const server = await serve([folder, programs]);
const browser = await launch();
let status = 1;
let passed = 0, failed = 0;
try {
  const page = await browser.newPage({ viewport: { width: 1024, height: 768 } });
  page.on('console', (message) => {
    const text = message.text();
    console.log(text);
    const ok = /^\[ {7}OK \]/.test(text), bad = /^\[  FAILED  \] .*\(\d+ ms\)$/.test(text);
    passed += ok ? 1 : 0;
    failed += bad ? 1 : 0;
  });
  // An error that escapes the program stops it: no end will be reported, so stop waiting.
  let crashed = null;
  const crash = new Promise((_, reject) => { crashed = reject; });
  page.on('pageerror', (error) => crashed(new Error(`page error: ${error.message}\n${error.stack}`)));
  const query = [`program=${program}`, ...args.map((a) => `arg=${encodeURIComponent(a)}`)].join('&');
  await page.goto(`${address(server)}index.html?${query}`);
  // Bounded: a test program that neither ends nor fails within this is a failure of its own.
  await Promise.race([
    page.waitForFunction(() => window.kvProgramStatus !== undefined, null, { timeout: 300000, polling: 100 }),
    crash,
  ]);
  status = await page.evaluate(() => window.kvProgramStatus);
} catch (error) {
  console.log(`${program}: ${error.message}`);
  failed += 1;
} finally {
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(status === 0 && failed === 0 ? 0 : 1);
