// The package in Node: the module's bytes read from the file beside it.
import { readFile } from 'node:fs/promises';

import { setModuleSource } from './engine.js';

setModuleSource(async (url) => WebAssembly.compile(await readFile(url)));

export { Tune } from './tune.js';
export { Player } from './player.js';
export { renderWav } from './wav.js';
