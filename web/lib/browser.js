// The package in a browser: the module fetched from beside this file (a
// bundler copies it along), compiled as it arrives when served as
// application/wasm.
import { setModuleSource } from './engine.js';

setModuleSource(async (url) => {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
  if (WebAssembly.compileStreaming && response.headers.get('content-type') === 'application/wasm') {
    return WebAssembly.compileStreaming(response);
  }
  return WebAssembly.compile(await response.arrayBuffer());
});

export { Tune } from './tune.js';
export { Player } from './player.js';
export { renderWav } from './wav.js';
