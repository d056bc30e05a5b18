// The package under Node, imported from the installed tarball, against
// ptrender: the Tune's renders, info, seeking, tunes side by side, memory
// over many loads, hostile bytes; the command (npx brindlewick). Run with
// --expose-gc.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import test from 'node:test';

import { pathToFileURL } from 'node:url';

import * as support from './support.mjs';

const { Tune } = await support.installedPackage();
const { tuneListing } = await import(pathToFileURL(support.packageFile('lib/listing.js')));
const RATE = 44100;

async function load(path, options = {}) {
  return Tune.load(readFileSync(path), { name: basename(path), ...options });
}

function renderAll(tune) {
  const parts = [];
  for (let part; (part = tune.render(30000)).length;) parts.push(part);
  const out = new Int16Array(parts.reduce((n, p) => n + p.length, 0));
  parts.reduce((at, p) => (out.set(p, at), at + p.length), 0);
  return out;
}

function sameSamples(what, got, want) {
  const at = support.firstDifference(got, want);
  assert.equal(at, -1, `${what}: ${got.length} samples against ptrender's ${want.length}, first difference at ${at}`);
}

test('every tune renders and lists as ptrender does', async (t) => {
  const dir = support.tempDir(t);
  const tunes = [...support.builderTunes(dir), ...support.corpusTunes()];
  const out = join(dir, 'want.wav');
  for (const path of tunes) {
    let tune;
    try {
      tune = await load(path);
    } catch (e) {
      assert.throws(() => support.ptrender(path, out), undefined, `${path}: ${e.message} here, not in ptrender`);
      continue;
    }
    const want = support.wavSamples(support.ptrender(path, out));
    assert.equal(tune.outputFrames, want.length / 2, path);
    sameSamples(path, renderAll(tune), want);
    assert.ok(tune.ended && tune.position === want.length / 2, path);
    tune.free();
    const listed = await load(path, { rate: 192000 });
    assert.equal(tuneListing(listed.info), support.ptrenderInfo(path), path);
    listed.free();
  }
  console.log(`${tunes.length} tunes render and list as ptrender's`);
});

// rate, channels, loops, fade; ptrender's arguments (mono: its mix)
const VARIANTS = [
  [22050, 2, 2, 0, ['--rate', '22050', '--loops', '2']],
  [8000, 2, 1, 1.5, ['--rate', '8000', '--fade', '1.5']],
  [192000, 1, 1, 0, ['--rate', '192000']],
];

test('rates, channels, loops and fades', async (t) => {
  const dir = support.tempDir(t);
  const [path] = support.builderTunes(dir);
  for (const [rate, channels, loops, fade, args] of VARIANTS) {
    const tune = await load(path, { rate, channels });
    tune.loops = loops;
    tune.fade = fade;
    const got = renderAll(tune);
    const want = support.wavSamples(support.ptrender(path, join(dir, 'want.wav'), ...args));
    if (channels === 2) {
      sameSamples(args.join(' '), got, want);
    } else {
      assert.equal(got.length, want.length / 2);
      got.forEach((s, i) => assert.ok(Math.abs(s - (want[2 * i] + want[2 * i + 1]) / 2) <= 1, `mono at ${i}`));
    }
    const floats = (await load(path, { rate, channels })).renderFloat(4096);
    floats.forEach((f, i) => assert.equal(f * 32768, got[i]));
  }
});

function seekTunes(dir) {
  const long = support.corpusTunes().filter((p) => readFileSync(p).length > 20000);
  return long.length ? long.slice(0, 2) : support.builderTunes(dir).slice(0, 2);
}

test('a seek gives what the render from the start gives there; tunes do not meet', async (t) => {
  const dir = support.tempDir(t);
  const [first, second] = seekTunes(dir);
  const alone = [first, second].map((p) => support.wavSamples(support.ptrender(p, join(dir, 'w.wav'))));
  const from = 5 * RATE;
  const sought = await load(first);
  sought.seek(from);
  assert.equal(sought.position, from);
  sameSamples(`${first} from 5 s`, renderAll(sought), alone[0].subarray(2 * from));

  const tunes = await Promise.all([first, second].map((p) => load(p)));
  const parts = [[], []];
  for (let turn = 0; parts.some((p, i) => !tunes[i].ended); turn++) {
    const i = turn % 2;
    if (!tunes[i].ended) parts[i].push(...tunes[i].render(1000 + 777 * i));
  }
  parts.forEach((p, i) => sameSamples(`tune ${i} rendered by turns`, Int16Array.from(p), alone[i]));
});

test('200 loads and frees leave memory flat', async (t) => {
  assert.ok(global.gc, 'run with --expose-gc');
  const [path] = support.builderTunes(support.tempDir(t));
  const bytes = readFileSync(path);
  const cycle = async (n) => {
    for (let i = 0; i < n; i++) {
      const tune = await Tune.load(bytes);
      tune.render(4096);
      tune.free();
    }
    await new Promise((resolve) => setTimeout(resolve, 10));
    global.gc();
    return process.memoryUsage();
  };
  const before = await cycle(20);
  const after = await cycle(200);
  const grew = (after.rss - before.rss) / 2 ** 20;
  console.log(`rss ${(before.rss / 2 ** 20).toFixed(1)} MiB, after 200 more ${(after.rss / 2 ** 20).toFixed(1)} MiB`);
  assert.ok(grew < 16, `rss grew by ${grew.toFixed(1)} MiB over 200 loads`);
});

// Truncations at fixed and random places, and copies with bits flipped.
function* spoilt(data, random) {
  const cuts = new Set([0, 16, 20, 24, 64, data.length >> 1, data.length - 1, 17 + random(data.length - 17)]);
  for (const n of cuts) if (n < data.length) yield ['cut', data.subarray(0, n)];
  for (const flips of [1, 8, 64]) {
    const b = Uint8Array.from(data);
    for (let i = 0; i < flips; i++) b[16 + random(b.length - 16)] ^= 1 << random(8);
    yield ['flipped', b];
  }
}

test('hostile bytes throw an Error with a text, never crash or hang', async (t) => {
  let seed = 15;
  const random = (n) => ((seed = (seed * 1103515245 + 12345) % 2 ** 31) % Math.max(n, 1));
  const dir = support.tempDir(t);
  const sources = [...support.builderTunes(dir), ...support.corpusTunes().slice(0, 12)];
  const counts = { error: 0, played: 0 };
  for (const path of sources) {
    for (const [how, bytes] of spoilt(readFileSync(path), random)) {
      try {
        const tune = await Tune.load(bytes, { name: 'spoilt' });
        tune.loops = 2;
        tune.render(RATE);
        tune.seek(tune.info.frames / 2);
        tune.render(RATE);
        tune.free();
        counts.played++;
      } catch (e) {
        assert.ok(e instanceof Error && /^[a-z].*: spoilt$|^[a-z ]+$/.test(e.message), `${path} ${how}: ${e}`);
        if (how === 'cut') assert.match(e.message, /^(not a tune|damaged tune|unsupported tune version): spoilt$/);
        counts.error++;
      }
    }
  }
  await assert.rejects(Tune.load('not bytes'), TypeError);
  console.log(`${sources.length} tunes spoilt: ${counts.error} errors, ${counts.played} played`);
});

// arguments (after the tune and output); exit status; what ptrender is given
const COMMANDS = [
  [['--loops', '2', '--fade', '1.5', '--rate', '22050'], 0, ['--loops', '2', '--fade', '1.5', '--rate', '22050']],
  [[], 0, []],
  [['--rate', '7999'], 2],
  [['--loops=0'], 2],
];

test('npx brindlewick writes what ptrender writes', async (t) => {
  const dir = support.tempDir(t);
  const npx = (...args) =>
    spawnSync('npx', ['--no', 'brindlewick', ...args], { cwd: support.env('WEB_INSTALL'), encoding: 'latin1' });
  const japanese = support.corpusTunes().filter((p) => /[^\x00-\x7f]/.test(support.ptrenderInfo(p)));
  const [tune] = [...japanese, ...support.builderTunes(dir)];
  for (const [args, status, ptrenderArgs] of COMMANDS) {
    const got = npx('render', tune, join(dir, 'got.wav'), ...args);
    assert.equal(got.status, status, `${args}: ${got.stderr}`);
    if (status) continue;
    const want = support.ptrender(tune, join(dir, 'want.wav'), ...ptrenderArgs);
    assert.ok(readFileSync(join(dir, 'got.wav')).equals(want), `${tune} ${args}: not ptrender's bytes`);
  }
  const info = npx('info', tune);
  assert.equal(Buffer.from(info.stdout, 'latin1').toString('utf8'), support.ptrenderInfo(tune));
  const damaged = join(dir, 'damaged.ptcop');
  writeFileSync(damaged, readFileSync(tune).subarray(0, 40));
  const failed = npx('render', damaged, join(dir, 'no.wav'));
  assert.deepEqual([failed.status, failed.stderr], [1, 'brindlewick: damaged tune: damaged.ptcop\n']);
  assert.ok(!existsSync(join(dir, 'no.wav')));
});
