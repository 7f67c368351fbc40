// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// Just enough PNG to read the browser's screenshots and to save one when a test fails.
const zlib = require('zlib');

const SIGNATURE = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);

const CRC_TABLE = Uint32Array.from({ length: 256 }, (_, c) => {
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c;
});

function crc32(buf) {
  let c = 0xffffffff;
  for (let i = 0; i < buf.length; i++) c = CRC_TABLE[(c ^ buf[i]) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

function decode(buffer) {
  if (buffer.length < 8 || !buffer.subarray(0, 8).equals(SIGNATURE)) throw new Error('png: not a PNG file');
  let header = null;
  const idat = [];
  for (let pos = 8; ; ) {
    if (pos + 12 > buffer.length) throw new Error('png: truncated file (no IEND)');
    const length = buffer.readUInt32BE(pos);
    const type = buffer.toString('latin1', pos + 4, pos + 8);
    if (pos + 12 + length > buffer.length) throw new Error(`png: truncated ${type} chunk`);
    const body = buffer.subarray(pos + 4, pos + 8 + length);
    if (buffer.readUInt32BE(pos + 8 + length) !== crc32(body)) throw new Error(`png: bad CRC in ${type} chunk`);
    const data = body.subarray(4);
    if (type === 'IHDR') header = data;
    else if (type === 'IDAT') idat.push(data);
    else if (type === 'IEND') break;
    pos += 12 + length;
  }
  if (!header || header.length !== 13) throw new Error('png: missing IHDR');
  const width = header.readUInt32BE(0), height = header.readUInt32BE(4);
  const [depth, colourType, compression, filterMethod, interlace] = header.subarray(8);
  if (depth !== 8 || (colourType !== 2 && colourType !== 6) || compression || filterMethod || interlace) {
    throw new Error(`png: unsupported format (depth ${depth}, colour type ${colourType}, interlace ${interlace})`);
  }
  const bpp = colourType === 6 ? 4 : 3, stride = width * bpp;
  const raw = zlib.inflateSync(Buffer.concat(idat));
  if (raw.length < height * (stride + 1)) throw new Error('png: image data too short');
  const data = new Uint8Array(width * height * 4);
  // Unfilter in place: raw is a Buffer, so the sums wrap modulo 256 as the format wants.
  for (let y = 0, o = 0; y < height; y++) {
    const row = y * (stride + 1) + 1, up = row - stride - 1, filter = raw[row - 1];
    if (filter > 4) throw new Error(`png: bad filter type ${filter} on row ${y}`);
    for (let i = 0; i < stride; i++) {
      const a = i >= bpp ? raw[row + i - bpp] : 0, b = y ? raw[up + i] : 0, c = y && i >= bpp ? raw[up + i - bpp] : 0;
      raw[row + i] += filter === 1 ? a : filter === 2 ? b : filter === 3 ? (a + b) >> 1 : filter === 4 ? paeth(a, b, c) : 0;
    }
    for (let i = row; i < row + stride; i += bpp, o += 4) {
      data[o] = raw[i]; data[o + 1] = raw[i + 1]; data[o + 2] = raw[i + 2];
      data[o + 3] = bpp === 4 ? raw[i + 3] : 255;
    }
  }
  return { width, height, data };
}

function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const out = Buffer.alloc(body.length + 8);
  out.writeUInt32BE(data.length, 0);
  body.copy(out, 4);
  out.writeUInt32BE(crc32(body), body.length + 4);
  return out;
}

function encode({ width, height, data }) {
  if (data.length !== width * height * 4) throw new Error('png: data is not width * height RGBA pixels');
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 6, 0, 0, 0], 8);
  const raw = Buffer.alloc(height * (width * 4 + 1));
  for (let y = 0; y < height; y++) raw.set(data.subarray(y * width * 4, (y + 1) * width * 4), y * (width * 4 + 1) + 1);
  return Buffer.concat([SIGNATURE, chunk('IHDR', header), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}

module.exports = { decode, encode, crc32 };
