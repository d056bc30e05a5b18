// The Player's AudioWorkletProcessor: renders on the audio thread through
// an engine instance of its own, and never does more there in one block
// than rendering it and copying a bounded slice of memory.
//
// The main thread (player.js) loads and seeks tunes on instances of its own
// and sends the whole memory of one ready to play (an instance's state is
// its memory). It is copied into the processor's idle instance a slice per
// block while the live one plays on, and then takes over at a block's
// start. Nothing is allocated per block; messages go out a few times a
// second. Self-contained: a bundler copies this file as it is.

const SLICE_BYTES = 1 << 20; // copied per block: well under 1 ms
const REPORT_SECONDS = 0.25;

function engineImports() {
  const EBADF = 8;
  return {
    env: { emscripten_notify_memory_growth() {} },
    wasi_snapshot_preview1: {
      fd_write: () => EBADF,
      fd_close: () => EBADF,
      fd_seek: () => EBADF,
      proc_exit(code) {
        throw new WebAssembly.RuntimeError(`engine exit ${code}`);
      },
    },
  };
}

// One engine instance, with views on its memory kept while it stays put.
class Slot {
  constructor(module) {
    const instance = new WebAssembly.Instance(module, engineImports());
    this.calls = instance.exports;
    this.memory = instance.exports.memory;
    this.buffer = null;
    this.views();
  }

  views() {
    if (this.buffer === this.memory.buffer) return;
    this.buffer = this.memory.buffer;
    this.bytes = new Uint8Array(this.buffer);
    this.samples = new Int16Array(this.buffer);
    this.words = new Uint32Array(this.buffer);
  }
}

// A tune's memory on its way into a slot. The slot grows once, when the
// message comes; the copy and the clearing of what lies beyond go a slice
// at a time.
class Transfer {
  constructor(slot, tune) {
    this.slot = slot;
    this.tune = tune;
    const source = new Uint8Array(tune.memory);
    const pages = Math.ceil(source.length / 65536) - slot.memory.buffer.byteLength / 65536;
    if (pages > 0) slot.memory.grow(pages);
    slot.views();
    this.slices = [];
    for (let at = 0; at < source.length; at += SLICE_BYTES) {
      this.slices.push(source.subarray(at, Math.min(at + SLICE_BYTES, source.length)));
    }
    this.end = source.length;
    this.next = 0;
  }

  // One slice; true when the slot holds the tune.
  step() {
    const slot = this.slot;
    if (this.next < this.slices.length) {
      slot.bytes.set(this.slices[this.next], this.next * SLICE_BYTES);
      this.next++;
      return false;
    }
    if (this.end < slot.bytes.length) {
      const to = Math.min(this.end + SLICE_BYTES, slot.bytes.length);
      slot.bytes.fill(0, this.end, to);
      this.end = to;
      return false;
    }
    return true;
  }
}

class PlayerProcessor extends AudioWorkletProcessor {
  constructor(options) {
    super();
    const { module } = options.processorOptions;
    this.slots = [new Slot(module), new Slot(module)];
    this.live = null; // { slot, handle, buffer, bufferFrames, place, id }
    this.transfer = null;
    this.loops = 1;
    this.paused = false;
    this.ended = false;
    this.blocksToReport = 0;
    this.port.onmessage = (e) => this.receive(e.data);
  }

  receive(message) {
    try {
      if (message.type === 'tune') {
        const idle = this.live && this.live.slot === this.slots[0] ? this.slots[1] : this.slots[0];
        this.transfer = new Transfer(idle, message);
        this.port.postMessage({ type: 'received', id: message.id });
      } else if (message.type === 'loops') {
        this.loops = message.loops;
        if (this.live && !this.ended) this.live.slot.calls.bw_set_loops(this.live.handle, message.loops);
      } else if (message.type === 'pause') {
        this.paused = message.paused;
      } else if (message.type === 'stop') {
        this.live = null;
        this.transfer = null;
      }
    } catch (e) {
      this.fail(e);
    }
  }

  fail(e) {
    this.live = null;
    this.transfer = null;
    this.port.postMessage({ type: 'error', message: `engine failure: ${e.message}` });
  }

  takeOver() {
    const { slot, tune } = this.transfer;
    this.transfer = null;
    this.live = { slot, ...tune, memory: null };
    this.ended = false;
    if (tune.loops !== this.loops) slot.calls.bw_set_loops(tune.handle, this.loops);
    this.report('started');
  }

  report(type) {
    const { slot, handle, place, id } = this.live;
    slot.calls.bw_get_position(handle, place);
    const w = place >> 2;
    this.port.postMessage({
      type,
      id,
      frame: slot.words[w] + slot.words[w + 1] * 4294967296,
      songFrame: slot.words[w + 2] + slot.words[w + 3] * 4294967296,
      at: currentFrame,
    });
    this.blocksToReport = Math.round((REPORT_SECONDS * sampleRate) / 128);
  }

  process(inputs, outputs) {
    const out = outputs[0];
    const left = out[0];
    const right = out.length > 1 ? out[1] : left;
    try {
      if (this.transfer && this.transfer.step()) this.takeOver();
      if (!this.live || this.paused || this.ended) {
        left.fill(0);
        right.fill(0);
        return true;
      }
      this.render(left, right);
    } catch (e) {
      left.fill(0);
      right.fill(0);
      this.fail(e);
    }
    return true;
  }

  render(left, right) {
    const live = this.live;
    const slot = live.slot;
    let done = 0;
    while (done < left.length) {
      const ask = Math.min(left.length - done, live.bufferFrames);
      const n = slot.calls.bw_render(live.handle, live.buffer, ask);
      slot.views();
      const samples = slot.samples;
      for (let i = 0, at = live.buffer >> 1; i < n; i++, at += 2) {
        left[done + i] = samples[at] / 32768;
        right[done + i] = samples[at + 1] / 32768;
      }
      done += n;
      if (n < ask) break;
    }
    if (done < left.length) {
      left.fill(0, done);
      right.fill(0, done);
      this.ended = true;
      this.report('ended');
    } else if (--this.blocksToReport <= 0) {
      this.report('position');
    }
  }
}

registerProcessor('brindlewick-player', PlayerProcessor);
