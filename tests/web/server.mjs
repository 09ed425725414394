// A static file server on 127.0.0.1 for the built page folder (and, for tests, a second folder looked in
// after it): gzip where the browser accepts it, the WebAssembly type that streaming compilation needs, and
// no caching, so every load is measured whole.
// As a program: node tests/web/server.mjs FOLDER [PORT] prints the address and serves until stopped.

import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { gzipSync } from 'node:zlib';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webp': 'image/webp', '.ttf': 'font/ttf', '.css': 'text/css',
};

export function serve(folders, port = 0) {
  const roots = [folders].flat().map((folder) => resolve(folder));
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    let body, file;
    for (const root of roots) {
      file = join(root, path.endsWith('/') ? path + 'index.html' : path);
      if (!file.startsWith(root + sep)) break;
      body = await readFile(file).catch(() => undefined);
      if (body) break;
    }
    if (!body) {
      response.writeHead(404).end();
      return;
    }
    const headers = { 'Content-Type': types[extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-store' };
    if (/\bgzip\b/.test(request.headers['accept-encoding'] || '') && !['.png', '.webp'].includes(extname(file))) {
      body = gzipSync(body, { level: 9 });
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers).end(body);
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

export function address(server) {
  return `http://127.0.0.1:${server.address().port}/`;
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const server = await serve(process.argv[2] || 'build-web/web', Number(process.argv[3] || 8080));
  console.log(`Kelvara Calculator is served at ${address(server)} (Ctrl+C stops it)`);
}
