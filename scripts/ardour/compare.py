"""Compares two float WAV files sample by sample: prints 'identical', or the
count of differing samples and the first few (frame, channel, values).
Exit status 0 when identical."""
import array
import struct
import sys


def read(path):
    data = open(path, 'rb').read()
    if data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        raise SystemExit(f'{path}: not a WAV file')
    at, channels, samples = 12, None, None
    while at + 8 <= len(data):
        chunk, size = data[at:at + 4], struct.unpack('<I', data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if chunk == b'fmt ':
            channels, bits = struct.unpack('<H', body[2:4])[0], struct.unpack('<H', body[14:16])[0]
            if bits != 32:
                raise SystemExit(f'{path}: {bits}-bit samples, not float')
        elif chunk == b'data':
            samples = array.array('f')
            samples.frombytes(body[:len(body) // 4 * 4])
        at += 8 + size + (size & 1)
    return channels, samples


def main(expected_path, actual_path):
    channels, expected = read(expected_path)
    _, actual = read(actual_path)
    if expected.tobytes() == actual.tobytes():
        print('identical')
        return 0
    bits_e, bits_a = array.array('I', expected.tobytes()), array.array('I', actual.tobytes())
    count = min(len(bits_e), len(bits_a))
    differing = [i for i in range(count) if bits_e[i] != bits_a[i]]
    length = '' if len(expected) == len(actual) else f' (lengths {len(expected)} and {len(actual)})'
    print(f'{len(differing)} samples differ{length}:', ', '.join(
        f'frame {i // channels} ch {i % channels} {expected[i]!r} -> {actual[i]!r}'
        for i in differing[:6]))
    return 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1], sys.argv[2]))
