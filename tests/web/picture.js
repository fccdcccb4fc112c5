'use strict';
// The canvas' picture as the page hands it out (canvas.toDataURL(), a PNG), decoded into its
// colours, with what the scenarios measure on it: colour counts over a region, the pixels in
// which two pictures differ, and a 24-bit BMP for the host build's overlay reader.
const fs = require('fs');
const zlib = require('zlib');

const signature = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);
const channelsOfColourType = {2: 3, 6: 4}; // RGB, RGBA: what Chromium writes for a canvas

function paeth(left, up, upLeft) {
  const estimate = left + up - upLeft;
  const toLeft = Math.abs(estimate - left);
  const toUp = Math.abs(estimate - up);
  const toUpLeft = Math.abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return left;
  return toUp <= toUpLeft ? up : upLeft;
}

function readChunks(png) {
  if (!png.subarray(0, signature.length).equals(signature)) throw new Error('not a PNG');
  let header = null;
  const data = [];
  for (let at = signature.length; at + 8 <= png.length;) {
    const length = png.readUInt32BE(at);
    const type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      header = {width: body.readUInt32BE(0), height: body.readUInt32BE(4), bitDepth: body[8],
                colourType: body[9], interlace: body[12]};
    } else if (type === 'IDAT') {
      data.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length; // length, type, body, CRC
  }
  if (!header) throw new Error('a PNG without its header');
  return {header, data: zlib.inflateSync(Buffer.concat(data))};
}

// The rows' filters undone, the alpha channel dropped: 3 bytes a pixel, top row first.
function decodePng(png) {
  const {header, data} = readChunks(png);
  const {width, height} = header;
  const channels = channelsOfColourType[header.colourType];
  if (header.bitDepth !== 8 || !channels || header.interlace !== 0) {
    throw new Error(`a PNG of a kind the canvas does not write: ${JSON.stringify(header)}`);
  }
  const stride = width * channels;
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; y++) {
    const start = y * (stride + 1);
    const filter = data[start];
    if (filter > 4) throw new Error(`PNG row ${y} has filter ${filter}`);
    const row = Buffer.from(data.subarray(start + 1, start + 1 + stride));
    for (let i = 0; filter !== 0 && i < stride; i++) {
      const left = i >= channels ? row[i - channels] : 0;
      const up = previous[i];
      const upLeft = i >= channels ? previous[i - channels] : 0;
      row[i] += filter === 1 ? left
                : filter === 2 ? up
                : filter === 3 ? (left + up) >> 1
                : paeth(left, up, upLeft); // Buffer bytes wrap modulo 256 by themselves
    }
    for (let x = 0; x < width; x++) {
      row.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
    }
    previous = row;
  }
  return {width, height, rgb};
}

function nameOf(pixel) { return `${pixel >> 16},${(pixel >> 8) & 0xff},${pixel & 0xff}`; }

function pixelOf(colour) {
  const [r, g, b] = colour.split(',').map(Number);
  return (r << 16) | (g << 8) | b;
}

class Picture {
  constructor(width, height, rgb) {
    this.width = width;
    this.height = height;
    this.rgb = rgb;
  }

  static fromPng(png) {
    const {width, height, rgb} = decodePng(png);
    return new Picture(width, height, rgb);
  }

  // The colour at x, y as one number, 0xRRGGBB.
  pixel(x, y) {
    const at = (y * this.width + x) * 3;
    return (this.rgb[at] << 16) | (this.rgb[at + 1] << 8) | this.rgb[at + 2];
  }

  // The colour at x, y as "r,g,b", the way the scenarios name colours.
  colour(x, y) { return nameOf(this.pixel(x, y)); }

  whole() { return {x: 0, y: 0, width: this.width, height: this.height}; }

  // Calls visit(x, y, pixel) for every pixel of the region.
  forEach(region, visit) {
    for (let y = region.y; y < region.y + region.height; y++) {
      for (let x = region.x; x < region.x + region.width; x++) visit(x, y, this.pixel(x, y));
    }
  }

  // How many pixels of each colour the region has, as a Map from "r,g,b".
  histogram(region = this.whole()) {
    const counts = new Map();
    this.forEach(region, (x, y, pixel) => counts.set(pixel, (counts.get(pixel) || 0) + 1));
    return new Map([...counts].map(([pixel, count]) => [nameOf(pixel), count]));
  }

  dominantColour(region = this.whole()) {
    let best = null;
    for (const [colour, count] of this.histogram(region)) {
      if (!best || count > best.count) best = {colour, count};
    }
    return best && best.colour;
  }

  // The pixels of the region that are not in that colour ("r,g,b").
  pixelsOtherThan(colour, region = this.whole()) {
    const pixel = pixelOf(colour);
    let count = 0;
    this.forEach(region, (x, y, shown) => { if (shown !== pixel) count++; });
    return count;
  }

  // The pixels of the region in which this picture and another of the same size differ.
  differingPixels(other, region = this.whole()) {
    if (other.width !== this.width || other.height !== this.height) return Infinity;
    let count = 0;
    this.forEach(region, (x, y, pixel) => { if (other.pixel(x, y) !== pixel) count++; });
    return count;
  }

  // A 24-bit BMP of the picture's top ROWS (all of them by default), bottom row first, each
  // row padded to 4 bytes.
  writeBmp(file, rows = this.height) {
    const rowBytes = Math.ceil((this.width * 3) / 4) * 4;
    const headerBytes = 14 + 40;
    const bmp = Buffer.alloc(headerBytes + rowBytes * rows);
    bmp.write('BM', 0, 'latin1');
    bmp.writeUInt32LE(bmp.length, 2);
    bmp.writeUInt32LE(headerBytes, 10);
    bmp.writeUInt32LE(40, 14);
    bmp.writeInt32LE(this.width, 18);
    bmp.writeInt32LE(rows, 22);
    bmp.writeUInt16LE(1, 26); // planes
    bmp.writeUInt16LE(24, 28);
    bmp.writeUInt32LE(rowBytes * rows, 34);
    for (let y = 0; y < rows; y++) {
      const row = headerBytes + (rows - 1 - y) * rowBytes;
      for (let x = 0; x < this.width; x++) {
        const from = (y * this.width + x) * 3;
        bmp[row + x * 3] = this.rgb[from + 2];
        bmp[row + x * 3 + 1] = this.rgb[from + 1];
        bmp[row + x * 3 + 2] = this.rgb[from];
      }
    }
    fs.writeFileSync(file, bmp);
  }
}

module.exports = {Picture, nameOf, pixelOf};
