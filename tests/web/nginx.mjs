// Debian's nginx serving a page folder on 127.0.0.1 with the configuration that packaging/nginx/ ships,
// started and stopped by the tests: the same server block, only its address, folder and snippet path put in.
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

const packaging = new URL('../../packaging/nginx/', import.meta.url).pathname;

function freePort() {
  return new Promise((done) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => done(port));
    });
  });
}

export async function serveWithNginx(folder) {
  const port = await freePort();
  const dir = mkdtempSync(join(tmpdir(), 'kelvara-nginx-'));
  const site = readFileSync(join(packaging, 'kelvara-calculator.conf'), 'utf8')
    .replace(/^\s*listen \[::\]:80;\n/m, '')
    .replace(/listen 80;/, `listen 127.0.0.1:${port};`)
    .replace(/root [^;]+;/, `root ${resolve(folder)};`)
    .replaceAll('snippets/kelvara-calculator-headers.conf', join(packaging, 'kelvara-calculator-headers.conf'));
  const temp = ['client_body', 'proxy', 'fastcgi', 'uwsgi', 'scgi']
    .map((name) => `${name}_temp_path ${dir}/${name};`).join('\n');
  writeFileSync(join(dir, 'nginx.conf'), `daemon off;
pid ${dir}/nginx.pid;
error_log ${dir}/error.log;
events { worker_connections 64; }
http {
  access_log off;
  ${temp}
  ${site}
}
`);
  const nginx = spawn('/usr/sbin/nginx', ['-c', join(dir, 'nginx.conf'), '-p', dir], { stdio: ['ignore', 'inherit', 'inherit'] });
  const exited = new Promise((done) => nginx.on('exit', done));
  const url = `http://127.0.0.1:${port}/`;
  const deadline = Date.now() + 20000;
  for (;;) {
    const up = await fetch(url, { method: 'HEAD' }).then(() => true, () => false);
    if (up) break;
    if (nginx.exitCode !== null || Date.now() > deadline) {
      const log = readFileSync(join(dir, 'error.log'), 'utf8');
      rmSync(dir, { recursive: true, force: true });
      throw new Error(`nginx did not start: ${log.trim().split('\n').pop()}`);
    }
    await new Promise((done) => setTimeout(done, 50));
  }
  return {
    url,
    async close() {
      nginx.kill('SIGTERM');
      await exited;
      rmSync(dir, { recursive: true, force: true });
    },
  };
}
