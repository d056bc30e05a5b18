// Tune: one loaded tune and its play position, the C API's bw_tune in
// JavaScript's manner. Each tune has an engine instance of its own.
import { EngineInstance } from './engine.js';
import { INFO_SIZE, POSITION_SIZE, readInfo, readPosition } from './tune-info.js';

const MAX_FILE_BYTES = 64 * 2 ** 20; // the engine's cap: larger is not copied in
const MIN_RATE = 8000;
const MAX_RATE = 192000;
const LOOP_FOREVER = 0;

function tuneBytes(bytes) {
  if (bytes instanceof Uint8Array) return bytes;
  if (bytes instanceof ArrayBuffer) return new Uint8Array(bytes);
  if (ArrayBuffer.isView(bytes)) return new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  throw new TypeError('bad argument: bytes (a Uint8Array or an ArrayBuffer)');
}

function wholeNumber(value, what, low, high) {
  if (!Number.isInteger(value) || value < low || value > high) {
    throw new RangeError(`bad argument: ${what}`);
  }
  return value;
}

// The engine's state of a tune, for the Player (not part of the package's API).
export const tuneState = new WeakMap();
const MADE_HERE = Symbol('Tune.load');

export class Tune {
  #engine;
  #handle;
  #rate;
  #channels;
  #info = null;
  #warning = '';
  #loops = 1;
  #fade = 0;
  #buffer = 0;
  #bufferFrames = 0;
  #scratch = 0;

  // Loads `bytes` (a whole ".ptcop" or ".pttune" file). Throws an Error with
  // the engine's text ("damaged tune: NAME") when it cannot be played.
  static async load(bytes, { rate = 44100, channels = 2, name = null } = {}) {
    const data = tuneBytes(bytes);
    wholeNumber(rate, 'rate', MIN_RATE, MAX_RATE);
    wholeNumber(channels, 'channels', 1, 2);
    const failure = `tune too big: ${name ?? '(no name)'}`;
    if (data.length > MAX_FILE_BYTES) throw new Error(failure);
    const engine = await EngineInstance.create();
    const tune = new Tune(MADE_HERE, engine, rate, channels);
    const at = engine.copyIn(data);
    const nameAt = name === null ? 0 : engine.textIn(String(name));
    const loaded = engine.call('bw_load_memory', failure, tune.#handle, at, data.length, nameAt);
    engine.call('free', failure, at);
    if (nameAt) engine.call('free', failure, nameAt);
    const text = tune.#lastError();
    if (!loaded) {
      tune.free();
      throw new Error(text);
    }
    tune.#warning = text;
    tuneState.set(tune, { engine, handle: tune.#handle, source: data.slice(), name });
    return tune;
  }

  constructor(madeHere, engine, rate, channels) {
    if (madeHere !== MADE_HERE) throw new TypeError('tunes are made by Tune.load');
    this.#engine = engine;
    this.#rate = rate;
    this.#channels = channels;
    this.#handle = engine.call('bw_new', 'out of memory', rate, channels);
    if (!this.#handle) throw new Error('out of memory');
    this.#scratch = engine.alloc(Math.max(INFO_SIZE, POSITION_SIZE));
  }

  get rate() {
    return this.#rate;
  }

  get channels() {
    return this.#channels;
  }

  // The load's warning ("bad voice: NAME": that voice plays silent), or "".
  get warning() {
    return this.#warning;
  }

  get info() {
    if (!this.#info) {
      const e = this.#live();
      if (!e.call('bw_get_info', 'out of memory', this.#handle, this.#scratch, INFO_SIZE)) {
        throw new Error(this.#lastError());
      }
      const effects = [];
      for (let at; (at = e.call('bw_effect_text', 'out of memory', this.#handle, effects.length));) {
        effects.push(e.text(at));
      }
      this.#info = readInfo(e, this.#scratch, effects);
    }
    return this.#info;
  }

  get loops() {
    return this.#loops;
  }

  // 1 (once through), N, or 0 for ever; each pass after the first from the
  // repeat position. A count at or below the pass playing makes it the last.
  set loops(count) {
    this.#check('bw_set_loops', wholeNumber(count, 'loops', 0, 2 ** 31 - 1));
    this.#loops = count;
  }

  get fade() {
    return this.#fade;
  }

  // Seconds the last pass fades out over (0: none; the echoes ring out).
  set fade(seconds) {
    if (typeof seconds !== 'number' || !Number.isFinite(seconds) || seconds < 0) {
      throw new RangeError('bad argument: fade');
    }
    this.#check('bw_set_fade', seconds);
    this.#fade = seconds;
  }

  // Frames the whole output takes (echoes included); Infinity for ever.
  get outputFrames() {
    const frames = this.#live().call('bw_output_frames', 'out of memory', this.#handle);
    if (frames < 0n) {
      if (this.loops === LOOP_FOREVER) return Infinity;
      throw new Error(this.#lastError());
    }
    return Number(frames);
  }

  // Up to `frames` frames, interleaved; fewer at the end, none after it.
  // (Memory for what is rendered, not for what is asked.)
  render(frames) {
    wholeNumber(frames, 'frames', 0, 2 ** 31 - 1);
    const e = this.#live();
    const parts = [];
    let done = 0;
    while (done < frames) {
      const ask = Math.min(frames - done, this.#renderBuffer(frames - done));
      const n = e.call('bw_render', 'engine failure', this.#handle, this.#buffer, ask);
      parts.push(new Int16Array(e.memory.buffer, this.#buffer, n * this.#channels).slice());
      done += n;
      if (n < ask) break;
    }
    if (parts.length === 1) return parts[0];
    const out = new Int16Array(done * this.#channels);
    parts.reduce((at, part) => (out.set(part, at), at + part.length), 0);
    return out;
  }

  // The same samples as render(), divided by 32768.
  renderFloat(frames) {
    const samples = this.render(frames);
    const out = new Float32Array(samples.length);
    for (let i = 0; i < samples.length; i++) out[i] = samples[i] / 32768;
    return out;
  }

  // Moves to output frame `frame` (clamped to the output): what follows is
  // what rendering from the start gives there.
  seek(frame) {
    if (typeof frame !== 'number' || !Number.isFinite(frame)) throw new RangeError('bad argument: frame');
    this.#check('bw_seek', BigInt(Math.max(0, Math.floor(frame))));
  }

  // The output frame the next render starts at.
  get position() {
    return this.#positionInfo().frame;
  }

  // As position, with the song's frame and tick and the pass playing.
  get place() {
    return this.#positionInfo();
  }

  get ended() {
    return this.#live().call('bw_ended', 'engine failure', this.#handle) === 1;
  }

  // Lets the tune and its engine instance go; the tune cannot be used after.
  free() {
    if (this.#engine && !this.#engine.broken) this.#engine.calls.bw_free(this.#handle);
    this.#engine = null;
    tuneState.delete(this);
  }

  #live() {
    if (!this.#engine) throw new Error('tune freed');
    return this.#engine;
  }

  #lastError() {
    const e = this.#live();
    return e.broken ? 'engine failure' : e.text(e.calls.bw_error(this.#handle));
  }

  #check(call, ...args) {
    if (!this.#live().call(call, 'engine failure', this.#handle, ...args)) throw new Error(this.#lastError());
  }

  #positionInfo() {
    this.#check('bw_get_position', this.#scratch);
    return readPosition(this.#engine, this.#scratch);
  }

  // A buffer in the instance for `frames` frames (at most 64k at a time).
  #renderBuffer(frames) {
    const want = Math.min(frames, 65536);
    if (this.#bufferFrames < want) {
      const e = this.#live();
      if (this.#buffer) e.call('free', 'engine failure', this.#buffer);
      this.#buffer = 0;
      this.#buffer = e.alloc(want * this.#channels * 2);
      this.#bufferFrames = want;
    }
    return this.#bufferFrames;
  }
}
