#!/usr/bin/env python3
# Runs lupdate over the source into a copy of the English catalogue and fails
# on any entry it leaves unfinished or finds vanished: a text filed under the
# wrong class is both, and its English never shows. The catalogue is untouched.
# Usage: check_translations.py LUPDATE SOURCE_DIR TS_FILE WORK_DIR
import os, shutil, subprocess, sys
import xml.etree.ElementTree as ET

lupdate, source_dir, ts_file, work_dir = sys.argv[1:5]
if not os.path.isfile(lupdate):
    sys.exit("lupdate is missing (qt6-l10n-tools, see scripts/deps.sh)")
copy = os.path.join(work_dir, "checked_" + os.path.basename(ts_file))
shutil.copyfile(ts_file, copy)
# Without -no-obsolete: texts the source no longer has stay, marked vanished.
subprocess.run([lupdate, "-silent", "-locations", "none", source_dir, "-ts", copy],
               check=True, timeout=120)

faults = []
for context in ET.parse(copy).getroot().iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        translation = message.find("translation")
        kind = translation.get("type") if translation is not None else "missing"
        if kind is None and not "".join(translation.itertext()).strip():
            kind = "empty"
        if kind is not None:
            faults.append("  %s, %s: %s" % (name, kind, message.findtext("source")))
if faults:
    print("The English catalogue does not match the source; build quorvan_lupdate "
          "and finish these entries in translations/:")
    print("\n".join(faults))
    sys.exit(1)
print("Every text of the source has its English, and the catalogue holds no other.")
