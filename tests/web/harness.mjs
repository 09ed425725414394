// What the web end-to-end runs share: the server they load the page from (tests/web/server.mjs, or nginx
// with packaging/nginx/ when KELVARA_WEB_SERVER=nginx), named checks counted for the closing line, and
// bounded polling.
import { serveWithNginx } from './nginx.mjs';
import { address, serve } from './server.mjs';

export async function host(folder) {
  if (process.env.KELVARA_WEB_SERVER === 'nginx') return { name: 'nginx', ...(await serveWithNginx(folder)) };
  const server = await serve(folder);
  return { name: 'tests/web/server.mjs', url: address(server), close: () => server.close() };
}

export const counts = { passed: 0, failed: 0 };
export async function check(name, body) {
  try {
    await body();
    counts.passed += 1;
    console.log(`ok - ${name}`);
  } catch (error) {
    counts.failed += 1;
    console.log(`not ok - ${name}: ${error.message.split('\n')[0]}`);
  }
}

export function expect(condition, message) {
  if (!condition) throw new Error(message);
}

// The value the function yields once the condition holds, or a failure naming it.
export async function until(what, fn, condition = (v) => v, timeout = 5000) {
  const end = Date.now() + timeout;
  let value;
  for (;;) {
    value = await fn();
    if (condition(value)) return value;
    if (Date.now() > end) throw new Error(`${what}: still ${JSON.stringify(value)}`);
    await new Promise((done) => setTimeout(done, 25));
  }
}

export const rect = (locator) => locator.evaluate((el) => {
  const r = el.getBoundingClientRect();
  return { x: r.left, y: r.top, width: r.width, height: r.height };
});

export const worked = { 'Full Tank Capacity:': '47.5', 'Average Monthly Top-up:': '4',
                        'Max Mileage Attained Per Full Tank:': '845', 'Fuel price per Litre:': '2.88' };
export const workedFigures = ['1039.3', '21.8', '3.2', '$454.78', '$92.42', '$1109.04', '5.2'];

// The result figures shown, once all seven are.
export function shownFigures(page, timeout = 5000) {
  const results = page.locator('[data-name=lblCalculationResult]');
  return until('the results show', () => results.evaluateAll((els) => els.filter((el) => !el.hidden).map((el) => el.textContent)),
               (v) => v.length === 7, timeout);
}
