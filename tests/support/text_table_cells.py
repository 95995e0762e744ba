#!/usr/bin/env python3
"""The cell texts of a CSV, TSV or Markdown table as JSON rows, as other
programs read them: Python's csv module, and pandoc for GitHub Markdown."""
import csv, json, subprocess, sys
from html.parser import HTMLParser


class Cells(HTMLParser):
    rows, cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


path, kind = sys.argv[1], sys.argv[2]
if kind == "md":
    p = Cells()
    p.feed(subprocess.run(["pandoc", "-f", "gfm", "-t", "html", path],
                          check=True, capture_output=True, text=True).stdout)
    rows = p.rows
else:
    with open(path, newline="", encoding="utf-8-sig") as f:
        rows = list(csv.reader(f, dialect="excel-tab" if kind == "tsv" else "excel"))
print(json.dumps(rows, ensure_ascii=False))
