#!/usr/bin/env python3
"""Every relative link of the Markdown files under a tree leads somewhere:
its file exists, and its #anchor names a heading or an <a id> of that file.

usage: check_links.py ROOT...   (a repository, or an installed tree)

Links to other sites (scheme:) are not followed. In a git work tree only the
files that git knows are read, so that build trees do not count.
"""
import os
import re
import subprocess
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
CODE = re.compile(r"```.*?```|`[^`\n]*`", re.S)


def markdown_files(root):
    listed = subprocess.run(["git", "-C", root, "ls-files", "-z", "--", "*.md"], capture_output=True)
    if listed.returncode == 0 and os.path.samefile(
            root, subprocess.run(["git", "-C", root, "rev-parse", "--show-toplevel"],
                                 capture_output=True, text=True).stdout.strip() or root):
        return [os.path.join(root, f) for f in listed.stdout.decode().split("\0") if f]
    found = []
    for directory, _, files in os.walk(root):
        found += [os.path.join(directory, f) for f in files if f.endswith(".md")]
    return sorted(found)


def anchors(path, cache={}):
    """The anchors of a Markdown file as the usual renderers make them:
    headings lower-cased, punctuation dropped, blanks as '-'; and <a id>."""
    if path not in cache:
        text = CODE.sub("", open(path, encoding="utf-8").read())
        names = set(re.findall(r"<a (?:id|name)=\"([^\"]+)\"", text))
        for heading in re.findall(r"^#+\s+(.*?)\s*#*$", text, re.M):
            names.add(re.sub(r"[^\w\- ]", "", heading.lower()).replace(" ", "-"))
        cache[path] = names
    return cache[path]


def main():
    roots = sys.argv[1:]
    if not roots:
        sys.exit(__doc__)
    problems, links = [], 0
    for root in roots:
        for path in markdown_files(root):
            text = CODE.sub("", open(path, encoding="utf-8").read())
            for target in LINK.findall(text):
                if re.match(r"^[a-z][a-z0-9+.-]*:", target):
                    continue
                links += 1
                file_part, _, anchor = target.partition("#")
                linked = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
                where = os.path.relpath(path, root)
                if not os.path.exists(linked):
                    problems.append(f"{root}: {where}: {target}: no such file")
                elif anchor and linked.endswith(".md") and anchor not in anchors(linked):
                    problems.append(f"{root}: {where}: {target}: no such anchor")
    for p in problems:
        print("FAIL: " + p)
    print(f"links: {links} checked in {', '.join(roots)}, {len(problems)} broken")
    return 1 if problems or not links else 0


if __name__ == "__main__":
    sys.exit(main())
