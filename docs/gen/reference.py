#!/usr/bin/env python3
"""Writes the function reference, docs/functions.md and docs/funktionen.md.

Names, descriptions and parameter texts come from the library's catalogue
(quorel-host list, English and German), example results from the library's own
calls (quorel-host sheet: English names and numbers in the C locale; German
names and the decimal comma under de_DE.UTF-8), and the prose from
functions.txt beside this script.

    python3 docs/gen/reference.py [--host QUOREL_HOST] [--lib LIBRARY] [--check]

The defaults are the linux-x64 build. --check writes nothing and fails when the
committed files differ from what would be written.
"""
import argparse
import csv
import difflib
import io
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BUILD = os.path.join(ROOT, "build", "linux-x64")
OUTPUTS = {"en": os.path.join(ROOT, "docs", "functions.md"), "de": os.path.join(ROOT, "docs", "funktionen.md")}


def fail(message):
    sys.exit("reference.py: " + message)


def run_host(host, lib, args, locale, stdin_file=None):
    env = dict(os.environ, LC_ALL=locale)
    result = subprocess.run([host, "--lib", lib] + args, env=env, capture_output=True)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8", "replace")


# "0 QR_bessel BESSEL (number; number, number)", the description indented by
# three blanks, then "   1. Number: A number" per parameter.
ROW = re.compile(r"^(\d+) (\S+) (\S+) \(([^;)]*)(?:; ([^)]*))?\)( \[not in library\])?$")


def catalogue(host, lib, lang):
    status, out, err = run_host(host, lib, ["list", "--lang", lang], "C")
    if status != 0:
        fail("quorel-host list failed: " + err)
    functions = []
    for line in out.split("\n"):
        if not line:
            continue
        m = ROW.match(line)
        if m:
            if m.group(6):
                fail(m.group(2) + " is not in the library")
            functions.append({"internal": m.group(2), "name": m.group(3), "result": m.group(4),
                              "types": m.group(5).split(", ") if m.group(5) else [],
                              "description": None, "params": []})
        elif line.startswith("   ") and functions:
            f = functions[-1]
            text = line[3:]
            p = re.match(r"^(\d+)\. (.*?): (.*)$", text)
            if f["description"] is None:
                f["description"] = text
            elif p:
                f["params"].append((p.group(2), p.group(3)))
            else:
                fail("unexpected line in the catalogue: " + line)
        else:
            fail("unexpected line in the catalogue: " + line)
    return functions


def prose():
    blocks, block = [], None
    with open(os.path.join(HERE, "functions.txt"), encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("@ "):
                block = {"internal": line[2:].strip(), "examples": []}
                blocks.append(block)
                continue
            key, sep, value = line.partition(": ")
            if not sep or block is None:
                fail("functions.txt:%d: KEY: VALUE expected" % number)
            if key == "example":
                block["examples"].append(value)
            elif key in ("en", "de", "formula", "errors.en", "errors.de", "accuracy", "accuracy.en",
                         "accuracy.de") and key not in block:
                block[key] = value
            else:
                fail("functions.txt:%d: unknown or repeated key %s" % (number, key))
    return blocks


def german_formula(formula, german_names):
    """The example as a German user types it: the German display name, the
    decimal comma in numbers and complex texts, '.' between array columns."""
    m = re.match(r"^([A-Za-z0-9_]+)\(", formula)
    out = german_names[m.group(1)] + "("
    in_text = False
    for c in formula[len(m.group(0)):]:
        if c == '"':
            in_text = not in_text
        elif c == ".":
            c = ","
        elif c == "," and not in_text:
            c = "."
        out += c
    return out


def evaluate(host, lib, formulas, german):
    """Every formula as a cell of one sheet, evaluated by quorel-host sheet."""
    delimiter = ";" if german else ","
    text = io.StringIO()
    writer = csv.writer(text, delimiter=delimiter, lineterminator="\n")
    for formula in formulas:
        writer.writerow(["=" + formula])
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "examples.csv")
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text.getvalue())
        status, out, err = run_host(host, lib, ["sheet", "--lang", "1031" if german else "1033", path],
                                    "de_DE.UTF-8" if german else "C")
    if status != 0:
        hint = " (German examples need the de_DE.UTF-8 locale: scripts/setup.sh makes it)" if german else ""
        fail("an example did not evaluate" + hint + ":\n" + err)
    rows = list(csv.reader(io.StringIO(out), delimiter=delimiter))
    if len(rows) != len(formulas):
        fail("quorel-host sheet returned %d rows for %d examples" % (len(rows), len(formulas)))
    return [row[0] for row in rows]


TEXTS = {
    "en": {
        "title": "# quorel function reference",
        "other": "Deutsche Fassung: [funktionen.md](funktionen.md).",
        "intro": [
            "quorel adds 40 functions to a spreadsheet host. Each entry below gives the display names that users "
            "type in formulas, in English and German, the internal name under which the host calls the function, "
            "the catalogue's own description and parameter texts in both languages (verbatim, as the host shows "
            "them), what the function computes, its error results, and examples with the results this library "
            "gives.",
            "**Types.** *number*: a number. *text*: a text; complex numbers are texts such as `3+4i` or `1.5-2j` "
            "(`i` or `j`, the imaginary part last), read and written with the decimal separator of the user's "
            "locale, at most 15 significant digits. *range of numbers* (DoubleArray) and *range of cells* "
            "(CellArray): a range of the sheet such as `A1:B3`, or an array; the cells of a range of cells may "
            "hold numbers or texts. Empty cells are not part of a range.",
            "**Errors.** A number result of NaN is shown by hosts as an error value. The complex functions answer "
            "with the text \"Err:502\" when an argument is not a complex number (for XSUM also when a cell is in "
            "error), and with \"Err:503\" when the result is not finite (a pole, an overflow, a division by zero).",
            "**Examples** are written as `quorel-host eval` and `quorel-host sheet` read them: English names, `;` "
            "between arguments, numbers with a decimal point, arrays as `{1, 2; 3, 4}` (`,` between columns, `;` "
            "between rows). The results are those of this library in the C locale.",
        ],
        "contents": "## Contents",
        "contents_head": "| # | English | German | Internal name | Result |",
        "other_name": "German",
        "internal": "internal name",
        "result": "result",
        "description": "Catalogue description",
        "param_head": "| # | Parameter | Description | German | German description | Type |",
        "computes": "**What it computes.**",
        "errors": "**Errors.**",
        "accuracy": "**Accuracy.** Measured against 200-bit reference values: [accuracy report](accuracy.md#%s).",
        "examples": "**Examples.**",
        "example_head": "| Formula | Result |",
        "nan": "NaN (error value)",
        "types": {"number": "number", "string": "text", "DoubleArray": "range of numbers",
                  "CellArray": "range of cells"},
    },
    "de": {
        "title": "# quorel-Funktionsreferenz",
        "other": "English edition: [functions.md](functions.md).",
        "intro": [
            "quorel erweitert eine Tabellenkalkulation um 40 Funktionen. Jeder Eintrag unten nennt die Namen, die "
            "Anwender in Formeln schreiben, deutsch und englisch, den internen Namen, unter dem die "
            "Tabellenkalkulation die Funktion aufruft, die Beschreibung und die Parametertexte des Katalogs in "
            "beiden Sprachen (wörtlich, wie die Tabellenkalkulation sie zeigt), was die Funktion berechnet, ihre "
            "Fehlerergebnisse und Beispiele mit den Ergebnissen dieser Bibliothek.",
            "**Typen.** *Zahl*: eine Zahl. *Text*: ein Text; komplexe Zahlen sind Texte wie `3+4i` oder `1,5-2j` "
            "(`i` oder `j`, der Imaginärteil zuletzt), gelesen und geschrieben mit dem Dezimaltrennzeichen des "
            "Gebietsschemas, mit höchstens 15 gültigen Stellen. *Zahlenbereich* (DoubleArray) und *Zellbereich* "
            "(CellArray): ein Bereich des Tabellenblatts wie `A1:B3` oder eine Matrix; die Zellen eines "
            "Zellbereichs dürfen Zahlen oder Texte enthalten. Leere Zellen gehören nicht zum Bereich.",
            "**Fehler.** Ein Zahlergebnis NaN zeigt die Tabellenkalkulation als Fehlerwert. Die komplexen "
            "Funktionen antworten mit dem Text „Err:502“, wenn ein Argument keine komplexe Zahl ist (bei XSUMME "
            "auch, wenn eine Zelle einen Fehler enthält), und mit „Err:503“, wenn das Ergebnis nicht endlich ist "
            "(eine Polstelle, ein Überlauf, eine Division durch 0).",
            "**Beispiele** stehen so da, wie ein deutsches Tabellenblatt sie schreibt und `quorel-host sheet "
            "--lang 1031` sie unter einem deutschen Gebietsschema liest: deutsche Namen, `;` zwischen den "
            "Argumenten, Zahlen mit Dezimalkomma, Matrizen als `{1. 2; 3. 4}` (`.` zwischen den Spalten, `;` "
            "zwischen den Zeilen). Die Ergebnisse sind die dieser Bibliothek unter `LC_ALL=de_DE.UTF-8`.",
        ],
        "contents": "## Inhalt",
        "contents_head": "| # | Deutsch | Englisch | Interner Name | Ergebnis |",
        "other_name": "Englisch",
        "internal": "interner Name",
        "result": "Ergebnis",
        "description": "Beschreibung im Katalog",
        "param_head": "| # | Parameter | Beschreibung | Englisch | Englische Beschreibung | Typ |",
        "computes": "**Was sie berechnet.**",
        "errors": "**Fehler.**",
        "accuracy": "**Genauigkeit.** Gemessen an Referenzwerten mit 200 Bit: [Genauigkeitsbericht](accuracy.md#%s).",
        "examples": "**Beispiele.**",
        "example_head": "| Formel | Ergebnis |",
        "nan": "NaN (Fehlerwert)",
        "types": {"number": "Zahl", "string": "Text", "DoubleArray": "Zahlenbereich", "CellArray": "Zellbereich"},
    },
}


def anchor(name):
    return re.sub(r"[^\w-]", "", name.lower().replace(" ", "-"))


def cell(text):
    return text.replace("|", "\\|")


def render(lang, own, other, blocks, examples, results):
    t = TEXTS[lang]
    out = [t["title"], "",
           "<!-- Generated by docs/gen/reference.py from the library (quorel-host list and sheet) and "
           "docs/gen/functions.txt; edit those and run python3 docs/gen/reference.py. -->", "",
           t["other"], ""]
    for paragraph in t["intro"]:
        out += [paragraph, ""]
    out += [t["contents"], "", t["contents_head"], "|---|---|---|---|---|"]
    for i, f in enumerate(own):
        out.append("| %d | [%s](#%s) | %s | `%s` | %s |" % (i, f["name"], anchor(f["name"]), other[i]["name"],
                                                        f["internal"], t["types"][f["result"]]))
    out.append("")
    for i, f in enumerate(own):
        o, b = other[i], blocks[i]
        out += ["## " + f["name"], "",
                "%s: **%s** · %s: `%s` · %s: %s" % (t["other_name"], o["name"], t["internal"], f["internal"],
                                                   t["result"], t["types"][f["result"]]), "",
                "%s: \"%s\" / \"%s\"" % (t["description"], f["description"], o["description"]), ""]
        if f["params"]:
            out += [t["param_head"], "|---|---|---|---|---|---|"]
            for k, ((name, desc), (oname, odesc)) in enumerate(zip(f["params"], o["params"])):
                out.append("| %d | %s | %s | %s | %s | %s |" % (k + 1, cell(name), cell(desc), cell(oname),
                                                                cell(odesc), t["types"][f["types"][k]]))
            out.append("")
        out += [t["computes"] + " " + b[lang], "", "`" + b["formula"] + "`", "",
                t["errors"] + " " + b["errors." + lang], ""]
        if "accuracy" in b:
            note = b.get("accuracy." + lang)
            out += [t["accuracy"] % b["accuracy"] + (" " + note if note else ""), ""]
        out += [t["examples"], "", t["example_head"], "|---|---|"]
        for formula, result in zip(examples[i], results[i]):
            shown = t["nan"] if result == "NaN" and f["result"] == "number" else "`%s`" % cell(result)
            out.append("| `%s` | %s |" % (cell(formula), shown))
        out.append("")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description="Writes docs/functions.md and docs/funktionen.md.")
    parser.add_argument("--host", default=os.path.join(BUILD, "host", "quorel-host"))
    parser.add_argument("--lib", default=os.path.join(BUILD, "libquorel.so"))
    parser.add_argument("--check", action="store_true", help="compare with the committed files instead")
    a = parser.parse_args()

    english = catalogue(a.host, a.lib, "1033")
    german = catalogue(a.host, a.lib, "1031")
    blocks = prose()
    if [f["internal"] for f in english] != [b["internal"] for b in blocks]:
        fail("functions.txt must hold one block per catalogue function, in catalogue order: " +
             ", ".join(f["internal"] for f in english))
    for b in blocks:
        missing = [k for k in ("en", "de", "formula", "errors.en", "errors.de") if k not in b]
        if missing or not 2 <= len(b["examples"]) <= 3:
            fail("%s: needs en, de, formula, errors.en, errors.de and two or three examples" % b["internal"])
    german_names = {e["name"]: g["name"] for e, g in zip(english, german)}
    examples = {"en": [b["examples"] for b in blocks],
                "de": [[german_formula(x, german_names) for x in b["examples"]] for b in blocks]}
    results = {}
    for lang in ("en", "de"):
        flat = [x for entry in examples[lang] for x in entry]
        values = iter(evaluate(a.host, a.lib, flat, lang == "de"))
        results[lang] = [[next(values) for _ in entry] for entry in examples[lang]]

    texts = {"en": render("en", english, german, blocks, examples["en"], results["en"]),
             "de": render("de", german, english, blocks, examples["de"], results["de"])}
    stale = []
    for lang, path in OUTPUTS.items():
        old = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
        if old == texts[lang]:
            continue
        if a.check:
            stale.append(path)
            diff = difflib.unified_diff(old.splitlines(), texts[lang].splitlines(), path, "generated", lineterm="")
            print("\n".join(list(diff)[:60]))
        else:
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(texts[lang])
            print("wrote " + os.path.relpath(path, ROOT))
    if stale:
        fail("out of date: %s; run python3 docs/gen/reference.py after building linux-x64" %
             ", ".join(os.path.relpath(p, ROOT) for p in stale))
    if a.check:
        print("docs/functions.md and docs/funktionen.md are up to date")


if __name__ == "__main__":
    main()
