// Works the page of web/player in headless Chromium, audibly (into the
// PulseAudio server the environment names), for web_sound.py: opens FOLDER
// through the folder picker, clicks the first row, pauses and resumes with
// Space, and lets the list go on. Prints what the page showed as JSON.
//
//   node page_driver.mjs FOLDER
import { existsSync } from 'node:fs';
import { join } from 'node:path';

import { launch, serve } from './browser.mjs';
import * as support from './support.mjs';

const [folder] = process.argv.slice(2);
if (!existsSync(join(support.SOURCE, 'web', 'dist', 'brindlewick.wasm'))) support.skip('no web/dist (scripts/web-build)');
const sleep = (s) => new Promise((resolve) => setTimeout(resolve, s * 1000));
const server = await serve({ '/': join(support.SOURCE, 'web') }, folder);
const browser = await launch('chromium', { sound: true });
try {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(`${server.url}/player/`);
  await page.waitForSelector('body[data-ready]');
  const picker = await page.$('#open-folder');
  await picker.uploadFile(folder);
  await page.waitForSelector('#list button');
  const read = () => page.evaluate(() => ({
    rows: [...document.querySelectorAll('#list li')].map((li) => li.textContent),
    current: document.querySelector('#list .current')?.textContent ?? null,
    title: document.getElementById('title').textContent,
    status: document.getElementById('status').textContent,
    seek: Number(document.getElementById('seek').value),
  }));
  const seen = { rows: (await read()).rows, steps: [] };
  await sleep(1.5); // the stream's first moments come unevenly
  await page.click('#list button');
  for (const [wait, key] of [[1.2, 'Space'], [1, 'Space'], [0.6, null], [7, null]]) {
    await sleep(wait);
    if (key) await page.keyboard.press(key);
    seen.steps.push({ key, ...(await read()) });
  }
  await page.click('#stop');
  seen.errors = errors;
  console.log(JSON.stringify(seen));
} finally {
  await browser.close();
  server.close();
}
