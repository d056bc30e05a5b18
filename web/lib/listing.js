// What a tune holds as text, line for line as `ptrender --info` prints it
// (lengths at 192000 frames a second, the rate the listing is made at).
export const LISTING_RATE = 192000;

const LABEL_WIDTH = 10;

// C's "%g": six significant digits, trailing zeros dropped.
function formatG(x) {
  if (Number.isNaN(x)) return 'nan';
  if (!Number.isFinite(x)) return x < 0 ? '-inf' : 'inf';
  if (x === 0) return Object.is(x, -0) ? '-0' : '0';
  const [mantissa, exp] = x.toExponential(5).split('e');
  const e = Number(exp);
  const trim = (s) => (s.includes('.') ? s.replace(/\.?0+$/, '') : s);
  if (e < -4 || e >= 6) return `${trim(mantissa)}e${e < 0 ? '-' : '+'}${String(Math.abs(e)).padStart(2, '0')}`;
  return trim(x.toFixed(5 - e));
}

// C's "%.3f": the double's exact value rounded half to even (toFixed
// rounds exact halves up).
function formatFixed3(x) {
  const view = new DataView(new ArrayBuffer(8));
  view.setFloat64(0, x);
  const bits = view.getBigUint64(0);
  const exponent = Number((bits >> 52n) & 0x7ffn);
  const fraction = bits & 0xfffffffffffffn;
  if (exponent === 0x7ff || exponent - 1075 >= 0) return x.toFixed(3);
  const mantissa = exponent ? fraction | (1n << 52n) : fraction;
  const den = 1n << BigInt(1075 - (exponent || 1));
  const num = mantissa * 1000n;
  let q = num / den;
  const twice = (num % den) * 2n;
  if (twice > den || (twice === den && q % 2n === 1n)) q += 1n;
  const digits = q.toString().padStart(4, '0');
  const sign = x < 0 ? '-' : '';
  return `${sign}${digits.slice(0, -3)}.${digits.slice(-3)}`;
}

function field(label, value) {
  return `${label}:`.padEnd(LABEL_WIDTH) + String(value).split('\n').join(`\n${' '.repeat(LABEL_WIDTH)}`) + '\n';
}

function voiceKinds(voices) {
  const kinds = [
    [voices.ptvoice, 'ptvoice'],
    [voices.ptnoise, 'ptnoise'],
    [voices.pcm, 'PCM'],
    [voices.ogg, 'Ogg Vorbis'],
  ];
  let text = String(voices.ptvoice + voices.ptnoise + voices.pcm + voices.ogg);
  const named = kinds.filter(([count]) => count !== 0).map(([count, name]) => `${count} ${name}`);
  if (named.length) text += `: ${named.join(', ')}`;
  if (voices.silent > 0) text += ` (${voices.silent} unreadable, silent)`;
  return text;
}

// `info` of a tune loaded at LISTING_RATE.
export function tuneListing(info) {
  const seconds = (frames) => formatFixed3(frames / LISTING_RATE);
  return (
    field('name', info.title || '(none)') +
    field('comment', info.comment || '(none)') +
    field('tempo', `${formatG(info.tempo)} beats a minute`) +
    field('beats', `${info.beats} a measure, ${info.ticksPerBeat} ticks each`) +
    field('measures', info.measures) +
    field('length', `${seconds(info.frames)} s once through`) +
    field('repeat', `${seconds(info.repeatFrames)} s a time, from ${seconds(info.repeatFrame)} s`) +
    field('units', info.units) +
    field('voices', voiceKinds(info.voices)) +
    field('effects', info.effects.length ? info.effects.join('\n') : 'none')
  );
}
