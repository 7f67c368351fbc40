// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT
'use strict';
// Just enough PNG to read the browser's screenshots: 8 bits a channel, RGB or RGBA, no interlace.
const zlib = require('zlib');

function paeth(a, b, c) {
  const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// -> { width, height, data }, data RGBA.
function decode(buffer) {
  let header = null;
  const idat = [];
  for (let pos = 8; pos + 8 <= buffer.length;) {
    const length = buffer.readUInt32BE(pos), type = buffer.toString('latin1', pos + 4, pos + 8);
    const body = buffer.subarray(pos + 8, pos + 8 + length);
    if (type === 'IHDR') header = body;
    else if (type === 'IDAT') idat.push(body);
    else if (type === 'IEND') break;
    pos += 12 + length;
  }
  const width = header.readUInt32BE(0), height = header.readUInt32BE(4);
  const [depth, colourType, , , interlace] = header.subarray(8);
  if (depth !== 8 || (colourType !== 2 && colourType !== 6) || interlace) {
    throw new Error(`png: depth ${depth}, colour type ${colourType}, interlace ${interlace}: not read here`);
  }
  const bpp = colourType === 6 ? 4 : 3, stride = width * bpp;
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const data = new Uint8Array(width * height * 4);
  // Unfiltered in place: a Buffer's sums wrap modulo 256 as the format wants.
  for (let y = 0, o = 0; y < height; y++) {
    const row = y * (stride + 1) + 1, up = row - stride - 1, filter = raw[row - 1];
    for (let i = 0; i < stride; i++) {
      const a = i >= bpp ? raw[row + i - bpp] : 0, b = y ? raw[up + i] : 0;
      const c = y && i >= bpp ? raw[up + i - bpp] : 0;
      raw[row + i] += [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
    }
    for (let i = row; i < row + stride; i += bpp, o += 4) {
      data.set(raw.subarray(i, i + 3), o);
      data[o + 3] = bpp === 4 ? raw[i + 3] : 255;
    }
  }
  return { width, height, data };
}

module.exports = { decode };
