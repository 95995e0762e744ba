#!/usr/bin/python3
"""A table as its real reader reads it, as JSON: the caption and, row by row,
each cell's runs of text (with bold, italic and link), spans, whether it is a
header cell, and its alignment.

    published_cells.py FORMAT FILE          read by the format's reader
    published_cells.py expect FORMAT PAGE   what that reading should give, from
                                            the table's own HTML5 page

FORMAT is wiki (pandoc; the spans by mwparserfromhell, as pandoc before 2.19
reads none), adoc (asciidoctor), rst (docutils, which must not warn) or md
(pandoc's GitHub Markdown). Exit status 77: a reader is missing."""
import io, json, re, shutil, subprocess, sys
from html.parser import HTMLParser


def need(ok, what):
    if not ok:
        print(what + " is not installed", file=sys.stderr)
        sys.exit(77)


BREAK = "\x0b"


class Cells(HTMLParser):
    """Cells and caption of the first table, texts folded as a browser shows them."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.caption, self.cell, self.marks, self.thead, self.line = [], None, None, [], False, False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "thead":
            self.thead = True
        elif tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.marks = []  # formatting left open ends with its cell, as in a browser
            style = a.get("style") or ""
            m = re.search(r"text-align:\s*(\w+)", style) or re.search(r"halign-(\w+)", a.get("class") or "")
            self.cell = {"runs": [], "r": int(a.get("rowspan", 1)), "c": int(a.get("colspan", 1)),
                         "h": tag == "th", "a": m.group(1) if m else ("center" if tag == "th" else "left"),
                         "head": self.thead, "own": m.group(1) if m else None}
        elif tag == "caption":
            self.marks = []
            self.cell = {"runs": []}
        elif tag in ("b", "strong", "i", "em") or (tag == "a" and "href" in a):
            self.marks.append((tag, a.get("href")))
        elif tag == "br" and not self.line:
            self.add(BREAK)
        elif tag == "div" and "line" in (a.get("class") or "").split():
            self.line = True  # a line of a line block: an empty one holds a <br>

    def handle_endtag(self, tag):
        if tag == "thead":
            self.thead = False
        elif tag in ("td", "th", "caption") and self.cell is not None:
            self.cell["runs"] = fold(self.cell["runs"])
            if tag == "caption":
                self.caption = self.cell["runs"]
            else:
                self.rows[-1].append(self.cell)
            self.cell = None
        elif tag in ("b", "strong", "i", "em", "a"):
            for k in range(len(self.marks) - 1, -1, -1):
                if self.marks[k][0] == tag:
                    del self.marks[k]
                    break
        elif tag == "div" and self.cell is not None:
            self.line = False
            self.add(BREAK)

    def add(self, data):
        if self.cell is None:
            return
        b = any(t in ("b", "strong") for t, _ in self.marks)
        i = any(t in ("i", "em") for t, _ in self.marks)
        href = next((h for t, h in reversed(self.marks) if t == "a"), None)
        self.cell["runs"].append([data, ("b" if b else "") + ("i" if i else ""), href])

    def handle_data(self, data):
        self.add(re.sub(r"[\n\r\t\f\xa0]", " ", data))


def fold(runs):
    """Blanks folded, none beside a line break or at the ends; a blank or a
    break takes no formatting; runs of one kind joined."""
    chars = []
    for text, kind, href in runs:
        for ch in text:
            if ch == BREAK:
                while chars and chars[-1][0] == " ":
                    chars.pop()
                chars.append(("\n", None))
            elif ch in " \xa0":  # a no-break space shows as a blank
                if chars and chars[-1][0] not in " \n":
                    chars.append((" ", None))
            else:
                chars.append((ch, (kind, href)))
    while chars and chars[-1][0] in " \n":
        chars.pop()
    out = []
    for ch, k in chars:
        if out and (k is None or out[-1][1] == k):
            out[-1][0] += ch
        elif out and out[-1][1] is None:
            out[-1][0] += ch
            out[-1][1] = k
        else:
            out.append([ch, k])
    return [[t, k[0], k[1]] if k else [t, "", None] for t, k in out]


def parse_html(html, keep_head=False):
    p = Cells()
    p.feed(html)
    for row in p.rows:
        for cell in row:
            if not keep_head:
                cell.pop("head", None)
            own = cell.pop("own", None)
            if keep_head:
                cell["own"] = own
    return {"caption": p.caption or [], "rows": p.rows}


def run(args, stdin=None):
    return subprocess.run(args, check=True, capture_output=True, text=True, input=stdin).stdout


def read_wiki(path):
    need(shutil.which("pandoc"), "pandoc")
    try:
        import mwparserfromhell
    except ImportError:
        need(False, "python3-mwparserfromhell")
    source = open(path, encoding="utf-8").read()
    whole = parse_html(run(["pandoc", "-f", "mediawiki", "-t", "html", path]))
    # The structure: this parser takes a caption line for a cell, so it goes first.
    code = mwparserfromhell.parse(re.sub(r"(?m)^\|\+.*\n", "", source))
    rows, contents = [], []
    for tr in code.filter_tags(recursive=True, matches=lambda n: str(n.tag) == "tr"):
        rows.append([])
        for cell in tr.contents.filter_tags(recursive=False, matches=lambda n: str(n.tag) in ("td", "th")):
            attrs = {str(a.name).strip(): str(a.value).strip() for a in cell.attributes}
            m = re.search(r"text-align:\s*(\w+)", attrs.get("style", ""))
            rows[-1].append({"r": int(attrs.get("rowspan", 1)), "c": int(attrs.get("colspan", 1)),
                             "h": str(cell.tag) == "th",
                             "a": m.group(1) if m else ("center" if str(cell.tag) == "th" else "left")})
            contents.append(str(cell.contents).strip())
    # The texts: each cell's markup read by pandoc on its own.
    listed = "".join("* " + c + "\n" for c in contents)
    items = re.findall(r"<li>(.*?)</li>", run(["pandoc", "-f", "mediawiki", "-t", "html"], listed), re.S)
    need(len(items) == len(contents), "a pandoc that reads every cell")
    texts = iter(items)
    for row in rows:
        for cell in row:
            cell["runs"] = parse_html("<table><tr><td>" + next(texts) + "</td></tr></table>")["rows"][0][0]["runs"]
    return {"caption": whole["caption"], "rows": rows}


def read_rst(path):
    try:
        import docutils.core
    except ImportError:
        need(False, "python3-docutils")
    warnings = io.StringIO()
    html = docutils.core.publish_string(open(path, encoding="utf-8").read(), writer_name="html5",
                                        settings_overrides={"warning_stream": warnings, "report_level": 2,
                                                            "input_encoding": "utf-8", "output_encoding": "unicode"})
    if warnings.getvalue():
        print(warnings.getvalue(), file=sys.stderr)
        sys.exit(1)
    t = parse_html(html)
    for row in t["rows"]:
        for cell in row:
            cell["a"] = None  # grid tables have no alignment
    return t


def read(kind, path):
    if kind == "wiki":
        return read_wiki(path)
    if kind == "rst":
        return read_rst(path)
    if kind == "adoc":
        need(shutil.which("asciidoctor"), "asciidoctor")
        t = parse_html(run(["asciidoctor", "-s", "-o", "-", path]))
        if t["caption"]:
            t["caption"][0][0] = re.sub(r"^Table \d+\. ", "", t["caption"][0][0])
            t["caption"] = [run for run in t["caption"] if run[0]]
        return t
    need(shutil.which("pandoc"), "pandoc")
    t = parse_html(run(["pandoc", "-f", "gfm", "-t", "html", path]), keep_head=True)
    t["align"] = [c["own"] for c in t["rows"][0]] if t["rows"] else []
    for row in t["rows"]:
        for cell in row:
            del cell["head"], cell["own"]
    # pandoc leaves out a header row of empty cells, or not: either way it goes.
    if t["rows"] and all(c["h"] and not c["runs"] for c in t["rows"][0]):
        t["rows"] = t["rows"][1:]
    for row in t["rows"]:
        for cell in row:
            cell["a"] = None
    return t


def expect(kind, page):
    """The HTML5 page's cells as the format holds them."""
    t = parse_html(open(page, encoding="utf-8").read(), keep_head=True)
    rows = t["rows"]
    # Links that could run something are written as their text.
    safe = lambda runs: fold([[x, k, None if h and re.match(r"(?i)\s*(?!https?:|ftp:|mailto:)[a-z][a-z0-9+.-]*:", h)
                               else h] for x, k, h in runs])
    def held(runs):
        runs = safe(runs)
        if kind == "wiki":  # a link without a scheme is no link in a wiki
            runs = fold([[x, k, h if h and re.match(r"[A-Za-z][A-Za-z0-9+.-]*:|//", h) else None] for x, k, h in runs])
        if kind == "rst":  # nothing nests: bold wins, a link keeps its text alone
            runs = fold([[x, "" if h else k.replace("bi", "b"), h] for x, k, h in runs])
        return runs
    t["caption"] = held([[x.replace("\n", " "), k, h] for x, k, h in t["caption"]])  # one line
    for r, row in enumerate(rows):
        for cell in row:
            if kind in ("rst", "md") and cell["h"] and (r > 0 if kind == "md" else not cell["head"]):
                cell["h"] = False  # a header cell outside the head is bold
                cell["runs"] = [[x, "b" + k.replace("b", ""), h] if x.strip() else [x, k, h]
                                for x, k, h in cell["runs"]]
                cell["runs"] = fold(cell["runs"])
            cell["runs"] = held(cell["runs"])
            if kind in ("rst", "md"):
                cell["a"] = None
            del cell["head"], cell["own"]
    if kind == "md":
        # Flattened: each cell's text once, at its first slot, the rest empty.
        grid, width = {}, 0
        for r, row in enumerate(rows):
            c = 0
            for cell in row:
                while (r, c) in grid:
                    c += 1
                for y in range(cell["r"]):
                    for x in range(cell["c"]):
                        grid[(r + y, c + x)] = cell if (x, y) == (0, 0) else None
                width = max(width, c + cell["c"])
        rows = [[dict(grid.get((r, c)) or {"runs": []}, r=1, c=1, h=r == 0, a=None) for c in range(width)]
                for r in range(len(rows))]
        # A header row of empty cells goes (see read).
        if rows and not any(cell["runs"] for cell in rows[0]):
            rows = rows[1:]
        t = {"caption": [], "rows": rows}
    return t


if __name__ == "__main__":
    if sys.argv[1] == "expect":
        print(json.dumps(expect(sys.argv[2], sys.argv[3]), ensure_ascii=False, indent=1))
    else:
        print(json.dumps(read(sys.argv[1], sys.argv[2]), ensure_ascii=False, indent=1))
