// End-to-end tests of the web version in headless Chromium, driven with real input through the DevTools
// protocol (pointer and key events as the browser's own input). Usage: node tests/web/e2e.mjs FOLDER
// [SCREENSHOTS]. Ends with one line: "e2e-web: N passed, M failed".

import { mkdirSync } from 'node:fs';
import { launch } from './browser.mjs';
import { address, serve } from './server.mjs';

const [folder = 'build-web/web', shots = 'build-web/screenshots'] = process.argv.slice(2);
mkdirSync(shots, { recursive: true });
const home = 'https://www.kelvara.example/';
const server = await serve(folder);
const browser = await launch();
const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
// The distributor's site is not reached from here: the browser gets a stand-in page at its address.
await context.route(`${home}**`, (route) => route.fulfill({ contentType: 'text/html', body: '<title>distributor</title>' }));
const page = await context.newPage();
const pageErrors = [];
page.on('pageerror', (error) => pageErrors.push(error.message));

let passed = 0, failed = 0;
async function check(name, body) {
  try {
    await body();
    passed += 1;
    console.log(`ok - ${name}`);
  } catch (error) {
    failed += 1;
    console.log(`not ok - ${name}: ${error.message.split('\n')[0]}`);
  }
}
function expect(condition, message) {
  if (!condition) throw new Error(message);
}
// Bounded polling: the value the function yields once the condition holds, or a failure naming it.
async function until(what, fn, condition = (v) => v, timeout = 5000) {
  const end = Date.now() + timeout;
  let value;
  for (;;) {
    value = await fn();
    if (condition(value)) return value;
    if (Date.now() > end) throw new Error(`${what}: still ${JSON.stringify(value)}`);
    await new Promise((done) => setTimeout(done, 25));
  }
}

const forms = page.locator('.kv-form:not([hidden])');
const mainWindow = page.locator('.kv-form[data-name=formMain]');
const alertWindow = page.locator('.kv-form[data-name=formAlert]');
const box = (name) => page.getByRole('textbox', { name });
const button = (name) => page.getByRole('button', { name, exact: true });
const rect = (locator) => locator.evaluate((el) => {
  const r = el.getBoundingClientRect();
  return { x: r.left, y: r.top, width: r.width, height: r.height };
});
const style = (locator, property) => locator.evaluate((el, p) => getComputedStyle(el)[p], property);
const centre = async (locator) => {
  const r = await rect(locator);
  return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
};
async function start() {
  await page.goto(`${address(server)}index.html`);
  await until('the main window shows', () => forms.count(), (n) => n === 1);
  await until('the first box has the focus', () => box('Full Tank Capacity:').evaluate((el) => el === document.activeElement));
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
  const figures = { 'Full Tank Capacity:': '47.5', 'Average Monthly Top-up:': '4',
                    'Max Mileage Attained Per Full Tank:': '845', 'Fuel price per Litre:': '2.88' };
  for (const [name, text] of Object.entries(figures)) {
    await box(name).click();
    await page.keyboard.type(text);
  }
  await button('Calculate').click();
  const results = page.locator('[data-name=lblCalculationResult]');
  const shown = await until('the results show', () => results.evaluateAll((els) => els.filter((el) => !el.hidden).map((el) => el.textContent)),
                            (v) => v.length === 7);
  const expected = ['1039.3', '21.8', '3.2', '$454.78', '$92.42', '$1109.04', '5.2'];
  expect(JSON.stringify(shown) === JSON.stringify(expected), `figures ${JSON.stringify(shown)}`);
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
});

await check('the title opens the distributor in one new tab, without access to the calculator', async () => {
  const opened = [];
  context.on('page', (tab) => opened.push(tab));
  await page.locator('.kv-form [data-name=Label1]').first().click();
  const tab = await until('a tab opens', () => opened[0]);
  await tab.waitForLoadState();
  expect(tab.url() === home, `opened ${tab.url()}`);
  expect((await tab.evaluate(() => window.opener)) === null, 'the new tab has an opener');
  expect(page.url().startsWith(address(server)), 'the calculator left its own tab');
  await tab.close();
  await page.bringToFront();
  await until("only the calculator's tab is left", () => context.pages().map((p) => p.url()), (n) => n.length === 1);
  expect(opened.length === 1, `${opened.length} tabs opened: ${opened.map((p) => p.url())}`);
});

await check('Close ends the program and leaves a page that offers to start again', async () => {
  await button('Close').click();
  await until('the ended page shows', () => page.getByRole('heading').innerText().catch(() => ''),
              (t) => t === 'Kelvara Calculator has ended');
  expect((await page.locator('.kv-form').count()) === 0, 'a window stayed');
  await button('Start again').click();
  await until('the calculator starts again', () => mainWindow.count(), (n) => n === 1);
});

await check('no script error escaped on the way', async () => {
  expect(pageErrors.length === 0, pageErrors.join('; '));
});

await browser.close();
server.close();
console.log(`e2e-web: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
