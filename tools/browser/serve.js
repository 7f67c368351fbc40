// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// A site served on a free port of 127.0.0.1, through the script players use. With `log`, the
// requests it answers are kept, as "GET /path 200". A server outlives no script that started it,
// even one that fails: it would hold the script's output open.
const { spawn } = require('child_process');
const path = require('path');

const SCRIPT = path.join(__dirname, '..', 'serve_web.sh');

function serve(folder, { log = false } = {}) {
  const server = spawn(SCRIPT, ['--port', '0', ...(log ? ['--log'] : []), folder], { stdio: ['ignore', 'pipe', 'inherit'] });
  const requests = [];
  const orphaned = () => server.kill();
  process.on('exit', orphaned);
  server.once('exit', () => process.off('exit', orphaned));
  return new Promise((resolve, reject) => {
    let out = '';
    server.stdout.on('data', (d) => {
      const lines = (out + d).split('\n');
      out = lines.pop();
      for (const line of lines) {
        const m = line.match(/http:\/\/127\.0\.0\.1:\d+\//);
        if (m) resolve({ url: m[0], requests, stop: () => server.kill() });
        else requests.push(line);
      }
    });
    server.once('exit', (code) => reject(new Error(`serve_web.sh exited (${code})`)));
  });
}

module.exports = { serve };
