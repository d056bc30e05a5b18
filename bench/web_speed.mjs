// node bench/web_speed.mjs TUNE_SPEED TUNE...: the engine as WebAssembly in
// Node (the package's Tune) beside the native library (TUNE_SPEED, the
// build's tune_speed), measured alike on the same tunes in the same run: the
// load's time, and the render's speed in multiples of real time at 44100 Hz
// stereo, once through, each the best of a few runs of the process's CPU
// time. Then the WebAssembly build's share of native speed: the median over
// the tunes and over all of them together (the goal: at least 0.75).
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { basename } from 'node:path';

import { Tune } from '../web/lib/node.js';

const RUNS = 5;
const cpu = () => {
  const { user, system } = process.cpuUsage();
  return (user + system) / 1e6;
};

async function measure(path) {
  const bytes = readFileSync(path);
  let load = Infinity;
  let render = Infinity;
  let frames = 0;
  for (let run = 0; run < RUNS; run++) {
    const start = cpu();
    let tune;
    try {
      tune = await Tune.load(bytes, { name: basename(path) });
    } catch {
      return null;
    }
    const loaded = cpu();
    frames = 0;
    for (let block; (block = tune.render(4096)).length;) frames += block.length / 2;
    load = Math.min(load, loaded - start);
    render = Math.min(render, cpu() - loaded);
    tune.free();
  }
  return { seconds: frames / 44100, load: load * 1e3, speed: frames / 44100 / Math.max(render, 1e-9) };
}

const median = (v) => [...v].sort((a, b) => a - b)[v.length >> 1];

const [tuneSpeed, ...tunes] = process.argv.slice(2);
const native = new Map(
  execFileSync(tuneSpeed, tunes, { encoding: 'utf8', maxBuffer: 1 << 24 })
    .trim()
    .split('\n')
    .map((line) => line.split('\t'))
    .filter((f) => f[1] !== '-')
    .map(([path, seconds, load, speed]) => [path, { seconds: +seconds, load: +load, speed: +speed }]),
);
console.log('tune                                      sound s  load ms native/wasm   x rt native    x rt wasm  wasm/native');
const ratios = [];
let sound = 0;
let nativeTime = 0;
let wasmTime = 0;
for (const path of tunes) {
  const n = native.get(path);
  const w = n && (await measure(path));
  if (!w) continue;
  const ratio = w.speed / n.speed;
  ratios.push(ratio);
  sound += n.seconds;
  nativeTime += n.seconds / n.speed;
  wasmTime += w.seconds / w.speed;
  const name = path.length > 40 ? `..${path.slice(-38)}` : path;
  console.log(`${name.padEnd(40)} ${n.seconds.toFixed(2).padStart(8)} ${n.load.toFixed(2).padStart(7)}/` +
    `${w.load.toFixed(2).padEnd(7)} ${n.speed.toFixed(0).padStart(12)} ${w.speed.toFixed(0).padStart(12)} ` +
    `${ratio.toFixed(2).padStart(12)}`);
}
console.log(`\n${ratios.length} tunes, ${sound.toFixed(0)} s of sound: WebAssembly at ${median(ratios).toFixed(2)} x ` +
  `native speed (median), ${(nativeTime / wasmTime).toFixed(2)} x over them all (goal: at least 0.75)`);
