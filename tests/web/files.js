// The few file formats the browser tests exchange with the native tools:
// stereo 32-bit float WAV, and PNG (screenshots), decoded to RGBA.
import { inflateSync } from 'node:zlib';

export function writeFloatWav(channels, rate) {
  const frames = channels[0].length;
  const data = Buffer.alloc(frames * 8);
  for (let i = 0; i < frames; ++i) {
    data.writeFloatLE(channels[0][i], i * 8);
    data.writeFloatLE(channels[1][i], i * 8 + 4);
  }
  const header = Buffer.alloc(44);
  header.write('RIFF', 0);
  header.writeUInt32LE(36 + data.length, 4);
  header.write('WAVEfmt ', 8);
  header.writeUInt32LE(16, 16);
  header.writeUInt16LE(3, 20);  // IEEE float
  header.writeUInt16LE(2, 22);
  header.writeUInt32LE(rate, 24);
  header.writeUInt32LE(rate * 8, 28);
  header.writeUInt16LE(8, 32);
  header.writeUInt16LE(32, 34);
  header.write('data', 36);
  header.writeUInt32LE(data.length, 40);
  return Buffer.concat([header, data]);
}

// Stereo float WAV (plain or extensible header) to two Float32Arrays.
export function readFloatWav(bytes) {
  let format = null;
  for (let at = 12; at + 8 <= bytes.length;) {
    const id = bytes.toString('latin1', at, at + 4);
    const size = bytes.readUInt32LE(at + 4);
    if (id === 'fmt ') {
      format = { channels: bytes.readUInt16LE(at + 10), bits: bytes.readUInt16LE(at + 22) };
    } else if (id === 'data') {
      if (!format || format.channels !== 2 || format.bits !== 32) throw new Error('not a stereo float WAV');
      const frames = size / 8;
      const channels = [new Float32Array(frames), new Float32Array(frames)];
      for (let i = 0; i < frames; ++i) {
        channels[0][i] = bytes.readFloatLE(at + 8 + i * 8);
        channels[1][i] = bytes.readFloatLE(at + 12 + i * 8);
      }
      return channels;
    }
    at += 8 + size + (size & 1);
  }
  throw new Error('no audio in the WAV file');
}

// 8-bit RGB or RGBA, not interlaced: what browsers and our tools write.
export function decodePng(bytes) {
  let width = 0, height = 0, channels = 0;
  const idat = [];
  for (let at = 8; at < bytes.length;) {
    const size = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + size);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0 || (body[9] !== 2 && body[9] !== 6)) throw new Error('unsupported PNG');
      channels = body[9] === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      idat.push(body);
    }
    at += 12 + size;
  }
  const raw = inflateSync(Buffer.concat(idat));
  const rgba = new Uint8Array(width * height * 4);
  const stride = width * channels;
  const previous = new Uint8Array(stride);
  const row = new Uint8Array(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? row[i - channels] : 0;
      const b = previous[i];
      const c = i >= channels ? previous[i - channels] : 0;
      const p = a + b - c;
      const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      row[i] = (line[i] + predictor) & 255;
    }
    for (let x = 0; x < width; ++x) {
      for (let k = 0; k < 3; ++k) rgba[(y * width + x) * 4 + k] = row[x * channels + k];
      rgba[(y * width + x) * 4 + 3] = channels === 4 ? row[x * channels + 3] : 255;
    }
    previous.set(row);
  }
  return { width, height, rgba };
}
