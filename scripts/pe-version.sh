#!/usr/bin/env bash
# Prints a Windows binary's file version (from its VS_FIXEDFILEINFO) and the language of its
# version resource (the first of its VarFileInfo\Translation), in decimal: "1.0.0.0 3082".
# Fails when the binary has no version resource.
set -euo pipefail
binary=$1
export LC_ALL=C

# u16 offset: the little-endian 16-bit number at that offset of the file.
u16() { od -An -tu2 -j "$1" -N2 --endian=little "$binary" | tr -d ' '; }

# VS_FIXEDFILEINFO starts with its signature 0xFEEF04BD and dwStrucVersion 0x00010000; then
# dwFileVersionMS (minor, major) and dwFileVersionLS (revision, build).
fixed=$(grep -obUaP '\xbd\x04\xef\xfe\x00\x00\x01\x00' "$binary" | head -1 | cut -d: -f1 || true)
[ -n "$fixed" ] || { echo "pe-version: $binary has no version resource" >&2; exit 1; }
version="$(u16 $((fixed + 10))).$(u16 $((fixed + 8))).$(u16 $((fixed + 14))).$(u16 $((fixed + 12)))"

# The Var structure: wLength, wValueLength, wType (6 bytes), the key "Translation" in UTF-16
# with its terminator (24 bytes), padding to 32 bits (2 bytes), then language and code page.
key=$(grep -obUaP 'T\x00r\x00a\x00n\x00s\x00l\x00a\x00t\x00i\x00o\x00n\x00\x00\x00' "$binary" |
  head -1 | cut -d: -f1 || true)
[ -n "$key" ] || { echo "pe-version: $binary has no translation" >&2; exit 1; }
echo "$version $(u16 $((key + 26)))"
