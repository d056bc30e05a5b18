// Real browsers for the web tests: Debian's chromium and firefox-esr driven
// by puppeteer-core, with pages served from a local server of the test's
// own: the installed package under /pkg/, the page of web/player under
// /player/, files the test hands in under /files/, and POST /upload/NAME
// saving a body into the test's folder (the page's samples come back so).
import { existsSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';

import * as support from './support.mjs';

const TYPES = { '.js': 'text/javascript', '.mjs': 'text/javascript', '.html': 'text/html', '.css': 'text/css',
  '.wasm': 'application/wasm', '.json': 'application/json' };
export const BROWSERS = {
  chromium: '/usr/bin/chromium',
  firefox: '/usr/bin/firefox-esr',
};

// Serves `roots` ({ '/prefix/': folder }) on 127.0.0.1; resolves to the base URL.
export async function serve(roots, uploads) {
  const server = createServer((req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    if (req.method === 'POST' && path.startsWith('/upload/')) {
      const parts = [];
      req.on('data', (d) => parts.push(d));
      req.on('end', () => {
        writeFileSync(join(uploads, normalize(path.slice(8)).replace(/^(\.\.[/\\])+/, '')), Buffer.concat(parts));
        res.end('ok');
      });
      return;
    }
    const prefix = Object.keys(roots).find((p) => path.startsWith(p));
    let file = prefix && join(roots[prefix], normalize(path.slice(prefix.length)).replace(/^(\.\.[/\\])+/, ''));
    if (file && existsSync(file) && statSync(file).isDirectory()) file = join(file, 'index.html');
    if (!file || !existsSync(file)) {
      if (path.endsWith('/')) {
        res.writeHead(200, { 'content-type': 'text/html' }).end('<!doctype html><title>test</title>');
        return;
      }
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'content-type': TYPES[extname(file)] ?? 'application/octet-stream' });
    res.end(readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}`, close: () => server.close() };
}

// A headless browser; `sound` keeps it audible (puppeteer mutes Chromium).
export async function launch(name, { sound = false } = {}) {
  if (!existsSync(BROWSERS[name])) support.skip(`${BROWSERS[name]} not installed`);
  let puppeteer;
  try {
    puppeteer = (await import('puppeteer-core')).default;
  } catch {
    support.skip('puppeteer-core not installed (scripts/install-deps web)');
  }
  if (name === 'firefox') {
    return puppeteer.launch({ browser: 'firefox', executablePath: BROWSERS.firefox, headless: true,
      extraPrefsFirefox: { 'media.autoplay.default': 0, 'media.autoplay.blocking_policy': 0 } });
  }
  return puppeteer.launch({
    executablePath: BROWSERS.chromium,
    headless: true,
    ignoreDefaultArgs: sound ? ['--mute-audio'] : [],
    // As root Chromium needs --no-sandbox; the rest keep it off the network.
    args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--disable-quic', '--autoplay-policy=no-user-gesture-required'],
  });
}

// A page of `browser` on a blank document of the server, with the page's
// errors thrown into the test.
export async function openPage(browser, base, path = '/files/') {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  await page.goto(`${base.url}${path}`);
  page.errors = errors;
  return page;
}
