#!/usr/bin/env node
// brindlewick render TUNE OUT.wav [--loops N] [--fade S] [--rate R]
// brindlewick info TUNE
// What ptrender gives, through the package: the same WAV bytes, the same
// listing. Exit status 0 done, 1 the tune or the output failed, 2 bad
// arguments.
import { closeSync, openSync, readFileSync, unlinkSync, writeSync } from 'node:fs';
import { basename } from 'node:path';

import { Tune } from '../lib/node.js';
import { LISTING_RATE, tuneListing } from '../lib/listing.js';
import { WAV_HEADER_BYTES, sampleBytes, wavHeader } from '../lib/wav.js';

const USAGE = `usage: brindlewick render TUNE OUT.wav [--loops N] [--fade SECONDS] [--rate N]
       brindlewick info TUNE
Renders a .ptcop or .pttune tune to a 16-bit stereo WAV file, as ptrender
does, or prints what it holds.

  --rate N        frames per second, 8000..192000 (default 44100)
  --loops N       play the song N times, each repeat from its repeat
                  position (default 1)
  --fade SECONDS  fade out over the last SECONDS of the last time through
                  (default: no fade; the echoes of a delay ring out)
`;
const MAX_OUTPUT_FRAMES = 1e9;
const BLOCK_FRAMES = 4096;

class Usage extends Error {}

const OPTIONS = {
  '--rate': [8000, 192000, true, 'a whole number from 8000 to 192000'],
  '--loops': [1, 10000, true, 'a whole number from 1 to 10000'],
  '--fade': [0, 3600, false, 'seconds from 0 to 3600'],
};

function optionValue(name, text) {
  const [low, high, whole, want] = OPTIONS[name];
  const value = Number(text);
  const ok = (whole ? /^[0-9]+$/ : /^-?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/).test(text);
  if (!ok || value < low || value > high) throw new Usage(`${name} needs ${want}, not "${text}"`);
  return value;
}

function parse(argv) {
  const [command, ...rest] = argv;
  if (command === '-h' || command === '--help') return { command: 'help' };
  const args = { command, files: [], rate: 44100, loops: 1, fade: 0 };
  for (let i = 0; i < rest.length; i++) {
    const a = rest[i];
    if (!a.startsWith('--') || a === '--') {
      args.files.push(a);
      continue;
    }
    const [name, inline] = a.split(/=(.*)/s);
    if (!(name in OPTIONS) || command !== 'render') throw new Usage(`unknown option "${a}"`);
    const text = inline ?? rest[++i];
    if (text === undefined) throw new Usage(`${name} needs a value`);
    args[name.slice(2)] = optionValue(name, text);
  }
  const want = { render: 2, info: 1 }[command];
  if (!want) throw new Usage(command ? `unknown command "${command}"` : 'give a command: render or info');
  if (args.files.length !== want) throw new Usage(want === 2 ? 'give a tune and an output file' : 'info takes one tune');
  if (command === 'render' && !/\.wav$/i.test(args.files[1])) throw new Usage('the output file must end in .wav');
  return args;
}

async function loadTune(path, rate) {
  let bytes;
  try {
    bytes = readFileSync(path);
  } catch {
    throw new Error(`cannot open: ${basename(path)}`);
  }
  const tune = await Tune.load(bytes, { rate, channels: 2, name: basename(path) });
  if (tune.warning) process.stderr.write(`brindlewick: ${tune.warning}\n`);
  return tune;
}

async function info(args) {
  const tune = await loadTune(args.files[0], LISTING_RATE);
  process.stdout.write(tuneListing(tune.info));
}

// Writes the output through a file: the header's sizes come last.
function writeWav(tune, path) {
  const fd = openSync(path, 'w');
  let frames = 0;
  try {
    writeSync(fd, new Uint8Array(WAV_HEADER_BYTES));
    for (let block; frames < MAX_OUTPUT_FRAMES && (block = tune.render(Math.min(BLOCK_FRAMES, MAX_OUTPUT_FRAMES - frames))).length;) {
      writeSync(fd, sampleBytes(block));
      frames += block.length / 2;
    }
    writeSync(fd, wavHeader(tune.rate, 2, frames), 0, WAV_HEADER_BYTES, 0);
  } finally {
    closeSync(fd);
  }
}

async function render(args) {
  const [tunePath, outPath] = args.files;
  const tune = await loadTune(tunePath, args.rate);
  tune.loops = args.loops;
  tune.fade = 1;
  const body = tune.outputFrames;
  tune.fade = args.fade;
  if (body > MAX_OUTPUT_FRAMES) {
    const hours = (frames) => (frames / args.rate / 3600).toFixed(1);
    throw new Error(`too long to render: ${hours(body)} hours, the most is ${hours(MAX_OUTPUT_FRAMES)} at this rate`);
  }
  try {
    writeWav(tune, outPath);
  } catch (e) {
    try {
      unlinkSync(outPath);
    } catch {}
    throw new Error(`cannot write ${outPath}: ${e.message}`);
  }
}

async function main(argv) {
  let args;
  try {
    args = parse(argv);
  } catch (e) {
    if (!(e instanceof Usage)) throw e;
    process.stderr.write(`brindlewick: ${e.message}\nTry 'brindlewick --help'.\n`);
    return 2;
  }
  if (args.command === 'help') {
    process.stdout.write(USAGE);
    return 0;
  }
  try {
    await (args.command === 'info' ? info(args) : render(args));
    return 0;
  } catch (e) {
    process.stderr.write(`brindlewick: ${e.message}\n`);
    return 1;
  }
}

process.exitCode = await main(process.argv.slice(2));
