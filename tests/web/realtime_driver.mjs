// Plays a tune with the Player in headless Chromium through a real-time
// AudioContext at 44100 Hz, audibly (into the PulseAudio server the
// environment names), for web_sound.py, which records it. Prints what the
// page saw as JSON: the ended events and the positions reported.
//
//   node realtime_driver.mjs '{"tune": PATH, "loops": N, "seekAfter": S,
//                              "seekTo": S, "stopAfter": S}'
// (seekAfter: seconds of playing before the seek; stopAfter: seconds of
// playing after the start or the seek before stopping; without it, until
// `ended`.)
import { copyFileSync, rmSync } from 'node:fs';
import { dirname, join } from 'node:path';

import { launch, openPage, serve } from './browser.mjs';
import * as support from './support.mjs';

async function play({ loops, seekAfter, seekTo, stopAfter }) {
  const { Player } = await import('/pkg/lib/browser.js');
  const context = new AudioContext({ sampleRate: 44100, latencyHint: 'playback' });
  const player = await Player.create(context);
  const seen = { ended: 0, positions: [], seekAt: null };
  const sleep = (s) => new Promise((resolve) => setTimeout(resolve, s * 1000));
  player.addEventListener('position', (e) => seen.positions.push([e.detail.contextTime, e.detail.position]));
  const ended = new Promise((resolve) => player.addEventListener('ended', () => resolve(++seen.ended)));
  player.loops = loops;
  await sleep(1.5); // a new stream's first moments come unevenly
  await player.play(await (await fetch('/files/tune')).arrayBuffer());
  if (seekAfter !== undefined) {
    await sleep(seekAfter);
    seen.seekAt = context.currentTime;
    player.seek(seekTo);
  }
  await (stopAfter === undefined ? ended : sleep(stopAfter));
  await sleep(1); // a second ended would come now
  player.stop();
  await context.close();
  return seen;
}

const scenario = JSON.parse(process.argv[2]);
const dir = support.tempDir();
process.on('exit', () => rmSync(dir, { recursive: true, force: true }));
copyFileSync(scenario.tune, join(dir, 'tune'));
const server = await serve({ '/pkg/': dirname(support.packageFile('package.json')), '/files/': dir }, dir);
const browser = await launch('chromium', { sound: true });
try {
  const page = await openPage(browser, server);
  const seen = await page.evaluate(play, scenario);
  if (page.errors.length) throw page.errors[0];
  console.log(JSON.stringify(seen));
} finally {
  await browser.close();
  server.close();
}
