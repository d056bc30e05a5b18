// A 16-bit PCM WAV file: the 44-byte header ptrender's writer gives, then
// the interleaved samples, little-endian.
export const WAV_HEADER_BYTES = 44;

export function wavHeader(rate, channels, frames) {
  const dataBytes = frames * channels * 2;
  const view = new DataView(new ArrayBuffer(WAV_HEADER_BYTES));
  const tag = (at, text) => [...text].forEach((c, i) => view.setUint8(at + i, c.charCodeAt(0)));
  tag(0, 'RIFF');
  view.setUint32(4, 36 + dataBytes, true);
  tag(8, 'WAVEfmt ');
  view.setUint32(16, 16, true);
  view.setUint16(20, 1, true);
  view.setUint16(22, channels, true);
  view.setUint32(24, rate, true);
  view.setUint32(28, rate * channels * 2, true);
  view.setUint16(32, channels * 2, true);
  view.setUint16(34, 16, true);
  tag(36, 'data');
  view.setUint32(40, dataBytes, true);
  return new Uint8Array(view.buffer);
}

// Samples as little-endian bytes, whatever the machine's order.
export function sampleBytes(samples) {
  const view = new DataView(new ArrayBuffer(samples.length * 2));
  for (let i = 0; i < samples.length; i++) view.setInt16(i * 2, samples[i], true);
  return new Uint8Array(view.buffer);
}

// The rest of a tune's output (all of it, from a fresh load) as a WAV file,
// a Blob: what a page offers as "save as WAV". Not for a tune set to loop
// for ever.
export function renderWav(tune, blockFrames = 65536) {
  if (tune.loops === 0) throw new RangeError('bad argument: a tune looping for ever');
  const parts = [];
  let frames = 0;
  for (let block; (block = tune.render(blockFrames)).length > 0;) {
    parts.push(sampleBytes(block));
    frames += block.length / tune.channels;
  }
  return new Blob([wavHeader(tune.rate, tune.channels, frames), ...parts], { type: 'audio/wav' });
}
