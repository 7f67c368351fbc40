// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// A site served on a free port of 127.0.0.1, through the script players use.
const { spawn } = require('child_process');
const path = require('path');

const SCRIPT = path.join(__dirname, '..', 'serve_web.sh');

function serve(folder) {
  const server = spawn(SCRIPT, ['--port', '0', folder], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    server.stdout.on('data', (d) => {
      const m = String(d).match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (m) resolve({ url: m[0], stop: () => server.kill() });
    });
    server.once('exit', (code) => reject(new Error(`serve_web.sh exited (${code})`)));
  });
}

module.exports = { serve };
