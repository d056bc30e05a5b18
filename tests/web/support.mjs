// What the web tests share: the installed package, ptrender, the tunes
// (builder-made, the fuzzers' seeds, and the corpus when ../shared is
// there), WAV data. Paths come from CTest: PTRENDER, E2E_TUNES, WEB_SEEDS,
// WEB_INSTALL (where the packed package was installed). A test exits 77
// (skipped) when something it needs is missing.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const SOURCE = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const SHARED = join(SOURCE, '..', 'shared');
export const SKIPPED = 77;

export function skip(why) {
  console.log(`skipped: ${why}`);
  process.exit(SKIPPED);
}

export function env(name) {
  const value = process.env[name];
  if (!value) skip(`${name} not set (run through ctest)`);
  return value;
}

// The package as a program that installed it imports it (its exports map
// picks lib/node.js), and a file of the installed package by its path.
export async function installedPackage() {
  const where = env('WEB_INSTALL');
  let entry;
  try {
    entry = createRequire(join(where, 'package.json')).resolve('brindlewick');
  } catch {
    skip(`the package is not installed in ${where} (scripts/web-build, then the web_package test)`);
  }
  return import(pathToFileURL(entry));
}

export function packageFile(path) {
  return join(env('WEB_INSTALL'), 'node_modules', 'brindlewick', path);
}

export function tempDir(t) {
  const dir = mkdtempSync(join(tmpdir(), 'web-test-'));
  t?.after(() => rmSync(dir, { recursive: true, force: true }));
  return dir;
}

function filesIn(dir, pattern) {
  if (!existsSync(dir)) return [];
  return readdirSync(dir, { recursive: true })
    .filter((f) => pattern.test(f))
    .map((f) => join(dir, f))
    .sort();
}

export const TUNE_NAME = /\.(ptcop|pttune)$/i;

// Other people's tunes, for testing only; none without ../shared.
export function corpusTunes() {
  const found = ['corpus', 'corpus-next'].flatMap((d) => filesIn(join(SHARED, d), TUNE_NAME));
  if (!found.length) console.log('note: no corpus (../shared/corpus), builder-made tunes only');
  return found;
}

// The demo tunes, a melody in each format made by e2e_tunes, the fuzzers'
// seeds (each voice kind, event kind and block) and the kept findings.
export function builderTunes(dir) {
  const made = ['melody.ptcop', 'melody.pttune'].map((name) => {
    const path = join(dir, name);
    execFileSync(env('E2E_TUNES'), [path, '6', '0', '4', '7', '12']);
    return path;
  });
  return [
    ...filesIn(join(SOURCE, 'demo'), TUNE_NAME),
    ...made,
    ...filesIn(env('WEB_SEEDS'), TUNE_NAME),
    ...filesIn(join(SOURCE, 'tests', 'data', 'tunes'), TUNE_NAME),
  ];
}

// The samples of a WAV's data chunk.
export function wavSamples(bytes) {
  for (let at = 12; at + 8 <= bytes.length;) {
    const kind = bytes.toString('latin1', at, at + 4);
    const size = bytes.readUInt32LE(at + 4);
    if (kind === 'data') return new Int16Array(bytes.buffer.slice(bytes.byteOffset + at + 8, bytes.byteOffset + at + 8 + size));
    at += 8 + size + (size & 1);
  }
  throw new Error('no data chunk');
}

export function ptrender(tune, out, ...args) {
  execFileSync(env('PTRENDER'), [...args, tune, out]);
  return readFileSync(out);
}

export function ptrenderInfo(tune) {
  return execFileSync(env('PTRENDER'), ['--info', tune], { encoding: 'utf8' });
}

// Where two sample arrays first differ, or -1 when they are equal.
export function firstDifference(a, b) {
  const n = Math.min(a.length, b.length);
  for (let i = 0; i < n; i++) if (a[i] !== b[i]) return i;
  return a.length === b.length ? -1 : n;
}
