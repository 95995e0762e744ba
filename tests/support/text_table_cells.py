#!/usr/bin/env python3
"""Prints the cell texts of a CSV, TSV or Markdown table as JSON rows, read by
other programs than ours: Python's csv module, and pandoc for GitHub Markdown."""
import csv
import json
import subprocess
import sys
from html.parser import HTMLParser


class Cells(HTMLParser):
    def __init__(self):
        super().__init__()
        self.rows, self.cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""
        elif tag == "br" and self.cell is not None:
            self.cell += "\n"

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


path, kind = sys.argv[1], sys.argv[2]
if kind == "md":
    html = subprocess.run(["pandoc", "-f", "gfm", "-t", "html", path],
                          check=True, capture_output=True, text=True).stdout
    p = Cells()
    p.feed(html)
    rows = p.rows
else:
    with open(path, newline="", encoding="utf-8-sig") as f:
        rows = list(csv.reader(f, dialect="excel-tab" if kind == "tsv" else "excel"))
print(json.dumps(rows, ensure_ascii=False))
