#!/usr/bin/env python3
"""The manual page of quorel-host against the tool's own --help and --version.

Every command and option that --help lists has its entry in the manual page's
COMMANDS and OPTIONS sections, and the other way round; the footer names the
version that --version prints; man renders the page without a warning.

usage: manpage_test.py HOST MANPAGE
"""
import os
import re
import subprocess
import sys


def sections(text):
    """Section name -> its lines, of help text ("Name:") or a rendered page."""
    found, name = {}, None
    for line in text.splitlines():
        m = re.match(r"^([A-Z][A-Za-z ]*?):?$", line)
        if m and not line.startswith(" "):
            name = m.group(1).upper()
            found[name] = []
        elif name:
            found[name].append(line)
    return found


def entries(lines, indent, options):
    """The words that open entries at this indent: commands, or every -x and
    --name of options (other text at the indent is not an entry then)."""
    names = set()
    for line in lines:
        m = re.match(r"^ {%d}(\S.*?)(  |$)" % indent, line)
        if not m:
            continue
        head = m.group(1)
        if options:
            names.update(re.findall(r"(?:^|, )(--?[\w-]+)", head))
        else:
            names.add(head.split()[0])
    return names


def main():
    host, manpage = sys.argv[1:3]
    help_text = subprocess.run([host, "--help"], check=True, capture_output=True, text=True).stdout
    version = subprocess.run([host, "--version"], check=True, capture_output=True, text=True).stdout
    env = dict(os.environ, LC_ALL="C.UTF-8", MANWIDTH="80", MAN_KEEP_FORMATTING="")
    man = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", manpage],
                         capture_output=True, text=True, env=env)
    failures = []
    if man.returncode != 0 or man.stderr.strip():
        failures.append(f"man: {man.stderr.strip()}")
    page = re.sub(r".\x08", "", man.stdout)  # overstrike, should man keep it

    helps, pages = sections(help_text), sections(page)
    for section in ("COMMANDS", "OPTIONS"):
        in_help = entries(helps.get(section, []), 2, section == "OPTIONS")
        in_page = entries(pages.get(section, []), 7, section == "OPTIONS")
        if not in_help:
            failures.append(f"--help has no {section} entries")
        for name in sorted(in_help - in_page):
            failures.append(f"{section}: {name} is in --help but not in the manual page")
        for name in sorted(in_page - in_help):
            failures.append(f"{section}: {name} is in the manual page but not in --help")

    footer = page.rstrip().splitlines()[-1] if page.strip() else ""
    want = "quorel " + version.split()[-1]
    if not footer.startswith(want):
        failures.append(f"footer \"{footer.strip()}\" does not start with \"{want}\"")

    for f in failures:
        print(f"FAIL: {f}")
    print(f"manual page: {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
