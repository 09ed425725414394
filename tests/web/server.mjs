// A static file server on 127.0.0.1 for the built page folder (and, for tests, a second folder looked in
// after it), answering as a real host should (packaging/nginx/ has the same rules for nginx): only GET and
// HEAD, a malformed path refused rather than ending the server, gzip where the browser accepts it, the
// WebAssembly type that streaming compilation needs, headers that keep the page to its own files, and
// caching by name: a file named after its content is kept for a year, the rest is revalidated each time.
// As a program: node tests/web/server.mjs FOLDER [PORT] prints the address and serves until stopped.

import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { createHash } from 'node:crypto';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { gzipSync } from 'node:zlib';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webp': 'image/webp', '.woff2': 'font/woff2', '.css': 'text/css',
  '.webmanifest': 'application/manifest+json',
};
const compressed = new Set(['.png', '.webp', '.woff2']);

// What the page may load and run: its own files, and WebAssembly compiled from them; nothing inline,
// nothing from elsewhere, no frames around it.
export const contentSecurityPolicy = [
  "default-src 'self'", "script-src 'self' 'wasm-unsafe-eval'", "style-src 'self'", "img-src 'self'",
  "font-src 'self'", "connect-src 'self'", "manifest-src 'self'", "worker-src 'self'", "object-src 'none'",
  "base-uri 'none'", "form-action 'none'", "frame-ancestors 'none'",
].join('; ');

// The build names a file name.0123456789.ext after its content (toolkit/web/publish.cmake).
export const contentNamed = /\.[0-9a-f]{10}\.[a-z0-9]+$/;

const common = {
  'X-Content-Type-Options': 'nosniff',
  'Content-Security-Policy': contentSecurityPolicy,
  'Referrer-Policy': 'no-referrer',
};

async function find(roots, path) {
  for (const root of roots) {
    const file = join(root, path.endsWith('/') ? path + 'index.html' : path);
    if (!file.startsWith(root + sep)) return null;
    const info = await stat(file).catch(() => null);
    if (info && info.isFile()) return { file, body: await readFile(file) };
  }
  return null;
}

async function answer(roots, request, response) {
  const end = (status, headers = {}) => response.writeHead(status, { ...common, ...headers, 'Content-Length': 0 }).end();
  if (request.method !== 'GET' && request.method !== 'HEAD') return end(405, { Allow: 'GET, HEAD' });
  let path;
  try {
    path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
  } catch {
    return end(400);
  }
  if (path.includes('\0')) return end(400);
  const found = await find(roots, path);
  if (!found) return end(404);
  let { file, body } = found;
  const type = extname(file);
  const etag = `"${createHash('sha1').update(body).digest('base64url').slice(0, 16)}"`;
  const headers = {
    ...common,
    'Content-Type': types[type] || 'application/octet-stream',
    'Cache-Control': contentNamed.test(file) ? 'public, max-age=31536000, immutable' : 'no-cache',
    ETag: etag,
  };
  if (!compressed.has(type)) headers.Vary = 'Accept-Encoding';
  if (request.headers['if-none-match'] === etag) return end(304, { ETag: etag, 'Cache-Control': headers['Cache-Control'] });
  if (!compressed.has(type) && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
    body = gzipSync(body, { level: 9 });
    headers['Content-Encoding'] = 'gzip';
  }
  headers['Content-Length'] = body.length;
  response.writeHead(200, headers).end(request.method === 'HEAD' ? undefined : body);
}

export function serve(folders, port = 0) {
  const roots = [folders].flat().map((folder) => resolve(folder));
  const server = createServer((request, response) => {
    // Whatever goes wrong with one request ends that request, never the server.
    answer(roots, request, response).catch((error) => {
      console.error(`server: ${request.method} ${request.url}: ${error.message}`);
      if (!response.headersSent) response.writeHead(500, { ...common, 'Content-Length': 0 });
      response.end();
    });
  });
  server.on('clientError', (error, socket) => {
    if (socket.writable) socket.end('HTTP/1.1 400 Bad Request\r\nConnection: close\r\nContent-Length: 0\r\n\r\n');
    else socket.destroy();
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
