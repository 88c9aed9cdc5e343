#!/usr/bin/python3
"""Copies a 7z payload and flips one byte in the middle of its packed data.

    damage_payload.py IN.7z OUT.7z

The headers stay intact, so the archive opens and its first entries unpack; the damaged block
then fails its check, the way a payload damaged in transit would.
"""
import struct
import sys

SIGNATURE_HEADER_SIZE = 32


def main():
    source, target = sys.argv[1:3]
    data = bytearray(open(source, "rb").read())
    # The signature header holds the offset of the (packed) header after the packed streams.
    (next_header_offset,) = struct.unpack_from("<Q", data, 12)
    middle = SIGNATURE_HEADER_SIZE + next_header_offset // 2
    data[middle] ^= 0xFF
    open(target, "wb").write(data)


if __name__ == "__main__":
    main()
