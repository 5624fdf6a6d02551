#!/usr/bin/env bash
# Builds the libFuzzer target for the device reply checks with clang straight from the packet
# sources and runs it for a short while (FUZZ_SECONDS, default 20). Where clang or its fuzzer
# runtime is missing it says so and exits 77 (a skip to CTest), or 1 under VORTANE_NO_SKIP=1.
# Usage: scripts/fuzz-device.sh [output folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-20}
cxx=${FUZZ_CXX:-clang++}
skip() {
    echo "fuzz-device: $1; skipped"
    [ "${VORTANE_NO_SKIP:-0}" = 1 ] && exit 1
    exit 77
}
if ! command -v "$cxx" >/dev/null 2>&1; then
    skip "$cxx not found (Debian packages clang, libclang-rt-14-dev)"
fi
mkdir -p "$out/corpus"
if ! "$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$root" "$root/device/Packets.cpp" "$root/tests/fuzz/FuzzReplyCheckers.cpp" \
        -o "$out/fuzz-reply-checkers" 2>"$out/build.log"; then
    if grep -q -E "libclang_rt.fuzzer|cannot find.*fuzzer" "$out/build.log"; then
        skip "the libFuzzer runtime is missing (Debian package libclang-rt-14-dev)"
    fi
    cat "$out/build.log" >&2
    exit 1
fi
# Seeds: one well-formed packet of each kind (replies, a command, a block, a frame), so the fuzzer
# starts from inputs that pass the checksums and explores the checks behind them.
command -v python3 >/dev/null 2>&1 && python3 - "$out/corpus" <<'SEEDS'
import sys, zlib, os
def crc(data):
    # The protocol's CRC-32 (initial 0, no final XOR) in terms of the common one.
    return zlib.crc32(data, 0xFFFFFFFF) ^ 0xFFFFFFFF
def seal(body):
    return body + crc(body).to_bytes(4, "big")
identify = bytearray(32); identify[2] = 0x3B; identify[18:23] = b"1.1.3"; identify[28] = 1
open(os.path.join(sys.argv[1], "identify"), "wb").write(seal(bytes(identify)))
open(os.path.join(sys.argv[1], "short"), "wb").write(seal(bytes(9)))
request = bytearray(32); request[0:5] = bytes.fromhex("aa554b4c54")
open(os.path.join(sys.argv[1], "request"), "wb").write(seal(bytes(request)))
block = bytes.fromhex("aa554a00001300001000") + b"12345"
open(os.path.join(sys.argv[1], "block"), "wb").write(seal(block))
def crc16(data):
    reg = 0xFFFF
    for b in data:
        reg ^= b
        for _ in range(8):
            reg = (reg >> 1) ^ 0xA001 if reg & 1 else reg >> 1
    return reg
length = (4).to_bytes(4, "big")
frame = bytes.fromhex("5aa5") + length + crc16(length).to_bytes(2, "big") + bytes([100, 0, 0]) + bytes(29) + b"JPEG"
open(os.path.join(sys.argv[1], "frame"), "wb").write(frame)
SEEDS
"$out/fuzz-reply-checkers" -max_total_time="$seconds" -max_len=1024 -print_final_stats=1 \
    -artifact_prefix="$out/" "$out/corpus" 2>&1 | tail -n 15
