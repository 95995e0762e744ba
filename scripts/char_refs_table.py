#!/usr/bin/env python3
# Prints the table of HTML5 named character references for
# src/core/text/char_refs.cpp, from the list Python carries (html.entities.html5).
# Names are sorted byte-wise so the decoder can search them with std::lower_bound.
import html.entities

rows = []
for name in sorted(html.entities.html5, key=lambda n: n.encode('ascii')):
    cps = [ord(c) for c in html.entities.html5[name]]
    cps += [0] * (2 - len(cps))
    rows.append('{"%s", 0x%X, 0x%X},' % (name, cps[0], cps[1]))

line = '   '
for row in rows:
    if len(line) + 1 + len(row) > 100:
        print(line)
        line = '   '
    line += ' ' + row
print(line)
