// node bench/web_worklet.mjs TUNE LONG_TUNE: the Player's audio thread in
// headless Chromium, timed by Chromium itself (its trace events of each
// AudioWorklet block, AudioWorkletHandler::Process) in a real-time context
// at 44100 Hz: the median and the worst block beside the 2.9 ms a block of
// 128 frames lasts, while TUNE plays, and while LONG_TUNE is loaded and
// sought deep into (the tunes' memory coming over a slice a block).
import { readFileSync, rmSync } from 'node:fs';
import { basename, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, serve } from '../tests/web/browser.mjs';
import { tempDir } from '../tests/web/support.mjs';

const BUDGET_MS = (128 / 44100) * 1e3;
const [tune, longTune] = process.argv.slice(2);
const dir = tempDir();
const web = join(dirname(fileURLToPath(import.meta.url)), '..', 'web');
const server = await serve({ '/pkg/': web, '/a/': dirname(tune), '/b/': dirname(longTune) }, dir);
const browser = await launch('chromium');

async function play(first, second) {
  const { Player } = await import('/pkg/lib/browser.js');
  const context = new AudioContext({ sampleRate: 44100 });
  const player = await Player.create(context);
  const sleep = (s) => new Promise((resolve) => setTimeout(resolve, s * 1000));
  const bytes = async (url) => (await fetch(url)).arrayBuffer();
  const marks = {};
  marks.playing = performance.now();
  await player.play(await bytes(first));
  await sleep(4);
  marks.loading = performance.now();
  await player.play(await bytes(second));
  for (const seconds of [600, 900, 300, 950]) {
    await sleep(0.5);
    player.seek(seconds);
  }
  await sleep(1.5);
  marks.end = performance.now();
  await context.close();
  return marks;
}

try {
  const page = await browser.newPage();
  await page.goto(`${server.url}/a/`);
  const trace = join(dir, 'trace.json');
  await page.tracing.start({ path: trace, categories: ['disabled-by-default-webaudio.audionode'] });
  await page.evaluate(play, `/a/${basename(tune)}`, `/b/${basename(longTune)}`);
  await page.tracing.stop();
  const blocks = JSON.parse(readFileSync(trace))
    .traceEvents.filter((e) => e.name === 'AudioWorkletHandler::Process' && e.dur !== undefined)
    .sort((a, b) => a.ts - b.ts);
  // The first blocks load the tune; from the fourth second on, the second
  // tune's loads and seeks.
  const start = blocks[0]?.ts ?? 0;
  const phases = [
    ['playing', blocks.filter((b) => b.ts - start < 4e6)],
    ['loading and seeking', blocks.filter((b) => b.ts - start >= 4e6)],
  ];
  console.log(`AudioWorklet block (${BUDGET_MS.toFixed(2)} ms of sound) in Chromium, ${basename(tune)} ` +
    `then ${basename(longTune)}:`);
  for (const [what, list] of phases) {
    const ms = list.map((b) => b.dur / 1e3).sort((a, b) => a - b);
    if (!ms.length) continue;
    const median = ms[ms.length >> 1];
    const worst = ms[ms.length - 1];
    console.log(`  ${what.padEnd(20)} ${String(ms.length).padStart(5)} blocks: median ${median.toFixed(3)} ms ` +
      `(${((median / BUDGET_MS) * 100).toFixed(2)} % of the budget), worst ${worst.toFixed(3)} ms ` +
      `(${((worst / BUDGET_MS) * 100).toFixed(1)} %)`);
  }
} finally {
  await browser.close();
  server.close();
  rmSync(dir, { recursive: true, force: true });
}
