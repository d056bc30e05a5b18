// bw_info and bw_position as the wasm32 build lays them out (pointers of 4
// bytes, 64-bit counts on 8-byte boundaries), read into plain objects.

export const INFO_SIZE = 88;
export const POSITION_SIZE = 24;

const INT32_FIELDS = {
  beats: 16,
  ticksPerBeat: 20,
  measures: 24,
  repeatMeasure: 28,
  units: 56,
};
const INT64_FIELDS = { frames: 32, repeatFrame: 40, repeatFrames: 48 };
const VOICE_FIELDS = { ptvoice: 60, ptnoise: 64, pcm: 68, ogg: 72, silent: 76 };

// Counts in this layout stay far below 2^53 (4 hours at 192000 Hz is 2.8e9).
export function int64At(view, at) {
  return view.getUint32(at, true) + view.getInt32(at + 4, true) * 4294967296;
}

function fields(view, at, table, read) {
  const out = {};
  for (const [name, offset] of Object.entries(table)) out[name] = read(at + offset);
  return out;
}

// `engine` an EngineInstance, `at` a filled bw_info, `effects` the lines
// of bw_effect_text.
export function readInfo(engine, at, effects) {
  const view = engine.view();
  const int32 = (offset) => view.getInt32(offset, true);
  return Object.freeze({
    title: engine.text(view.getUint32(at, true)),
    comment: engine.text(view.getUint32(at + 4, true)),
    tempo: view.getFloat64(at + 8, true),
    ...fields(view, at, INT32_FIELDS, int32),
    ...fields(view, at, INT64_FIELDS, (offset) => int64At(view, offset)),
    voices: Object.freeze(fields(view, at, VOICE_FIELDS, int32)),
    delays: int32(at + 80),
    overdrives: int32(at + 84),
    effects: Object.freeze(effects),
  });
}

export function readPosition(engine, at) {
  const view = engine.view();
  return {
    frame: int64At(view, at),
    songFrame: int64At(view, at + 8),
    tick: view.getInt32(at + 16, true),
    pass: view.getInt32(at + 20, true),
  };
}
