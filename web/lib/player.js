// Player: plays tunes through an AudioWorklet (player-processor.js), in a
// real-time AudioContext or an OfflineAudioContext.
//
// What is slow (a load, an Ogg voice's decoding, a seek deep into a long
// tune, the echoes' length) happens here, on the main thread, on the
// player's own copy of the tune; the audio thread gets the copy's memory,
// ready to play, and takes it a slice per block while the old tune plays
// on. So no block waits for more than rendering itself.
import { engineModule } from './engine.js';
import { Tune, tuneState } from './tune.js';

const PROCESSOR_URL = new URL('./player-processor.js', import.meta.url);
const BUFFER_FRAMES = 1024;
const POSITION_BYTES = 24;

export class Player extends EventTarget {
  #context;
  #node;
  #gain;
  #tune = null; // the copy seeks are made on, with what the processor needs
  #id = 0;
  #loops = 1;
  #frames = 0; // the output's length; Infinity for ever
  #position = 0;
  #paused = false;
  #ended = false;
  #wantedFrame = null;
  #seeking = null;
  #started = null; // resolves when the audio thread took what was sent last
  #startedResolve = null;
  #receivedResolve = null;

  // A player on `context`, sounding into `destination` (the context's own
  // by default). Compiles the engine once and loads the processor module.
  static async create(context, { destination = context.destination } = {}) {
    const module = await engineModule();
    await context.audioWorklet.addModule(PROCESSOR_URL);
    const node = new AudioWorkletNode(context, 'brindlewick-player', {
      numberOfInputs: 0,
      numberOfOutputs: 1,
      outputChannelCount: [2],
      processorOptions: { module },
    });
    return new Player(context, node, destination);
  }

  constructor(context, node, destination) {
    super();
    this.#context = context;
    this.#node = node;
    this.#gain = new GainNode(context);
    node.connect(this.#gain).connect(destination);
    node.port.onmessage = (e) => this.#receive(e.data);
  }

  get context() {
    return this.#context;
  }

  // Plays a tune (its file's bytes, or a Tune) from its start. Resolves once
  // the tune is loaded and the audio thread has it (it starts within a few
  // blocks; in an offline context, with the rendering); rejects with the
  // engine's text when it cannot be played.
  async play(bytesOrTune, { name = null } = {}) {
    this.#unlock();
    const id = ++this.#id;
    const source = bytesOrTune instanceof Tune ? tuneState.get(bytesOrTune) : { source: bytesOrTune, name };
    if (!source) throw new Error('tune freed');
    const tune = await Tune.load(source.source, { rate: this.#context.sampleRate, channels: 2, name: source.name });
    if (id !== this.#id) {
      tune.free(); // a later play() came first
      return;
    }
    this.#tune?.tune.free();
    const { engine } = tuneState.get(tune);
    this.#tune = { tune, buffer: engine.alloc(BUFFER_FRAMES * 4), place: engine.alloc(POSITION_BYTES) };
    tune.loops = this.#loops;
    this.#frames = tune.outputFrames;
    this.#position = 0;
    this.#ended = false;
    this.#wantedFrame = null;
    await this.#send();
  }

  pause() {
    this.#node.port.postMessage({ type: 'pause', paused: true });
    this.#paused = true;
  }

  resume() {
    this.#unlock();
    this.#node.port.postMessage({ type: 'pause', paused: false });
    this.#paused = false;
  }

  // Stops and lets the tune go.
  stop() {
    this.#id++;
    this.#node.port.postMessage({ type: 'stop' });
    this.#tune?.tune.free();
    this.#tune = null;
    this.#frames = 0;
    this.#position = 0;
    this.#startedResolve?.();
    this.#receivedResolve?.();
  }

  // Moves to `seconds` into the output (clamped to it). The jump is heard
  // once the tune there is ready; a later seek before then replaces it.
  seek(seconds) {
    if (!this.#tune) return;
    if (typeof seconds !== 'number' || Number.isNaN(seconds)) throw new RangeError('bad argument: seconds');
    this.#wantedFrame = Math.min(Math.max(0, Math.round(seconds * this.#context.sampleRate)), this.#frames);
    this.#seeking ??= this.#seekLoop().finally(() => (this.#seeking = null));
  }

  // 1 (once through), N, or 0 for ever; each repeat from the repeat
  // position, without a gap.
  get loops() {
    return this.#loops;
  }

  set loops(count) {
    if (!Number.isInteger(count) || count < 0) throw new RangeError('bad argument: loops');
    this.#loops = count;
    this.#node.port.postMessage({ type: 'loops', loops: count });
    if (this.#tune) {
      const { tune } = this.#tune;
      tune.seek(0); // a count is taken from the first pass on
      tune.loops = count;
      this.#frames = tune.outputFrames;
    }
  }

  get volume() {
    return this.#gain.gain.value;
  }

  set volume(gain) {
    this.#gain.gain.value = gain;
  }

  // Seconds into the output, as last reported from the audio thread (a few
  // times a second).
  get position() {
    return this.#position / this.#context.sampleRate;
  }

  // The whole output in seconds (echoes included); Infinity for ever, 0
  // with nothing loaded.
  get duration() {
    return this.#frames / this.#context.sampleRate;
  }

  // A tune is loaded, not paused, and its output has not ended.
  get playing() {
    return Boolean(this.#tune) && !this.#paused && !this.#ended;
  }

  #unlock() {
    // Within the tap or key that called us, as phones want it.
    // (An offline context, not started yet, refuses: it starts by itself.)
    if (this.#context.state === 'suspended') this.#context.resume().catch(() => {});
  }

  // Hands the audio thread the copy's memory, where the copy now stands;
  // resolves when the audio thread has it.
  #send() {
    const { tune, buffer, place } = this.#tune;
    const { engine, handle } = tuneState.get(tune);
    const memory = engine.snapshot();
    this.#startedResolve?.();
    this.#receivedResolve?.();
    this.#started = new Promise((resolve) => (this.#startedResolve = resolve));
    const received = new Promise((resolve) => (this.#receivedResolve = resolve));
    this.#node.port.postMessage(
      { type: 'tune', id: this.#id, memory, handle, buffer, bufferFrames: BUFFER_FRAMES, place, loops: this.#loops },
      [memory],
    );
    return received;
  }

  async #seekLoop() {
    while (this.#wantedFrame !== null && this.#tune) {
      const frame = this.#wantedFrame;
      this.#wantedFrame = null;
      try {
        this.#tune.tune.seek(frame);
        this.#send();
      } catch (e) {
        this.#dispatch('error', { error: e });
        return;
      }
      await this.#started;
    }
  }

  #receive(message) {
    if (message.type === 'error') {
      this.#ended = true;
      this.#dispatch('error', { error: new Error(message.message) });
      return;
    }
    if (message.id !== this.#id) return;
    if (message.type === 'received') {
      this.#receivedResolve();
      return;
    }
    this.#position = message.frame;
    if (message.type === 'started') {
      this.#ended = false;
      this.#startedResolve?.();
    }
    const rate = this.#context.sampleRate;
    const detail = { position: message.frame / rate, songPosition: message.songFrame / rate, contextTime: message.at / rate };
    this.#dispatch('position', detail);
    if (message.type === 'ended') {
      this.#ended = true;
      this.#dispatch('ended', detail);
    }
  }

  #dispatch(type, detail) {
    this.dispatchEvent(new CustomEvent(type, { detail }));
  }
}
