// brindlewick: pxtone tunes (".ptcop", ".pttune") in Node and in browsers.

export interface LoadOptions {
  /** Frames a second, 8000..192000 (default 44100). */
  rate?: number;
  /** 1 (the mix of left and right) or 2 (default). */
  channels?: 1 | 2;
  /** Shown in error texts ("damaged tune: NAME"). */
  name?: string | null;
}

export interface TuneInfo {
  readonly title: string;
  readonly comment: string;
  /** Beats a minute. */
  readonly tempo: number;
  /** Beats a measure. */
  readonly beats: number;
  readonly ticksPerBeat: number;
  /** Measures in one pass. */
  readonly measures: number;
  readonly repeatMeasure: number;
  /** One pass, in frames at the tune's rate, without the echoes. */
  readonly frames: number;
  readonly repeatFrame: number;
  readonly repeatFrames: number;
  readonly units: number;
  readonly voices: {
    readonly ptvoice: number;
    readonly ptnoise: number;
    readonly pcm: number;
    readonly ogg: number;
    /** Of those, voices that could not be read and play silent. */
    readonly silent: number;
  };
  readonly delays: number;
  readonly overdrives: number;
  /** One line of text for each effect, in file order. */
  readonly effects: readonly string[];
}

export interface TunePlace {
  /** In the output, as seek() takes it. */
  frame: number;
  /** In the song (counted again from its start after a loop's jump). */
  songFrame: number;
  tick: number;
  /** 1 for the first pass. */
  pass: number;
}

/** One tune and its play position. Failures throw an Error with the engine's text. */
export class Tune {
  private constructor();
  /** Loads a whole tune file. Rejects with "not a tune: NAME", "damaged tune: NAME"... */
  static load(bytes: Uint8Array | ArrayBuffer | ArrayBufferView, options?: LoadOptions): Promise<Tune>;
  readonly rate: number;
  readonly channels: 1 | 2;
  /** The load's warning ("bad voice: NAME": that voice plays silent), or "". */
  readonly warning: string;
  readonly info: TuneInfo;
  /** 1 (once through, the default), N, or 0 for ever; each repeat from the repeat position. */
  loops: number;
  /** Seconds the last pass fades out over; 0 (the default): the echoes ring out. */
  fade: number;
  /** Frames the whole output takes, echoes included; Infinity for ever. */
  readonly outputFrames: number;
  /** Up to `frames` frames, interleaved; shorter at the end, empty after it. */
  render(frames: number): Int16Array;
  /** The same samples as render(), divided by 32768. */
  renderFloat(frames: number): Float32Array;
  /** Moves to an output frame: what follows is what rendering from the start gives there. */
  seek(frame: number): void;
  /** The output frame the next render starts at. */
  readonly position: number;
  readonly place: TunePlace;
  readonly ended: boolean;
  /** Lets the tune go; it cannot be used after. */
  free(): void;
}

/** The rest of a tune's output (all of it, from a fresh load) as a 16-bit WAV file. */
export function renderWav(tune: Tune): Blob;

export interface PlayerPositionDetail {
  /** Seconds into the output. */
  position: number;
  /** Seconds into the song (within the pass playing). */
  songPosition: number;
  /** The context's time at which that position was heard. */
  contextTime: number;
}

export interface PlayerEventMap {
  position: CustomEvent<PlayerPositionDetail>;
  ended: CustomEvent<PlayerPositionDetail>;
  error: CustomEvent<{ error: Error }>;
}

/** Plays tunes through an AudioWorklet, in an AudioContext or an OfflineAudioContext. */
export class Player extends EventTarget {
  private constructor();
  static create(context: BaseAudioContext, options?: { destination?: AudioNode }): Promise<Player>;
  readonly context: BaseAudioContext;
  /** Plays a tune from its start; resolves once the audio thread has it. */
  play(bytesOrTune: Uint8Array | ArrayBuffer | Tune, options?: { name?: string | null }): Promise<void>;
  pause(): void;
  resume(): void;
  stop(): void;
  seek(seconds: number): void;
  /** 1, N, or 0 for ever; each repeat without a gap. */
  loops: number;
  volume: number;
  /** Seconds into the output, as last reported (a few times a second). */
  readonly position: number;
  /** The whole output in seconds; Infinity for ever; 0 with nothing loaded. */
  readonly duration: number;
  readonly playing: boolean;
  addEventListener<K extends keyof PlayerEventMap>(
    type: K,
    listener: (event: PlayerEventMap[K]) => void,
    options?: boolean | AddEventListenerOptions,
  ): void;
  addEventListener(type: string, listener: EventListenerOrEventListenerObject | null, options?: boolean | AddEventListenerOptions): void;
  removeEventListener<K extends keyof PlayerEventMap>(
    type: K,
    listener: (event: PlayerEventMap[K]) => void,
    options?: boolean | EventListenerOptions,
  ): void;
  removeEventListener(type: string, listener: EventListenerOrEventListenerObject | null, options?: boolean | EventListenerOptions): void;
}
