// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// Just enough of a WebSocket client for a browser's own protocol on 127.0.0.1: text messages,
// fragmented or whole, ping and close. Node 18 has none of its own. No Origin header is sent:
// Firefox refuses a handshake that has one.
const crypto = require('crypto');
const { EventEmitter } = require('events');
const http = require('http');

class Socket extends EventEmitter {
  constructor(socket, head) {
    super();
    Object.assign(this, { socket, buffer: head, parts: [] });
    socket.setNoDelay(true);
    socket.on('data', (chunk) => {
      this.buffer = Buffer.concat([this.buffer, chunk]);
      this.read();
    });
    socket.on('close', () => this.emit('close'));
    socket.on('error', () => {});  // the close that follows says it
  }

  // Each whole frame in the buffer: a server's frames are never masked.
  read() {
    for (;;) {
      if (this.buffer.length < 2) return;
      const [b0, b1] = this.buffer;
      let length = b1 & 0x7f, at = 2;
      if (length === 126) [length, at] = [this.buffer.length >= 4 ? this.buffer.readUInt16BE(2) : Infinity, 4];
      else if (length === 127) [length, at] = [this.buffer.length >= 10 ? Number(this.buffer.readBigUInt64BE(2)) : Infinity, 10];
      if (this.buffer.length < at + length) return;
      const payload = this.buffer.subarray(at, at + length);
      this.buffer = this.buffer.subarray(at + length);
      const opcode = b0 & 0x0f;
      if (opcode === 0x1 || opcode === 0x0) {
        this.parts.push(payload);
        if (b0 & 0x80) this.emit('message', Buffer.concat(this.parts.splice(0)).toString('utf8'));
      } else if (opcode === 0x8) {
        this.socket.end();
      } else if (opcode === 0x9) {
        this.frame(0xa, payload);
      }
    }
  }

  // A client masks every frame it sends.
  frame(opcode, payload) {
    const mask = crypto.randomBytes(4);
    const length = payload.length;
    const head = length < 126 ? Buffer.from([0x80 | opcode, 0x80 | length])
      : length < 65536 ? Buffer.from([0x80 | opcode, 0x80 | 126, length >> 8, length & 0xff])
        : Buffer.concat([Buffer.from([0x80 | opcode, 0x80 | 127]), (() => { const b = Buffer.alloc(8); b.writeBigUInt64BE(BigInt(length)); return b; })()]);
    const body = Buffer.from(payload);
    for (let i = 0; i < body.length; i++) body[i] ^= mask[i & 3];
    this.socket.write(Buffer.concat([head, mask, body]));
  }

  send(text) { this.frame(0x1, Buffer.from(text, 'utf8')); }
  close() { this.socket.destroy(); }
}

function connect(url) {
  const key = crypto.randomBytes(16).toString('base64');
  return new Promise((resolve, reject) => {
    const request = http.request(url.replace(/^ws:/, 'http:'), {
      headers: { Connection: 'Upgrade', Upgrade: 'websocket', 'Sec-WebSocket-Version': '13', 'Sec-WebSocket-Key': key },
    });
    request.once('upgrade', (response, socket, head) => {
      const accept = crypto.createHash('sha1').update(`${key}258EAFA5-E914-47DA-95CA-C5AB0DC85B11`).digest('base64');
      if (response.headers['sec-websocket-accept'] !== accept) {
        socket.destroy();
        reject(new Error(`${url}: not a WebSocket handshake`));
      } else {
        resolve(new Socket(socket, head));
      }
    });
    request.once('response', (response) => reject(new Error(`${url}: HTTP ${response.statusCode}, not a WebSocket`)));
    request.once('error', reject);
    request.end();
  });
}

module.exports = { connect };
