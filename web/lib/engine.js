// The engine's WebAssembly module (dist/brindlewick.wasm: the calls of
// brindlewick.h, malloc and free), compiled once, and one instance of it per
// tune: instances share nothing, so a trap in one (an allocation the memory
// cannot grow for) spoils that tune alone, and freeing a tune gives its
// memory back. An instance's whole state is its linear memory (its one
// mutable global, the stack pointer, is back at its start between calls),
// so a copy of the memory is a copy of the tune: the Player prepares tunes
// and seeks on the main thread and hands the audio thread such copies.

export const WASM_URL = new URL('../dist/brindlewick.wasm', import.meta.url);

let fetchModule = null;
let compiled = null;

// The entry points (node.js, browser.js) say how the module's bytes are had.
export function setModuleSource(fetcher) {
  fetchModule = fetcher;
}

// The compiled module, the same for every instance.
export function engineModule() {
  if (!compiled) {
    if (!fetchModule) throw new Error('brindlewick: import the package through its entry point');
    compiled = fetchModule(WASM_URL).catch((e) => {
      compiled = null;
      throw new Error(`brindlewick: cannot load ${WASM_URL}: ${e.message}`);
    });
  }
  return compiled;
}

// What the module imports: the few WASI calls its C library may make (it
// writes nowhere: there is no file here) and the note of a grown memory.
// player-processor.js has the same: a bundler copies it alone, unbundled.
export function engineImports() {
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

const utf8 = new TextDecoder();

export class EngineInstance {
  static async create() {
    const instance = await WebAssembly.instantiate(await engineModule(), engineImports());
    return new EngineInstance(instance);
  }

  constructor(instance) {
    this.calls = instance.exports;
    this.memory = instance.exports.memory;
    this.broken = null;
    this.calls._initialize();
  }

  // Runs export `name`; a trap leaves the instance unusable and becomes an
  // Error with `failure` as its text.
  call(name, failure, ...args) {
    if (this.broken) throw new Error(failure);
    try {
      return this.calls[name](...args);
    } catch (e) {
      if (!(e instanceof WebAssembly.RuntimeError)) throw e;
      this.broken = e;
      throw new Error(failure);
    }
  }

  bytes() {
    return new Uint8Array(this.memory.buffer);
  }

  view() {
    return new DataView(this.memory.buffer);
  }

  // `size` bytes from malloc, or an Error.
  alloc(size) {
    const at = this.call('malloc', 'out of memory', Math.max(size, 1));
    if (!at) throw new Error('out of memory');
    return at;
  }

  // A copy of `data` (a Uint8Array) in the instance's memory.
  copyIn(data) {
    const at = this.alloc(data.length);
    this.bytes().set(data, at);
    return at;
  }

  // A NUL-terminated UTF-8 text in the instance's memory.
  textIn(text) {
    return this.copyIn(new TextEncoder().encode(`${text}\0`));
  }

  text(at) {
    if (!at) return null;
    const bytes = this.bytes();
    const end = bytes.indexOf(0, at);
    return utf8.decode(bytes.subarray(at, end < 0 ? bytes.length : end));
  }

  // A copy of the whole memory: the instance's state.
  snapshot() {
    if (this.broken) throw new Error('engine failure');
    return this.bytes().slice().buffer;
  }
}
