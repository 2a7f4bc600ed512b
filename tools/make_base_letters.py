#!/usr/bin/env python3
# Prints the base-letter rows and the combining-mark compositions of
# src/codec/closest_char_table.h from Python's Unicode database:
#   python3 tools/make_base_letters.py
import unicodedata

# Letters whose decomposition gives no base letter but that read as one.
EXTRA = {'Ð': 'D', 'ð': 'd', 'Đ': 'D', 'đ': 'd', 'Ł': 'L', 'ł': 'l', 'Ħ': 'H', 'ħ': 'h',
         'Ŧ': 'T', 'ŧ': 't', 'ı': 'i', 'Ø': 'O', 'ø': 'o', 'Ɨ': 'I', 'ƚ': 'l', 'Ƶ': 'Z',
         'ƶ': 'z', 'ǥ': 'g', 'Ǥ': 'G', 'ȿ': 's', 'ɀ': 'z'}


def base(cp):
    ch = chr(cp)
    if ch in EXTRA:
        return EXTRA[ch]
    first = unicodedata.normalize('NFD', ch)[0]
    return first if first.isascii() and first.isalpha() and first != ch else '.'


def row(first, last):
    return ''.join(base(cp) for cp in range(first, last + 1))


for first, last in ((0xC0, 0x24F), (0x1E00, 0x1EFF)):
    text = row(first, last)
    print(f'// U+{first:04X} to U+{last:04X}')
    for k in range(0, len(text), 64):
        print(f'    "{text[k:k + 64]}"')

# Base letter + combining mark -> a Latin-1 letter (the accented letters of the caption set).
print('// compositions')
for cp in range(0xC0, 0x100):
    d = unicodedata.normalize('NFD', chr(cp))
    if len(d) == 2:
        print(f"    {{'{d[0]}', 0x{ord(d[1]):04X}, 0x{cp:02X}}},")
