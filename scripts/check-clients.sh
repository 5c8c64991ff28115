#!/usr/bin/env bash
# Lists a generated tree of hostile names and checks that the programs people open the
# listings with read them back: LibreOffice Calc imports the CSV with every name and
# value intact and no formula evaluated, Chromium renders the HTML with a row per entry,
# xsltproc renders the XML with the shipped stylesheet. Run by hand, not by CI; it
# installs libreoffice-calc-nogui, chromium and xsltproc when they are missing.
#   scripts/check-clients.sh [WORK-DIR]        (default: a new folder in $TMPDIR)
# Prints one line per check and exits non-zero when one fails. Each code page the build
# knows is a round of its own: Shift_JIS always, UTF-8 when the build has the
# TextEncoding setting.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVANTIS_BUILD:-$root/build}"
work="${1:-$(mktemp -d "${TMPDIR:-/tmp}/orvantis-clients.XXXXXX")}"

missing=()
for package in libreoffice-calc-nogui chromium xsltproc python3; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
"$root/scripts/install-deps.sh"
mkdir -p "$work"
if ! "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTIS_TESTS=OFF >"$work/build.log" 2>&1; then
  tail -20 "$work/build.log"
  echo "FAIL build: see $work/build.log"
  exit 1
fi
orvantis="$build/app/orvantis"

rm -rf "$work/tree"
# The tree: names that start a formula, that break naive CSV, HTML or XML, Japanese
# names (one with the trail byte 0x5C), one CP932 cannot hold; each file a distinct size.
python3 - "$work/tree" >"$work/names.json" <<'EOF'
import json, os, sys
tree = sys.argv[1]
names = ["=1+2.csv", '=HYPERLINK("#A1","open")', "+1", "-foo.txt", "-2",
         "@SUM(1+1)", "\tleading tab.txt", "\rleading cr.txt", "=cmd|' \\C calc'!A0",
         'quote"inside.txt', "comma,name.txt", "line\nbreak.txt", "<b>&amp;<\\b>.html",
         "#hash%20?.txt", "'apostrophe.txt", "  spaces  .txt", ".hidden", "日本語ファイル.txt",
         "ソース表.txt", "~$report.docx", "café😀.txt", "plain.txt", "2024"]
os.makedirs(tree)
entries = []
for folder in ["", "=sub/", "日本/"]:
    if folder:
        os.mkdir(os.path.join(tree, folder))
        entries.append({"dir": True, "parent": "./", "name": folder[:-1]})
    for i, name in enumerate(names if not folder else names[:3]):
        size = len(entries) * 7 + 1
        with open(os.path.join(tree, folder, name), "wb") as f:
            f.write(b"x" * size)
        entries.append({"dir": False, "parent": "./" + folder, "name": name, "size": size,
                        "attribute": "H" if name.startswith(".") else ""})
json.dump(entries, sys.stdout, ensure_ascii=False)
EOF

failures=0
report() {  # STATUS TEXT
  echo "$1 $2"
  [ "$1" = PASS ] || [ "$1" = SKIP ] || failures=$((failures + 1))
}

round() {  # LABEL ENCODING-SETTING CALC-CHARSET PYTHON-CODEC
  local label="$1" setting="$2" charset="$3" codec="$4"
  local out="$work/$label" home="$work/$label/home"
  rm -rf "$out"
  mkdir -p "$home"
  {
    printf '[Item]\r\nFileSize=1\r\nLastUpdateTime=0\r\nAttribute=1\r\n'
    printf '[Output]\r\nFileOpen=0\r\nHyperLink=1\r\n'
    [ -z "$setting" ] || printf 'TextEncoding=%s\r\n' "$setting"
  } >"$home/Orvantis.ini"
  local format
  for format in csv html xml; do
    if ! ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$work/tree" "$out/list.$format" 2>"$out/$format.err"; then
      report FAIL "$label $format: orvantis failed: $(head -c 300 "$out/$format.err")"
      return
    fi
  done

  # Calc: import as a user opening the file would (formulas evaluated, numbers
  # recognised), export as UTF-8 CSV and as flat ODS to look for formula cells.
  local profile="file://$work/soffice-profile"
  soffice -env:UserInstallation="$profile" --headless --infilter="CSV:44,34,$charset" \
    --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir "$out/calc" "$out/list.csv" >"$out/calc.log" 2>&1
  soffice -env:UserInstallation="$profile" --headless --infilter="CSV:44,34,$charset" \
    --convert-to fods --outdir "$out/calc" "$out/list.csv" >>"$out/calc.log" 2>&1

  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,1400 \
    --screenshot="$out/list-html.png" "file://$out/list.html" >"$out/chromium.log" 2>&1 || true
  chromium --headless --no-sandbox --disable-gpu --dump-dom "file://$out/list.html" \
    >"$out/list-dom.html" 2>>"$out/chromium.log" || true

  xsltproc "$root/data/Orvantis.xsl.sample" "$out/list.xml" >"$out/list-xslt.html" 2>"$out/xsltproc.log" || true

  local line
  while IFS= read -r line; do
    report "${line%% *}" "$label ${line#* }"
  done < <(python3 - "$work/names.json" "$out" "$codec" <<'EOF'
import csv, io, json, os, re, sys
from html.parser import HTMLParser

entries = json.load(open(sys.argv[1], encoding="utf-8"))
out, codec = sys.argv[2], sys.argv[3]
FORMULA_START = "=+-@\t\r"

def shown(text):
    """The text as the listing's code page holds it ("?" for what it cannot)."""
    return text.encode(codec, errors="replace").decode(codec)

def lines(text):
    return text.replace("\r\n", "\n").replace("\r", "\n")

class Cells(HTMLParser):
    """The text of every element of the given tags, without the listing's full-width
    padding."""
    def __init__(self, tags):
        super().__init__(convert_charrefs=True)
        self.tags, self.open, self.texts = tags, [], []
    def handle_starttag(self, tag, attrs):
        if tag in self.tags:
            self.open.append([])
    def handle_endtag(self, tag):
        if tag in self.tags and self.open:
            self.texts.append("".join(self.open.pop()).strip("\u3000"))
    def handle_data(self, data):
        for part in self.open:
            part.append(data)

def check(name, ok, detail):
    print(("PASS " if ok else "FAIL ") + name + ": " + detail)

# Calc's CSV: every entry row gives back parent, name (behind the apostrophe the
# listing puts before a formula start) and size or folder count, and the attribute.
try:
    calc = list(csv.reader(io.open(os.path.join(out, "calc", "list.csv"), encoding="utf-8", newline="")))
    rows = {(r[0], lines(r[1])): r[2:] for r in calc[5:] if len(r) >= 4}
    bad = []
    for e in entries:
        name = shown(e["name"])
        key = (shown(e["parent"]), lines(("'" + name) if name[0] in FORMULA_START else name))
        want = ["DIR(%d)" % sum(1 for f in entries if not f["dir"] and f["parent"] == e["parent"] + e["name"] + "/")
                if e["dir"] else str(e["size"]), e.get("attribute", "")]
        if rows.get(key) != want:
            bad.append("%r: %r" % (key, rows.get(key)))
    files = [e for e in entries if not e["dir"]]
    totals = [r[2] if len(r) > 2 else None for r in calc[:3]]
    want_totals = [str(sum(e["size"] for e in files)), str(len(files)), str(len(entries) - len(files))]
    if totals != want_totals:
        bad.append("totals %r, expected %r" % (totals, want_totals))
    check("calc csv", not bad, "%d entries and the totals read back exactly" % len(entries) if not bad
          else "; ".join(bad[:4]))
except OSError as error:
    check("calc csv", False, "no export: %s" % error)
try:
    fods = open(os.path.join(out, "calc", "list.fods"), encoding="utf-8").read()
    formulas = re.findall(r'table:formula="([^"]*)"', fods)
    numbers = len(re.findall(r'office:value-type="float"', fods))
    check("calc formulas", not formulas and numbers >= len(entries),
          "no formula cell, %d number cells (sizes and totals)" % numbers if not formulas
          else "formulas evaluated: %s" % ", ".join(formulas[:4]))
except OSError as error:
    check("calc formulas", False, "no export: %s" % error)

# Chromium: the page renders (a screenshot) and its DOM has a cell per entry name.
png = os.path.join(out, "list-html.png")
check("chromium screenshot", os.path.exists(png) and os.path.getsize(png) > 10000,
      png if os.path.exists(png) else "no screenshot")
cells = Cells({"td"})
cells.feed(open(os.path.join(out, "list-dom.html"), encoding="utf-8", errors="replace").read())
texts = {lines(t) for t in cells.texts}
missing = [e["name"] for e in entries if lines(shown(e["name"])) not in texts]
check("chromium dom", not missing, "a row for each of %d entries" % len(entries) if not missing
      else "rows missing for %r" % missing[:4])

# xsltproc and the shipped stylesheet: each entry's name is a link on the page. An XML
# parser turns tab, CR and LF inside attribute values into spaces (attribute-value
# normalisation), so those names are compared that way.
def normalised(text):
    return re.sub(r"[\t\n]", " ", lines(text))
page = Cells({"a"})
page.feed(open(os.path.join(out, "list-xslt.html"), encoding="utf-8", errors="replace").read())
texts = {normalised(t) for t in page.texts}
missing = [e["name"] for e in entries if normalised(shown(e["name"])) not in texts]
check("xsltproc xml", not missing, "the stylesheet shows each of %d entries" % len(entries) if not missing
      else "not shown: %r" % missing[:4])
EOF
)
}

round sjis "" 60 cp932
if grep -aq TextEncoding "$orvantis"; then
  round utf8 1 76 utf-8
else
  report SKIP "utf8: this build has no TextEncoding setting yet, only Shift_JIS was checked"
fi
echo "outputs in $work"
[ "$failures" -eq 0 ]
