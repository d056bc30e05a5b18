// The page's jukebox: a list of tune files played one after another through
// the package's Player, as the desktop jukebox plays a folder: at a tune's
// end the next follows (a random other one in shuffle mode; in loop mode
// the tune repeats and nothing follows); a tune that cannot be played shows
// the engine's text and the list goes on.
import { Player, Tune, renderWav } from 'brindlewick';

import { droppedFiles, tuneList } from './tune-files.js';

const $ = (id) => document.getElementById(id);
const context = new AudioContext({ latencyHint: 'playback' });
const playerReady = Player.create(context);

const state = { tunes: [], current: -1, loop: false, shuffle: false, dragging: false, failedInARow: 0 };

function clock(seconds) {
  if (!Number.isFinite(seconds)) return '∞';
  const s = Math.floor(seconds);
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
}

function say(text) {
  $('status').textContent = text;
}

// Titles in Japanese (Shift-JIS in the file) get Japanese glyphs.
function showText(element, text, fallback) {
  element.textContent = text || fallback;
  element.lang = /[\u3040-\u30ff\u4e00-\u9fff\uff66-\uff9f]/.test(text) ? 'ja' : 'en';
}

function showList() {
  const list = $('list');
  list.replaceChildren(
    ...state.tunes.map((file, i) => {
      const row = document.createElement('li');
      const button = document.createElement('button');
      button.textContent = file.webkitRelativePath || file.name;
      button.addEventListener('click', () => pick(i));
      row.append(button);
      row.classList.toggle('current', i === state.current);
      return row;
    }),
  );
}

function markCurrent() {
  [...$('list').children].forEach((row, i) => row.classList.toggle('current', i === state.current));
  $('list').children[state.current]?.scrollIntoView({ block: 'nearest' });
}

async function pick(index) {
  const player = await playerReady;
  state.current = index;
  markCurrent();
  const file = state.tunes[index];
  try {
    const tune = await Tune.load(await file.arrayBuffer(), { name: file.name, rate: context.sampleRate });
    if (state.current !== index) return tune.free(); // picked another meanwhile
    showText($('title'), tune.info.title, file.name);
    showText($('comment'), tune.info.comment, '');
    if (tune.warning) say(tune.warning);
    await player.play(tune);
    tune.free();
    state.failedInARow = 0;
    showPosition(0, player.duration);
    $('play').textContent = 'Pause';
  } catch (e) {
    say(e.message);
    if (state.current === index && ++state.failedInARow < state.tunes.length) advance();
  }
}

function nextIndex(step) {
  const n = state.tunes.length;
  if (state.shuffle && n > 1) {
    let i;
    do i = Math.floor(Math.random() * n);
    while (i === state.current);
    return i;
  }
  return (state.current + step + n) % n;
}

function advance() {
  if (state.tunes.length) pick(nextIndex(1));
}

function showPosition(position, duration) {
  const bar = $('seek');
  bar.max = Number.isFinite(duration) ? duration : Math.max(position, Number(bar.max));
  if (!state.dragging) bar.value = position;
  $('time').textContent = clock(position);
  $('length').textContent = clock(duration);
}

async function playOrPause() {
  const player = await playerReady;
  if (state.current < 0) return state.tunes.length && pick(0);
  if (!player.duration) return pick(state.current);
  if (player.playing) player.pause();
  else player.resume();
  $('play').textContent = player.playing ? 'Pause' : 'Play';
}

function toggle(id, key) {
  state[key] = !state[key];
  $(id).setAttribute('aria-pressed', String(state[key]));
  return state[key];
}

async function saveWav() {
  const file = state.tunes[state.current];
  if (!file) return;
  try {
    const tune = await Tune.load(await file.arrayBuffer(), { name: file.name });
    const link = document.createElement('a');
    link.href = URL.createObjectURL(renderWav(tune));
    link.download = file.name.replace(/\.[^.]*$/, '') + '.wav';
    tune.free();
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  } catch (e) {
    say(e.message);
  }
}

function open(files) {
  state.tunes = tuneList(files);
  state.current = -1;
  showList();
  say(state.tunes.length ? `${state.tunes.length} tune${state.tunes.length > 1 ? 's' : ''}` : 'no .ptcop or .pttune files there');
}

async function wire() {
  const player = await playerReady;
  player.addEventListener('position', (e) => showPosition(e.detail.position, player.duration));
  player.addEventListener('ended', () => advance());
  player.addEventListener('error', (e) => say(e.detail.error.message));

  // A phone starts sound only in a tap or a key: every one resumes the context.
  const unlock = () => context.state === 'suspended' && context.resume();
  document.addEventListener('pointerdown', unlock, true);
  document.addEventListener('keydown', unlock, true);

  $('open-files').addEventListener('change', (e) => open([...e.target.files]));
  $('open-folder').addEventListener('change', (e) => open([...e.target.files]));
  const drop = $('drop');
  drop.addEventListener('dragover', (e) => e.preventDefault());
  drop.addEventListener('drop', async (e) => {
    e.preventDefault();
    open(await droppedFiles(e.dataTransfer));
  });

  $('play').addEventListener('click', playOrPause);
  $('stop').addEventListener('click', () => {
    player.stop();
    showPosition(0, 0);
    $('play').textContent = 'Play';
  });
  $('previous').addEventListener('click', () => state.tunes.length && pick(nextIndex(-1)));
  $('next').addEventListener('click', advance);
  $('loop').addEventListener('click', () => (player.loops = toggle('loop', 'loop') ? 0 : 1));
  $('shuffle').addEventListener('click', () => toggle('shuffle', 'shuffle'));
  $('volume').addEventListener('input', (e) => (player.volume = Number(e.target.value)));
  $('save').addEventListener('click', saveWav);

  const bar = $('seek');
  bar.addEventListener('input', () => {
    state.dragging = true;
    $('time').textContent = clock(Number(bar.value));
  });
  bar.addEventListener('change', () => {
    state.dragging = false;
    player.seek(Number(bar.value));
  });

  document.addEventListener('keydown', (e) => {
    if (e.code !== 'Space' || e.target instanceof HTMLInputElement) return;
    e.preventDefault();
    playOrPause();
  });
  document.body.dataset.ready = 'true';
}

wire().catch((e) => say(`cannot start: ${e.message}`));
