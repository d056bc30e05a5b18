// The Player in an OfflineAudioContext, in headless Chromium and Firefox:
// what it renders, from the block it starts in, is ptrender's render sample
// for sample, silence before it, and `ended` fires once.
import assert from 'node:assert/strict';
import { copyFileSync, readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import test from 'node:test';

import { launch, openPage, serve } from './browser.mjs';
import * as support from './support.mjs';

support.installedPackage(); // skips when the package is not installed

function pickTune(dir) {
  const ogg = support.corpusTunes().find((p) => /Ogg Vorbis/.test(support.ptrenderInfo(p)));
  return ogg ?? support.builderTunes(dir)[0];
}

// In the page: plays /files/tune with the Player in an offline context of
// `frames` frames and uploads the output as interleaved 16-bit samples.
async function renderOffline(frames, upload) {
  const { Player } = await import('/pkg/lib/browser.js');
  const bytes = await (await fetch('/files/tune')).arrayBuffer();
  const context = new OfflineAudioContext(2, frames, 44100);
  const player = await Player.create(context);
  let start = null;
  let ended = 0;
  player.addEventListener('position', (e) => (start ??= Math.round(e.detail.contextTime * 44100)));
  player.addEventListener('ended', () => ended++);
  await player.play(bytes);
  const rendered = await context.startRendering();
  const [left, right] = [rendered.getChannelData(0), rendered.getChannelData(1)];
  const samples = new Int16Array(frames * 2);
  for (let i = 0; i < frames; i++) {
    samples[2 * i] = Math.round(left[i] * 32768);
    samples[2 * i + 1] = Math.round(right[i] * 32768);
  }
  await fetch(`/upload/${upload}`, { method: 'POST', body: samples.buffer });
  return { start, ended };
}

test('the Player in an OfflineAudioContext gives ptrender\'s render', async (t) => {
  const dir = support.tempDir(t);
  const tune = pickTune(dir);
  copyFileSync(tune, join(dir, 'tune'));
  const want = support.wavSamples(support.ptrender(tune, join(dir, 'want.wav')));
  const server = await serve({ '/pkg/': dirname(support.packageFile('package.json')), '/files/': dir }, dir);
  t.after(() => server.close());
  for (const name of ['chromium', 'firefox']) {
    const browser = await launch(name);
    try {
      const page = await openPage(browser, server);
      const frames = want.length / 2 + 44100;
      const { start, ended } = await page.evaluate(renderOffline, frames, `${name}.raw`);
      const got = new Int16Array(readFileSync(join(dir, `${name}.raw`)).buffer.slice(0));
      assert.ok(start !== null && start < 4410, `${name}: the tune starts at frame ${start}`);
      assert.ok(got.subarray(0, 2 * start).every((s) => s === 0), `${name}: sound before the tune`);
      const heard = got.subarray(2 * start, 2 * start + want.length);
      assert.equal(support.firstDifference(heard, want), -1, `${name}: ${tune} is not ptrender's render`);
      assert.ok(got.subarray(2 * start + want.length).every((s) => s === 0), `${name}: sound after the end`);
      assert.equal(ended, 1, `${name}: ended fired ${ended} times`);
      assert.deepEqual(page.errors, []);
      console.log(`${name}: ${tune} from frame ${start} is ptrender's render`);
    } finally {
      await browser.close();
    }
  }
});
