// End-to-end tests of the web version in headless Chromium, driven with real input through the DevTools
// protocol (pointer and key events as the browser's own input). Usage: node tests/web/e2e.mjs FOLDER
// [SCREENSHOTS]. Ends with one line: "e2e-web: N passed, M failed".

import { chmodSync, cpSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { request } from 'node:http';
import { createRequire } from 'node:module';
import { launch } from './browser.mjs';
import { check, counts, expect, host, rect, shownFigures, until, worked, workedFigures } from './harness.mjs';

const [folder = 'build-web/web', shots = 'build-web/screenshots'] = process.argv.slice(2);
mkdirSync(shots, { recursive: true });
const home = 'https://www.kelvara.example/';
const served = await host(folder);
const base = served.url;
console.log(`# served by ${served.name}`);
const browser = await launch();
const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
// The distributor's site is not reached from here: the browser gets a stand-in page at its address.
await context.route(`${home}**`, (route) => route.fulfill({ contentType: 'text/html', body: '<title>distributor</title>' }));
const page = await context.newPage();
const pageErrors = [];
const watch = (tab) => {
  tab.on('pageerror', (error) => pageErrors.push(error.message));
  // The page's own Content-Security-Policy must let everything it needs through.
  tab.on('console', (message) => { if (/Content Security Policy|kelvara-calculator: run-time error/.test(message.text())) pageErrors.push(message.text()); });
};
watch(page);

const forms = page.locator('.kv-form:not([hidden])');
const mainWindow = page.locator('.kv-form[data-name=formMain]');
const alertWindow = page.locator('.kv-form[data-name=formAlert]');
const box = (name) => page.getByRole('textbox', { name });
const button = (name) => page.getByRole('button', { name, exact: true });
const style = (locator, property) => locator.evaluate((el, p) => getComputedStyle(el)[p], property);
const centre = async (locator) => {
  const r = await rect(locator);
  return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
};
async function start() {
  await page.goto(`${base}index.html`);
  await until('the main window shows', () => forms.count(), (n) => n === 1);
  await until('the first box has the focus', () => box('Full Tank Capacity:').evaluate((el) => el === document.activeElement));
}
async function enterWorkedExample(on = page, action = 'click') {
  for (const [name, text] of Object.entries(worked)) {
    await on.getByRole('textbox', { name })[action]();
    await on.keyboard.press('Control+A');
    await on.keyboard.press('Backspace');
    await on.keyboard.type(text);
  }
}
async function screenshot(name, locators) {
  const rects = await Promise.all(locators.map(rect));
  const x = Math.min(...rects.map((r) => r.x)), y = Math.min(...rects.map((r) => r.y));
  const right = Math.max(...rects.map((r) => r.x + r.width)), bottom = Math.max(...rects.map((r) => r.y + r.height));
  await page.screenshot({ path: `${shots}/${name}`, clip: { x, y, width: right - x, height: bottom - y } });
}

await start();

await check('the main window opens centred in the page, named by its caption', async () => {
  const r = await rect(mainWindow);
  expect(Math.abs(r.x + r.width / 2 - 512) <= 1 && Math.abs(r.y + r.height / 2 - 384) <= 1, `at ${JSON.stringify(r)}`);
  expect(r.width === 514 && r.height === 282, `size ${r.width} x ${r.height}`);
  expect((await page.title()) === 'Kelvara - Fuel Consumtion Calculator', `title ${await page.title()}`);
  await screenshot('web-main.png', [mainWindow]);
});

await check('an empty Calculate lists four messages in a modal alert centred on the window; OK closes it', async () => {
  await button('Calculate').click();
  await until('the alert shows', () => alertWindow.count(), (n) => n === 1);
  const text = await alertWindow.locator('[data-name=lbl]').innerText();
  const lines = text.split('\n').filter((line) => line.trim());
  expect(lines.length === 4, `messages ${JSON.stringify(lines)}`);
  expect(lines[0] === 'Tank Capacity Is Required.', `first message ${lines[0]}`);
  const outer = await centre(mainWindow), inner = await centre(alertWindow);
  expect(Math.abs(outer.x - inner.x) <= 1 && Math.abs(outer.y - inner.y) <= 1, `alert centre ${JSON.stringify(inner)}`);
  await screenshot('web-alert.png', [mainWindow, alertWindow]);
  // Modal: a click on the main window's box reaches nothing, and the focus stays in the alert.
  const main = await rect(mainWindow), inside = await rect(alertWindow);
  await page.mouse.click(main.x + 20, main.y + main.height - 20);
  await page.mouse.click(inside.x + 20, inside.y + inside.height - 20);
  expect(await button('OK').evaluate((el) => el === document.activeElement), 'the focus left the alert');
  await button('OK').click();
  await until('the alert closes', () => alertWindow.count(), (n) => n === 0);
  expect(await button('Calculate').evaluate((el) => el === document.activeElement), 'the focus did not come back');
});

await check('the worked example gives its seven figures', async () => {
  await enterWorkedExample();
  await button('Calculate').click();
  const shown = await shownFigures(page);
  expect(JSON.stringify(shown) === JSON.stringify(workedFigures), `figures ${JSON.stringify(shown)}`);
  await until('the window has grown', () => rect(mainWindow), (r) => r.height === 382);
  await screenshot('web-results.png', [mainWindow]);
  await button('Back').click();
  await until('the input panel is back', () => rect(box('Full Tank Capacity:')), (r) => Math.round(r.x - 0) > 0 && r.width > 0);
  await until('the window is short again', () => rect(mainWindow), (r) => r.height === 282);
});

// What a user types can be checked once the box has lost the focus: the widest figures the ranges accept.
await check('the widest figures the ranges accept show whole in their boxes', async () => {
  const widest = { 'Full Tank Capacity:': '1499.99', 'Average Monthly Top-up:': '99.99',
                   'Max Mileage Attained Per Full Tank:': '2999.99', 'Fuel price per Litre:': '19.99' };
  for (const [name, text] of Object.entries(widest)) {
    await box(name).click();
    await page.keyboard.press('Control+A');
    await page.keyboard.type(text);
  }
  await page.keyboard.press('Tab');
  for (const [name, text] of Object.entries(widest)) {
    const shown = await box(name).evaluate((el) => ({ value: el.value, scroll: el.scrollLeft, width: el.scrollWidth, room: el.clientWidth }));
    expect(shown.value === text && shown.scroll === 0 && shown.width <= shown.room, `${name} ${JSON.stringify(shown)}`);
  }
  await screenshot('web-main-typed.png', [mainWindow]);
});

await check('Close and the title change colour under the pointer', async () => {
  const close = button('Close'), title = page.locator('.kv-form [data-name=Label1]').first();
  const face = await style(close, 'backgroundColor');
  await page.mouse.move((await centre(close)).x, (await centre(close)).y);
  await until('Close lights up', () => style(close, 'backgroundColor'), (c) => c === 'rgb(130, 81, 22)');
  await page.mouse.move((await centre(title)).x, (await centre(title)).y);
  await until('the title lights up', () => style(title, 'color'), (c) => c === 'rgb(128, 128, 255)');
  expect((await style(title, 'fontWeight')) === '700', 'the title is not bold');
  expect((await style(close, 'backgroundColor')) === face, 'Close kept its hover colour');
  const body = await rect(mainWindow);
  await page.mouse.move(body.x + 20, body.y + body.height - 20);
  await until('the title is plain again', () => style(title, 'color'), (c) => c === 'rgb(255, 255, 255)');
});

async function drag(from, dx, dy) {
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  for (let step = 1; step <= 4; ++step) await page.mouse.move(from.x + (dx * step) / 4, from.y + (dy * step) / 4);
  await page.mouse.up();
}

await check('a drag by the body moves the window; one by the title label does not', async () => {
  const before = await rect(mainWindow);
  await drag({ x: before.x + 20, y: before.y + before.height - 20 }, 60, 40);
  const after = await rect(mainWindow);
  expect(after.x === before.x + 60 && after.y === before.y + 40, `moved to ${after.x},${after.y} from ${before.x},${before.y}`);
  await drag(await centre(page.locator('.kv-form [data-name=Label1]').first()), 50, 30);
  const still = await rect(mainWindow);
  expect(still.x === after.x && still.y === after.y, `the title label moved it to ${still.x},${still.y}`);
  // Let go away from the label, the press was no click on it.
  expect(context.pages().length === 1, 'the drag opened a tab');
});

await check('Minimise leaves a control in the page that restores the window where it was', async () => {
  const before = await rect(mainWindow);
  await button('Minimise').click();
  await until('the window is hidden', () => mainWindow.isHidden());
  const restore = page.getByRole('button', { name: /^Restore / });
  expect((await restore.count()) === 1, 'no restore control');
  await restore.click();
  await until('the window is back', () => mainWindow.isVisible());
  const after = await rect(mainWindow);
  expect(after.x === before.x && after.y === before.y, `restored at ${after.x},${after.y}`);
  expect((await restore.count()) === 0, 'the restore control stayed');
  const focused = await page.evaluate(() => document.querySelector('[data-name=formMain]').contains(document.activeElement));
  expect(focused, 'the focus went to the page, not back into the window');
});

await check('the title opens the distributor in one new tab, without access to the calculator', async () => {
  const opened = [];
  context.on('page', (tab) => opened.push(tab));
  await page.locator('.kv-form [data-name=Label1]').first().click();
  const tab = await until('a tab opens', () => opened[0]);
  await tab.waitForLoadState();
  expect(tab.url() === home, `opened ${tab.url()}`);
  expect((await tab.evaluate(() => window.opener)) === null, 'the new tab has an opener');
  expect(page.url().startsWith(base), 'the calculator left its own tab');
  await tab.close();
  await page.bringToFront();
  await until("only the calculator's tab is left", () => context.pages().map((p) => p.url()), (n) => n.length === 1);
  expect(opened.length === 1, `${opened.length} tabs opened: ${opened.map((p) => p.url())}`);
});

// A request as the bytes a client sends, so that a malformed path reaches the server as it is.
function ask(method, path, headers = {}) {
  return new Promise((done, fail) => {
    const url = new URL(base);
    const sent = request({ host: url.hostname, port: url.port, method, path, headers }, (answer) => {
      answer.resume();
      answer.on('end', () => done({ status: answer.statusCode, headers: answer.headers }));
    });
    sent.on('error', fail);
    sent.end();
  });
}

await check('the server refuses a malformed path and other methods, and answers on', async () => {
  expect((await ask('GET', '/%E0%A4%A')).status === 400, 'a malformed path was not refused with 400');
  for (const method of ['POST', 'OPTIONS', 'PUT']) {
    const answer = await ask(method, '/');
    expect(answer.status === 405, `${method} answered ${answer.status}`);
  }
  expect((await ask('GET', '/')).status === 200, 'the page is no longer served');
});

await check("the server's headers: no sniffing, a policy that lets only the page's own files run, caching by name", async () => {
  const front = await ask('GET', '/', { 'Accept-Encoding': 'gzip' });
  expect(front.headers['x-content-type-options'] === 'nosniff', 'no nosniff');
  const policy = front.headers['content-security-policy'] || '';
  for (const rule of ["default-src 'self'", "script-src 'self' 'wasm-unsafe-eval'", "style-src 'self'", "img-src 'self'", "object-src 'none'"])
    expect(policy.split(/;\s*/).includes(rule), `policy without ${rule}: ${policy}`);
  expect(!/unsafe-inline|unsafe-eval'|\*/.test(policy.replace("'wasm-unsafe-eval'", '')), `policy too loose: ${policy}`);
  expect(/Accept-Encoding/i.test(front.headers.vary || ''), `Vary ${front.headers.vary}`);
  expect(front.headers['cache-control'] === 'no-cache', `the page is cached as ${front.headers['cache-control']}`);
  const named = JSON.parse(await (await fetch(base)).text().then((html) => html.match(/<script type="application\/json" id="kv-files">(.*?)<\/script>/)[1]));
  const program = await ask('GET', '/' + named['kelvara-calculator.wasm'], { 'Accept-Encoding': 'gzip' });
  expect(program.status === 200 && program.headers['content-type'] === 'application/wasm', `the program: ${program.status} ${program.headers['content-type']}`);
  expect(/max-age=31536000/.test(program.headers['cache-control']) && /immutable/.test(program.headers['cache-control']),
         `the program is cached as ${program.headers['cache-control']}`);
});

await check('a 2 MB paste is cut to what a desktop box holds, and the worked example calculates after it', async () => {
  const tank = box('Full Tank Capacity:');
  await tank.click();
  await page.keyboard.insertText('7'.repeat(2 * 1024 * 1024));
  const length = await tank.evaluate((el) => el.value.length);
  expect(length === 32767, `the box holds ${length} characters`);
  // A block of lines goes to the toolkit whole, which keeps what a box takes of it.
  await tank.evaluate((el) => {
    const lines = new DataTransfer();
    lines.setData('text/plain', ('7'.repeat(1024) + '\n').repeat(2048));
    el.dispatchEvent(new ClipboardEvent('paste', { clipboardData: lines, bubbles: true, cancelable: true }));
  });
  expect((await mainWindow.count()) === 1, 'the program stopped');
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Backspace');
  await enterWorkedExample();
  await button('Calculate').click();
  const shown = await shownFigures(page);
  expect(JSON.stringify(shown) === JSON.stringify(workedFigures), `figures ${JSON.stringify(shown)}`);
  await button('Back').click();
  await until('the window is short again', () => rect(mainWindow), (r) => r.height === 282);
});

const inPage = async () => {
  const r = await rect(mainWindow), size = page.viewportSize();
  return r.x >= -0.5 && r.y >= -0.5 && r.x + r.width <= size.width + 0.5 && r.y + r.height <= size.height + 0.5;
};

await check('a drag never takes the window out of the page', async () => {
  const before = await rect(mainWindow);
  await drag({ x: before.x + 20, y: before.y + before.height - 20 }, -1500, -1200);
  const after = await rect(mainWindow);
  expect(after.x === 0 && after.y === 0, `dragged to ${after.x},${after.y}`);
  await drag({ x: after.x + 20, y: after.y + after.height - 20 }, 254, 243);
  expect((await rect(mainWindow)).x === 254, 'the window did not follow the pointer back');
});

await check('a page that shrinks brings the window back in, and minimise and restore keep it there', async () => {
  await page.setViewportSize({ width: 1600, height: 1000 });
  const at = await rect(mainWindow);
  await drag({ x: at.x + 20, y: at.y + at.height - 20 }, 1600 - 514 - at.x, 1000 - 282 - at.y);
  expect((await rect(mainWindow)).x === 1600 - 514, 'not moved to the corner');
  await page.setViewportSize({ width: 1024, height: 768 });
  await until('the window is inside the page', inPage);
  await button('Minimise').click();
  await page.getByRole('button', { name: /^Restore / }).click();
  await until('the restored window is inside the page', inPage);
});

// Every control that a layout shows, whole, inside the page.
async function wholeInPage(on, names) {
  const size = on.viewportSize();
  for (const name of names) {
    const r = await rect(on.locator(`.kv-form:not([hidden]) [data-name="${name}"]:not([hidden])`).last());
    expect(r.width > 0 && r.x >= -0.5 && r.y >= -0.5 && r.x + r.width <= size.width + 0.5 && r.y + r.height <= size.height + 0.5,
           `${name} at ${JSON.stringify(r)} in ${size.width} x ${size.height}`);
  }
}
const atRest = ['Command1', 'cmdClose', 'Label1', 'txtTank', 'txtPrice', 'cmdCalculate'];
const withResults = ['Command1', 'cmdClose', 'lblResult', 'lblCalculationResult', 'cmdBack', 'cmdExit'];

await check('on a page smaller than the window (zoomed to 200 %), the window is scaled to fit, at rest and with results', async () => {
  await page.setViewportSize({ width: 512, height: 300 });
  await until('the window fits', inPage);
  await wholeInPage(page, atRest);
  await enterWorkedExample();
  await button('Calculate').click();
  await shownFigures(page);
  await until('the window has grown and fits', inPage, (v) => v, 5000);
  await until('the grow has ended', () => page.locator('[data-name=cmdBack]').evaluate((el) => !el.hidden));
  await wholeInPage(page, withResults);
  await screenshot('web-zoomed-results.png', [mainWindow]);
  await button('Back').click();
  await page.setViewportSize({ width: 1024, height: 768 });
  await until('the window is at its own size again', () => rect(mainWindow), (r) => r.width === 514 && r.height === 282);
  for (const name of Object.keys(worked)) await box(name).fill('');
});

// axe-core's rules, run in the page; serious and critical findings fail.
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
async function axeFindings(on) {
  if (!(await on.evaluate(() => !!window.axe))) await on.evaluate(axeSource);
  const result = await on.evaluate(() => axe.run(document, { resultTypes: ['violations'] }));
  return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.id} (${v.nodes.length}: ${v.nodes.map((n) => n.target.join(' ')).slice(0, 3).join(', ')})`);
}

await check('axe-core finds nothing serious at rest, with the alert and with the results', async () => {
  const found = [];
  found.push(...(await axeFindings(page)).map((f) => `at rest: ${f}`));
  await button('Calculate').click();
  await until('the alert shows', () => alertWindow.count(), (n) => n === 1);
  found.push(...(await axeFindings(page)).map((f) => `alert: ${f}`));
  await button('OK').click();
  await until('the alert closes', () => alertWindow.count(), (n) => n === 0);
  await enterWorkedExample();
  await button('Calculate').click();
  await shownFigures(page);
  found.push(...(await axeFindings(page)).map((f) => `results: ${f}`));
  expect(found.length === 0, found.join('; '));
});

await check('the keyboard and a screen reader: the title is a link that Enter opens, each figure follows its caption', async () => {
  const order = await page.locator('.kv-form[data-name=formMain] > *').evaluateAll((els) =>
    els.filter((el) => !el.hidden).map((el) => el.dataset.name + ':' + el.textContent.trim()));
  for (let i = 0; i < 7; ++i) {
    const figure = order.findIndex((item, k) => item.startsWith('lblCalculationResult:') && order.slice(0, k).filter((o) => o.startsWith('lblCalculationResult:')).length === i);
    const caption = order.slice(0, figure).reverse().find((item) => item.startsWith('lblResult:'));
    const captions = order.slice(0, figure).filter((item) => item.startsWith('lblResult:')).length;
    expect(caption && captions === i + 1, `figure ${i + 1} is read after ${captions} captions`);
  }
  const title = page.getByRole('link', { name: /KELVARA CALCULATOR BY/ });
  expect((await title.count()) === 1, 'the title is no link');
  const tabs = await page.locator('[tabindex]').evaluateAll((els) => els.map((el) => el.tabIndex).filter((t) => t > 0));
  expect(tabs.length === 0, `tabindex above 0: ${tabs}`);
  await button('Back').click();
  await until('the focus is on a control after Back', () => page.evaluate(() => document.activeElement && document.activeElement.dataset.name),
              (name) => name && name !== 'cmdBack');
  const focused = () => page.evaluate(() => document.activeElement.dataset.name);
  await box('Full Tank Capacity:').click();
  await page.keyboard.press('Shift+Tab');
  await until('Shift+Tab from the first box reaches the title', focused, (name) => name === 'Label1');
  const opened = new Promise((done) => context.once('page', done));
  await page.keyboard.press('Enter');
  const tab = await opened;
  await tab.close();
  await page.bringToFront();
  await page.keyboard.press('Tab');
  await until('Tab from the title goes to the first box', focused, (name) => name === 'txtTank');
});

await check('Close ends the program and leaves a page that offers to start again', async () => {
  await button('Close').click();
  await until('the ended page shows', () => page.getByRole('heading').innerText().catch(() => ''),
              (t) => t === 'Kelvara Calculator has ended');
  expect((await page.locator('.kv-form').count()) === 0, 'a window stayed');
  await button('Start again').click();
  await until('the calculator starts again', () => mainWindow.count(), (n) => n === 1);
});

await check('a trap in the program ends it with the error page, which offers to start again', async () => {
  await until('the calculator runs', () => mainWindow.count(), (n) => n === 1);
  const errors = pageErrors.length;
  // A text at an address far outside the program's memory: reading it traps.
  await page.evaluate(() => KV.call(() => Module._kv_text(0, -16)));
  await until('the error page shows', () => page.getByRole('heading').innerText().catch(() => ''),
              (t) => t === 'Kelvara Calculator stopped after an error');
  const message = await page.getByRole('alert').innerText();
  expect(/^Run-time error:\s+memory access out of bounds/.test(message), `message ${message}`);
  pageErrors.splice(errors);
  await button('Start again').click();
  await until('the calculator starts again', () => mainWindow.count(), (n) => n === 1);
});

// A phone: 360 x 740 CSS pixels at three device pixels each, touch, a mobile browser.
const phone = await browser.newContext({
  viewport: { width: 360, height: 740 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true,
  userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 Mobile Safari/537.36',
});
const mobile = await phone.newPage();
// The page in front, as a phone shows it: a page behind others gets no animation frames.
await mobile.bringToFront();
watch(mobile);
const phoneWindow = mobile.locator('.kv-form[data-name=formMain]');
const cdp = await phone.newCDPSession(mobile);
// A finger's drag: a move a frame, then it rests before it lifts, so the browser sees no fling (a tap during
// a fling only stops it).
async function touchDrag(from, dx, dy) {
  const start = Date.now() / 1000;
  const send = (type, step, at) => cdp.send('Input.dispatchTouchEvent', {
    type, timestamp: start + at * 0.016,
    touchPoints: type === 'touchEnd' ? [] : [{ x: from.x + (dx * step) / 4, y: from.y + (dy * step) / 4, radiusX: 1, radiusY: 1, id: 1 }],
  });
  await send('touchStart', 0, 0);
  for (let step = 1; step <= 4; ++step) await send('touchMove', step, step);
  await send('touchMove', 4, 20);
  await send('touchEnd', 4, 21);
}
await mobile.goto(`${base}index.html`);
await until('the main window shows on the phone', () => mobile.locator('.kv-form:not([hidden])').count(), (n) => n === 1);

await check('on a phone the whole window fits the page, sharp, with the twice-size pictures and decimal keyboards', async () => {
  await wholeInPage(mobile, atRest);
  const r = await rect(phoneWindow);
  expect(Math.abs(r.width - 360) <= 1, `the window is ${r.width} px wide on a 360 px page`);
  const pictures = await mobile.evaluate(() => performance.getEntriesByType('resource').map((e) => e.name).filter((n) => /\/skin\//.test(n)));
  expect(pictures.length > 0 && pictures.every((n) => n.includes('@2x')), `pictures ${pictures.map((n) => n.split('/').pop())}`);
  const modes = await mobile.locator('input').evaluateAll((els) => els.map((el) => el.inputMode));
  expect(modes.length === 4 && modes.every((m) => m === 'decimal'), `inputmode ${modes}`);
  expect(await mobile.evaluate(() => !/user-scalable=no|maximum-scale/.test(document.querySelector('meta[name=viewport]').content)), 'the page cannot be zoomed');
  await mobile.screenshot({ path: `${shots}/web-phone-main.png` });
});

await check('on a phone a tap clicks and leaves no hover look; a touch drag moves the window', async () => {
  await mobile.getByRole('button', { name: 'Calculate', exact: true }).tap();
  await until('the alert shows', () => mobile.locator('.kv-form[data-name=formAlert]').count(), (n) => n === 1);
  await mobile.getByRole('button', { name: 'OK', exact: true }).tap();
  await until('the alert closes', () => mobile.locator('.kv-form[data-name=formAlert]').count(), (n) => n === 0);
  // A finger that slides a little on Minimise lights it up as a pointer would; lifted, the light goes.
  const minimise = await rect(mobile.locator('[data-name=Command1]'));
  await touchDrag({ x: minimise.x + minimise.width / 2 - 2, y: minimise.y + minimise.height / 2 }, 4, 0);
  await until('the window is minimised', () => phoneWindow.isHidden());
  await mobile.getByRole('button', { name: /^Restore / }).tap();
  await until('the window is back', () => phoneWindow.isVisible());
  const colour = await mobile.locator('[data-name=Command1]').evaluate((el) => getComputedStyle(el).backgroundColor);
  expect(colour === 'rgb(154, 107, 52)', `Minimise kept the look ${colour}`);
  const before = await rect(phoneWindow);
  await touchDrag({ x: before.x + 40, y: before.y + before.height - 20 }, 0, 120);
  const after = await until(`the window follows the finger from ${before.y}`, () => rect(phoneWindow), (a) => Math.abs(a.y - before.y - 120) <= 1);
  expect(after.x === before.x, `moved across to ${after.x}`);
  // Down to the screen's bottom edge, which a finger does not pass: the window stops inside the page.
  await touchDrag({ x: after.x + 40, y: after.y + after.height - 20 }, 0, 739 - (after.y + after.height - 20));
  await wholeInPage(mobile, atRest);
});

await check('on a phone a tap on CALCULATE gives the seven figures, every one inside the page', async () => {
  await enterWorkedExample(mobile, 'tap');
  await mobile.getByRole('button', { name: 'Calculate', exact: true }).tap();
  const shown = await shownFigures(mobile);
  expect(JSON.stringify(shown) === JSON.stringify(workedFigures), `figures ${JSON.stringify(shown)}`);
  await until('the grow has ended', () => mobile.locator('[data-name=cmdBack]').evaluate((el) => !el.hidden));
  await until('the grown window is in the page', async () => {
    try { await wholeInPage(mobile, withResults); return true; } catch { return false; }
  });
  await mobile.screenshot({ path: `${shots}/web-phone-results.png` });
  await mobile.getByRole('button', { name: 'Back', exact: true }).tap();
});

await check('a page that turns brings the window back in', async () => {
  await mobile.setViewportSize({ width: 740, height: 360 });
  await until('the window fits the turned page', async () => {
    try { await wholeInPage(mobile, atRest); return true; } catch { return false; }
  });
  await mobile.setViewportSize({ width: 360, height: 740 });
});
await phone.close();

await check('after one visit the page opens and calculates without a network', async () => {
  const visit = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const tab = await visit.newPage();
  await tab.bringToFront();
  watch(tab);
  await tab.goto(`${base}index.html`);
  await until('the service worker controls the page', () => tab.evaluate(() => !!navigator.serviceWorker.controller), (v) => v, 15000);
  await until('its files are kept', () => tab.evaluate(async () => {
    const names = await caches.keys();
    return names.length === 1 && (await (await caches.open(names[0])).keys()).length > 20;
  }), (v) => v, 15000);
  // What keeps the page from being installed; a test browser's private profile is no fault of the page's.
  const { installabilityErrors } = await (await visit.newCDPSession(tab)).send('Page.getInstallabilityErrors');
  const blocking = installabilityErrors.filter((e) => e.errorId !== 'in-incognito');
  expect(blocking.length === 0, `not installable: ${JSON.stringify(blocking)}`);
  await visit.setOffline(true);
  await tab.reload();
  await until('the main window shows offline', () => tab.locator('.kv-form:not([hidden])').count(), (n) => n === 1, 15000);
  await enterWorkedExample(tab);
  await tab.getByRole('button', { name: 'Calculate', exact: true }).click();
  const shown = await shownFigures(tab);
  expect(JSON.stringify(shown) === JSON.stringify(workedFigures), `figures ${JSON.stringify(shown)}`);
  await visit.close();
});

await check('a new build replaces the kept one at the next visit, page and program together', async () => {
  // A copy of the folder stands for the site; a new build changes its page and its worker's version.
  const site = mkdtempSync(join(tmpdir(), 'kelvara-site-'));
  chmodSync(site, 0o755);
  cpSync(folder, site, { recursive: true });
  const copy = await host(site);
  const visit = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  try {
    const tab = await visit.newPage();
    await tab.bringToFront();
    watch(tab);
    await tab.goto(`${copy.url}index.html`);
    await until('the service worker controls the page', () => tab.evaluate(() => !!navigator.serviceWorker.controller), (v) => v, 15000);
    const kept = await tab.evaluate(() => caches.keys());
    const page = readFileSync(join(site, 'index.html'), 'utf8');
    writeFileSync(join(site, 'index.html'), page.replace('<title>', '<meta name="kv-build" content="next">\n<title>'));
    const worker = readFileSync(join(site, 'sw.js'), 'utf8');
    writeFileSync(join(site, 'sw.js'), worker.replace(/var version = '[^']*'/, "var version = 'next'"));
    await tab.reload();
    expect(await tab.evaluate(() => !!document.querySelector('meta[name=kv-build]')), 'the old page came back');
    await until('the new build alone is kept', () => tab.evaluate(() => caches.keys()), (names) => names.length === 1 && names[0] === 'kelvara-next', 15000);
    expect(kept.length === 1 && kept[0] !== 'kelvara-next', `kept before: ${kept}`);
    await visit.setOffline(true);
    await tab.reload();
    await until('the new page shows offline', () => tab.evaluate(() => !!document.querySelector('meta[name=kv-build]') && !!document.querySelector('.kv-form:not([hidden])')), (v) => v, 15000);
  } finally {
    await visit.close();
    await copy.close();
    rmSync(site, { recursive: true, force: true });
  }
});

await check('no script error escaped on the way', async () => {
  expect(pageErrors.length === 0, pageErrors.join('; '));
});

await browser.close();
await served.close();
console.log(`e2e-web (${served.name}): ${counts.passed} passed, ${counts.failed} failed`);
process.exit(counts.failed === 0 ? 0 : 1);
