#!/usr/bin/env python3
# Prints the ranges of wide and full-width code points (East Asian Width W or
# F) for src/core/text/east_asian_wide_table.inc, from the Unicode data Python
# carries: the same data docutils measures grid tables with.
import sys
import unicodedata

ranges = []
for cp in range(sys.maxunicode + 1):
    if unicodedata.east_asian_width(chr(cp)) in ('W', 'F'):
        if ranges and ranges[-1][1] == cp - 1:
            ranges[-1][1] = cp
        else:
            ranges.append([cp, cp])

print('// Wide and full-width code points (East Asian Width W and F) of Unicode %s,'
      % unicodedata.unidata_version)
print('// first and last of each range; made by scripts/east_asian_wide_table.py.')
line = '   '
for first, last in ranges:
    item = ' {0x%X, 0x%X},' % (first, last)
    if len(line) + len(item) > 100:
        print(line)
        line = '   '
    line += item
print(line)
