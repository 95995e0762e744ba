#!/usr/bin/env bash
# Remakes the workbooks the spreadsheet tests read, with LibreOffice Calc
# (Debian's libreoffice-calc-nogui; not needed to run the tests): each .fods,
# written by hand, is opened by Calc and saved as .ods and as .xlsx (the
# "Calc MS Excel 2007 XML" filter), and Calc's own view of every sheet (values
# as shown) is saved as CSV, sheet N as NAME_N.csv.
set -euo pipefail
cd "$(dirname "$0")"
export HOME="${TMPDIR:-/tmp}/quorvan-calc-home"
mkdir -p "$HOME"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for source in calc_*.fods; do
    name="${source%.fods}"
    soffice --headless --convert-to ods --outdir . "$source"
    soffice --headless --convert-to 'xlsx:Calc MS Excel 2007 XML' --outdir . "$name.ods"
    # Separator, quote, UTF-8, first line 1, ..., cells as shown, every sheet to a file of its own.
    soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1' \
        --outdir "$work" "$name.ods"
    i=1
    for sheet in $(python3 -c 'import re,sys,zipfile; print(" ".join(re.findall(r"<table:table table:name=\"([^\"]+)\"", zipfile.ZipFile(sys.argv[1]).read("content.xml").decode())))' "$name.ods"); do
        mv "$work/$name-$sheet.csv" "${name}_$i.csv"
        i=$((i + 1))
    done
done
