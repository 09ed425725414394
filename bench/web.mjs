// Benchmark of the web version (run by hand, not by the tests): served from 127.0.0.1 to Debian's headless
// Chromium, it prints the bytes of the first view at device pixel ratios 1, 1.25, 2 and 3 (raw and gzip),
// Lighthouse's performance score with its FCP and LCP in its mobile and desktop profiles, the time to the
// first paint of the window, the script time per animation tick and the work done while idle. Usage:
// node bench/web.mjs [FOLDER] [LOADS] [LIGHTHOUSE_RUNS] after a Release build of the web version
// (scripts/test-web makes one in build-web/). Lighthouse runs Debian's Chromium (CHROME_PATH).

import { readFileSync } from 'node:fs';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';
import { launch as launchChrome } from 'chrome-launcher';
import { gzipSync } from 'node:zlib';
import { join } from 'node:path';
import { launch } from '../tests/web/browser.mjs';
import { address, serve } from '../tests/web/server.mjs';

const [folder = 'build-web/web', loadsText = '15', lighthouseText = '3'] = process.argv.slice(2);
const loads = Number(loadsText);
const lighthouseRuns = Number(lighthouseText);
const server = await serve(folder);
const browser = await launch();
// Polled from here: the page's policy forbids the string evaluation that waitForFunction polls with.
async function waitFor(page, predicate) {
  while (!(await page.evaluate(predicate))) await new Promise((done) => setTimeout(done, 5));
}
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(2)} ms`;

// Times each tick and notes the frame it fell in; first paint from the browser's own paint timing.
const probe = () => {
  window.kvBench = { ticks: [], frame: 0 };
  const countFrames = () => { window.kvBench.frame += 1; requestAnimationFrame(countFrames); };
  window.kvBench.countFrames = countFrames;
  // A tick is a due timer whose deadline moved on; one deferred to the next frame is not one yet.
  const wrap = () => {
    if (!window.KV || !KV.due) return setTimeout(wrap, 1);
    const due = KV.due;
    KV.due = (id, t) => {
      const deadline = t.deadline, start = performance.now();
      due(id, t);
      if (t.deadline !== deadline)
        window.kvBench.ticks.push({ at: start, took: performance.now() - start, frame: window.kvBench.frame });
    };
  };
  wrap();
};

async function load(context) {
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  const wire = new Map();
  cdp.on('Network.loadingFinished', (e) => wire.set(e.requestId, e.encodedDataLength));
  const urls = new Map();
  cdp.on('Network.responseReceived', (e) => urls.set(e.requestId, e.response.url));
  await page.addInitScript(probe);
  await page.goto(`${address(server)}index.html`);
  await waitFor(page, () => document.querySelector('.kv-form:not([hidden])') && !document.body.classList.contains('kv-loading'));
  await waitFor(page, () => performance.getEntriesByName('first-contentful-paint').length > 0);
  const [paint, html, wasm] = await page.evaluate(() => [
    performance.getEntriesByName('first-contentful-paint')[0].startTime,
    performance.getEntriesByType('navigation')[0].responseEnd,
    performance.getEntriesByType('resource').find((e) => e.name.endsWith('.wasm')).responseEnd,
  ]);
  return { page, cdp, paint, html, wasm, files: [...urls.entries()].map(([id, url]) => ({ url, wire: wire.get(id) || 0 })) };
}

// Bytes: every file the page fetched, as stored and as gzip sends it (pictures go as they are).
const sizes = (paths) => {
  let raw = 0, gzip = 0;
  for (const path of paths) {
    const body = readFileSync(join(folder, path === '/' ? 'index.html' : path));
    raw += body.length;
    gzip += /\.(png|webp|woff2)$/.test(path) ? body.length : gzipSync(body, { level: 9 }).length;
  }
  return { raw, gzip };
};
const ratios = [];
for (const ratio of [1, 1.25, 2, 3]) {
  const viewing = await browser.newContext({ viewport: { width: 1024, height: 768 }, deviceScaleFactor: ratio });
  const view = await load(viewing);
  // Every file the page fetched, as its resource timing lists them once it is up.
  await view.page.evaluate(() => navigator.serviceWorker.ready);
  await view.page.waitForLoadState('networkidle');
  const fetched = await view.page.evaluate(() => [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')]
    .map((e) => ({ path: new URL(e.name).pathname, wire: e.transferSize })));
  // The tab's icon comes whenever the browser wants it, if at all: it is left out of the count.
  const files = fetched.filter((file) => !file.path.startsWith('/icons/'));
  const paths = files.map((file) => file.path);
  if (process.env.KELVARA_BENCH_FILES) console.log(ratio, paths.sort().join(' '));
  ratios.push({ ratio, count: paths.length, ...sizes(paths), wire: files.reduce((sum, file) => sum + file.wire, 0),
                sets: [...new Set(paths.filter((p) => p.includes('/skin/')).map((p) => (p.includes('@2x') ? 'twice-size' : 'single-size')))] });
  await viewing.close();
}
// What the service worker keeps for offline use once the page is up, for each picture set.
const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
const kept = (set) => {
  const core = JSON.parse(worker.match(/var core = (\[.*?\]);/)[1]).filter((p) => p !== './');
  const pictures = JSON.parse(worker.match(/var pictures = (\{.*?\});/)[1])[set];
  return sizes(['/', ...core, ...pictures]).gzip;
};

// Lighthouse's performance in its phone and desktop profiles, medians of a few runs.
async function lighthouseRun(config) {
  const chrome = await launchChrome({ chromePath: process.env.CHROME_PATH || '/usr/bin/chromium',
                                      chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu'] });
  try {
    const { lhr } = await lighthouse(`${address(server)}index.html`, { port: chrome.port, output: 'json', logLevel: 'error',
                                                                    onlyCategories: ['performance'] }, config);
    return { score: lhr.categories.performance.score * 100, fcp: lhr.audits['first-contentful-paint'].numericValue,
             lcp: lhr.audits['largest-contentful-paint'].numericValue };
  } finally {
    await chrome.kill();
  }
}
const profiles = [];
for (const [name, config] of [['mobile', undefined], ['desktop', desktopConfig]]) {
  const runs = [];
  for (let i = 0; i < lighthouseRuns; ++i) runs.push(await lighthouseRun(config));
  profiles.push({ name, score: median(runs.map((r) => r.score)), fcp: median(runs.map((r) => r.fcp)), lcp: median(runs.map((r) => r.lcp)) });
}

const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
const first = await load(context);
await first.page.close();

// First paint over fresh loads, each in a new context so that nothing is cached.
const paints = [first.paint], htmls = [first.html], wasms = [first.wasm];
for (let i = 1; i < loads; ++i) {
  const fresh = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const run = await load(fresh);
  paints.push(run.paint);
  htmls.push(run.html);
  wasms.push(run.wasm);
  await fresh.close();
}

// Animation: five Calculate -> results -> Back cycles of the worked example.
const { page, cdp } = await load(context);
await cdp.send('Performance.enable');
const metric = async () => Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
for (const [name, text] of [['Full Tank Capacity:', '47.5'], ['Average Monthly Top-up:', '4'],
  ['Max Mileage Attained Per Full Tank:', '845'], ['Fuel price per Litre:', '2.88']]) {
  await page.getByRole('textbox', { name }).fill(text);
}
await page.evaluate(() => { window.kvBench.ticks = []; window.kvBench.countFrames(); });
const before = await metric();
for (let cycle = 0; cycle < 5; ++cycle) {
  await page.getByRole('button', { name: 'Calculate', exact: true }).click();
  await page.getByRole('button', { name: 'Back', exact: true }).waitFor({ state: 'visible' });
  await page.getByRole('button', { name: 'Back', exact: true }).click();
  await page.getByRole('button', { name: 'Calculate', exact: true }).waitFor({ state: 'visible' });
  await waitFor(page, () => document.querySelector('[data-name=frmMain]').style.left === '0px');
  await page.waitForTimeout(100);
}
const after = await metric();
const ticks = await page.evaluate(() => window.kvBench.ticks);
const frames = new Map();
for (const t of ticks) frames.set(t.frame, (frames.get(t.frame) || 0) + 1);
const shared = [...frames.values()].filter((n) => n > 1).length;
const intervals = ticks.slice(1).map((t, i) => t.at - ticks[i].at).filter((d) => d < 100);
const took = ticks.map((t) => t.took);

// Idle: 10 s from 1 s after the first paint, next to a blank page measured the same way, whose figures
// are the browser's own work.
async function idleWork(url, ready) {
  const idlePage = await context.newPage();
  const idleCdp = await context.newCDPSession(idlePage);
  await idlePage.goto(url);
  await waitFor(idlePage, ready);
  await idlePage.waitForTimeout(1000);
  await idleCdp.send('Performance.enable');
  const read = async () => Object.fromEntries((await idleCdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
  const start = await read();
  await idlePage.waitForTimeout(10000);
  const end = await read();
  await idlePage.close();
  const delta = (name) => end[name] - start[name];
  return { task: delta('TaskDuration') * 1000, script: delta('ScriptDuration') * 1000, layouts: delta('LayoutCount'),
           styles: delta('RecalcStyleCount') };
}
await page.close();
const idle = await idleWork(`${address(server)}index.html`, () => document.querySelector('.kv-form:not([hidden])'));
const blank = await idleWork('data:text/html,<title>blank</title>', () => true);

const version = browser.version();
console.log(`${new Date().toISOString().slice(0, 10)}, Chromium ${version} headless, served from 127.0.0.1 by tests/web/server.mjs`);
console.log('');
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
console.log('bytes transferred for the first view, by device pixel ratio, the tab\'s icon aside (targets: <= 200 KB gzip at 1, <= 300 KB at 3):');
for (const r of ratios)
  console.log(`  ${String(r.ratio).padEnd(4)}  ${r.count} files, raw ${kb(r.raw)}, gzip ${kb(r.gzip)} (on the wire ${kb(r.wire)} with headers); pictures: ${r.sets.join(' and ')}`);
console.log(`  kept by the service worker for offline use after the first view (gzip): ${kb(kept('1x'))} below ratio 1.5, ${kb(kept('2x'))} from 1.5`);
console.log('');
console.log(`Lighthouse ${lighthouseRuns > 1 ? `performance, medians of ${lighthouseRuns} runs` : 'performance'} (targets: mobile 100 with LCP < 1.2 s):`);
for (const p of profiles)
  console.log(`  ${p.name.padEnd(8)} score ${p.score.toFixed(0)}, FCP ${ms(p.fcp)}, LCP ${ms(p.lcp)}`);
console.log('');
console.log(`first paint of the window (first contentful paint, ${paints.length} fresh loads):`);
console.log(`  median ${ms(median(paints))}, max ${ms(Math.max(...paints))}   target < 200 ms`);
console.log(`  from the navigation's start, medians: page received ${ms(median(htmls))}, program received ${ms(median(wasms))}`);
console.log('');
console.log(`animation: 5 Calculate -> results -> Back cycles, ${ticks.length} ticks`);
console.log(`  script per tick (the handler and its page updates): median ${ms(median(took))}, max ${ms(Math.max(...took))}`);
const per = (name) => ms(((after[name] - before[name]) * 1000) / ticks.length);
console.log(`  renderer per tick over the run: script ${per('ScriptDuration')}, style ${per('RecalcStyleDuration')}, layout ${per('LayoutDuration')}`);
console.log(`  tick interval: median ${ms(median(intervals))}, max ${ms(Math.max(...intervals))}`);
console.log(`  frames holding more than one tick: ${shared} of ${frames.size}`);
console.log('');
console.log('idle, from 1 s after the first paint, for 10 s:');
const idleLine = (name, w) => `  ${name}task ${ms(w.task)}, script ${ms(w.script)}, layouts ${w.layouts}, style recalcs ${w.styles}`;
console.log(idleLine('calculator:  ', idle));
console.log(idleLine('blank page:  ', blank));

await browser.close();
server.close();
