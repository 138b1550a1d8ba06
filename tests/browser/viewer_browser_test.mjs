// The live viewer in a real browser: Debian's Chromium driven by
// playwright-core. Starts `panelhost view` with the radio and the airspeed
// gauge, swaps the COM frequencies with a click, drags the airspeed control
// and sees the needle move, right-clicks MODE and sees the legend step back.
//
// usage: node viewer_browser_test.mjs PANELHOST MODULE_FOLDER SCREENSHOT.png
import { spawn } from 'node:child_process';
import { rmSync } from 'node:fs';
import { chromium } from 'playwright-core';

const [panelhost, modules, screenshot] = process.argv.slice(2);
const results = [];

function check(name, ok, detail = '') {
  results.push(ok);
  console.log(`${ok ? 'ok' : 'FAILED'} ${name}${ok ? '' : ': ' + detail}`);
}

async function until(what, test, timeout = 5000) {
  const end = Date.now() + timeout;
  while (Date.now() < end) {
    if (await test()) return true;
    await new Promise(resolve => setTimeout(resolve, 100));
  }
  return false;
}

// A fresh start: no standby frequencies stored by an earlier run.
if (process.env.ORIM_REGISTRY_FILE) rmSync(process.env.ORIM_REGISTRY_FILE, { force: true });

const viewer = spawn(panelhost, ['view', `${modules}/ORIM_TR410.so`, `${modules}/QAV_MetricOnly_US_450.so`, '--port', '0'],
                     { stdio: ['ignore', 'pipe', 'inherit'] });
const url = await new Promise((resolve, reject) => {
  let seen = '';
  viewer.stdout.on('data', chunk => {
    seen += chunk;
    const match = /open (http:\/\/127\.0\.0\.1:\d+\/)/.exec(seen);
    if (match) resolve(match[1]);
  });
  viewer.on('exit', code => reject(new Error(`panelhost view ended with ${code}`)));
  setTimeout(() => reject(new Error('panelhost view did not start')), 10000);
});

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage({ viewport: { width: 1400, height: 1100 } });
  await page.goto(url);
  const texts = () => page.locator('#texts-0').textContent();
  const set = (name, value) => fetch(url + 'api/set', { method: 'POST', body: new URLSearchParams({ name, value }) });
  await page.locator('#gauge-0').waitFor();
  await set('com_active', 0x1802);
  check('the page shows the radio\'s texts',
        await until('texts', async () => (await texts()).includes('ComActiveText="118.02"')), await texts());

  // The COM swap button, at gauge pixel (14, 45), drawn twice as large.
  const text = (all, name) => (new RegExp(name + '="([^"]*)"').exec(all) || [])[1];
  const start = await texts();
  await page.locator('#gauge-0').click({ position: { x: 14 * 2, y: 45 * 2 } });
  check('a click on the COM swap button exchanges the frequencies',
        await until('swap', async () => {
          const now = await texts();
          return text(now, 'ComActiveText') === text(start, 'ComStandbyText') &&
                 text(now, 'ComStandbyText') === text(start, 'ComActiveText');
        }), `before ${start}, after ${await texts()}`);

  // Right-click MODE: from OBS back to RAD.
  check('the legend starts at OBS', await until('obs', async () => (await texts()).includes('NavModeText="OBS"')),
        await texts());
  await page.locator('#gauge-0').click({ button: 'right', position: { x: 255 * 2, y: 120 * 2 } });
  check('a right click on MODE steps the legend back',
        await until('rad', async () => (await texts()).includes('NavModeText="RAD"')), await texts());

  // Drag the airspeed control and compare the gauge's pixels.
  await page.waitForTimeout(400);
  await page.locator('#gauge-1').scrollIntoViewIfNeeded();
  const before = await page.locator('#gauge-1').screenshot();
  const slider = page.locator('#var-airspeed_knots');
  await slider.scrollIntoViewIfNeeded();
  const box = await slider.boundingBox();
  await page.mouse.move(box.x + 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width * 0.6, box.y + box.height / 2, { steps: 10 });
  await page.mouse.up();
  const moved = await until('needle', async () => {
    const after = await page.locator('#gauge-1').screenshot();
    return !after.equals(before);
  });
  const value = await slider.inputValue();
  check('dragging the airspeed control moves the needle', moved && Number(value) > 0, `control at ${value}`);

  await page.screenshot({ path: screenshot });
  check('a screenshot is taken', true);
} finally {
  await browser.close();
  viewer.kill('SIGTERM');
}

const failed = results.filter(ok => !ok).length;
console.log(`${results.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
