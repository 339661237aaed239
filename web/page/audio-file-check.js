// What the browser's decoder does not say about a file: whether it is cut
// short. A WAV or AIFF file that lost its end (a broken download or copy)
// still decodes, to the part that is there, and would loop as a fragment
// without a word.

// For a WAV (RIFF) or AIFF (FORM) file whose sound chunk ends beyond the
// file's end: { held, announced }, the seconds of sound the file holds and
// those its header announces. Null for a complete file or another format.
export function cutShortSound(bytes) {
  if (bytes.byteLength < 12) return null;
  const view = new DataView(bytes);
  const tag = (at) => String.fromCharCode(...new Uint8Array(bytes, at, 4));
  const little = tag(0) === 'RIFF';
  if (!little && tag(0) !== 'FORM') return null;
  let bytesPerSecond = 0;
  let announced = 0;  // AIFF: seconds, from its frame count and rate
  for (let at = 12; at + 8 <= bytes.byteLength;) {
    const id = tag(at);
    const size = view.getUint32(at + 4, little);
    const body = at + 8;
    if (id === 'fmt ' && body + 12 <= bytes.byteLength) {
      bytesPerSecond = view.getUint32(body + 8, true);
    } else if (id === 'COMM' && body + 18 <= bytes.byteLength) {
      announced = view.getUint32(body + 2) / extendedFloat(view, body + 8);
    } else if (id === 'data' || id === 'SSND') {
      const present = bytes.byteLength - body;
      if (present >= size) return null;
      if (little) announced = size / bytesPerSecond;
      return announced > 0 && Number.isFinite(announced) ? { held: announced * present / size, announced } : null;
    }
    at = body + size + (size & 1);
  }
  return null;
}

// AIFF's sample rate: an 80-bit IEEE extended number, big-endian.
function extendedFloat(view, at) {
  const exponent = view.getUint16(at) & 0x7fff;
  const mantissa = view.getUint32(at + 2) * 2 ** 32 + view.getUint32(at + 6);
  return mantissa * 2 ** (exponent - 16383 - 63);
}
