#!/usr/bin/env python3
"""Writes po/tarvelin.pot again from the sentences in the sources, and merges
it into each language's PO file, making any that is missing.

  po/update_pot.py [--pot FILE] [--no-merge]

Run it after changing a sentence and commit what it changes. Only the files
git knows are read, so add a new source file to git first. --pot writes the
template elsewhere, and --no-merge leaves the PO files alone, as the test
that the template is current does.
"""

import argparse
import re
import subprocess
import sys
import tempfile
from pathlib import Path

Root = Path(__file__).resolve().parent.parent
Po = Root / "po"

CppFolders = ["wording", "check", "repair", "export", "derive", "plot", "companion", "diagnosis"]
# Words() marks a sentence that is said later, such as an option's help.
Keywords = ["--keyword=", "--keyword=Say:1", "--keyword=SayIn:1c,2", "--keyword=SayCount:1,2",
            "--keyword=Words:1"]

Languages = {
    "de": "nplurals=2; plural=(n != 1);",
    "fr": "nplurals=2; plural=(n > 1);",
    "es": "nplurals=2; plural=(n != 1);",
}

# Fixed, so that the template changes only when a sentence does.
PotHeader = """\
# The English sentences of Tarvelin's companions and page, for translators.
# Written by po/update_pot.py from the sources: do not edit.
msgid ""
msgstr ""
"Project-Id-Version: Tarvelin\\n"
"Language: \\n"
"MIME-Version: 1.0\\n"
"Content-Type: text/plain; charset=UTF-8\\n"
"Content-Transfer-Encoding: 8bit\\n"
"Plural-Forms: nplurals=INTEGER; plural=EXPRESSION;\\n"
"""

PoHeader = """\
# The sentences of Tarvelin's companions and page in {code}.
msgid ""
msgstr ""
"Project-Id-Version: Tarvelin\\n"
"Language: {code}\\n"
"MIME-Version: 1.0\\n"
"Content-Type: text/plain; charset=UTF-8\\n"
"Content-Transfer-Encoding: 8bit\\n"
"Plural-Forms: {plural}\\n"
"""

# As the programs and the page replace them.
Placeholder = re.compile(r"\{[A-Za-z0-9_]+\}")


def Sources(patterns):
    listed = subprocess.run(["git", "ls-files", "--", *patterns], cwd=Root, check=True,
                            capture_output=True, text=True).stdout.split()
    return sorted(name for name in listed if (Root / name).is_file())


def StringsOf(block, keyword):
    """The text of the keyword's string in an entry, still escaped: enough to
    find placeholders, which hold no escapes."""
    text = []
    inside = False
    for line in block:
        if line.startswith(keyword + " "):
            inside = True
            line = line[len(keyword) + 1:]
        elif not line.startswith('"'):
            inside = False
        if inside:
            text.append(line.strip()[1:-1])
    return "".join(text)


def Flagged(block):
    """The entry with the flags the catalogue's checks rely on: the sentences
    are no printf formats in any language, whatever xgettext guesses from a
    percent sign, and one with a {name} must keep its names in translation."""
    flags = []
    for line in block:
        if line.startswith("#,"):
            flags += [flag.strip() for flag in line[2:].split(",")
                      if flag.strip() and not flag.strip().endswith("-format")]
    if Placeholder.search(StringsOf(block, "msgid") + StringsOf(block, "msgid_plural")):
        flags.append("python-brace-format")
    kept = [line for line in block if not line.startswith("#,")]
    first = next(index for index, line in enumerate(kept) if not line.startswith("#"))
    return kept[:first] + ([f"#, {', '.join(flags)}"] if flags else []) + kept[first:]


def WritePot(pot):
    cpp = Sources([f"{folder}/*.cpp" for folder in CppFolders] +
                  [f"{folder}/*.h" for folder in CppFolders] + ["web/*.cpp"])
    cpp = [name for name in cpp if name.count("/") == 1]
    js = [name for name in Sources(["web/page/*.js"]) if name.count("/") == 2]
    with tempfile.TemporaryDirectory() as folder:
        raw = Path(folder) / "raw.pot"
        common = ["xgettext", "--from-code=UTF-8", *Keywords, "--add-comments=TRANSLATORS:",
                  "--sort-by-file", "--force-po", "--output", str(raw)]
        subprocess.run([*common, "--language=C++", *cpp], cwd=Root, check=True)
        if js:
            subprocess.run([*common, "--language=JavaScript", "--join-existing", *js], cwd=Root,
                           check=True)
        text = raw.read_text(encoding="utf-8")
    blocks = [block.split("\n") for block in text.strip("\n").split("\n\n")]
    # The first block is xgettext's header, with the date of the run.
    entries = ["\n".join(Flagged(block)) for block in blocks[1:]]
    pot.write_text("\n\n".join([PotHeader.rstrip("\n")] + entries) + "\n", encoding="utf-8")


def Merge(pot):
    for code, plural in Languages.items():
        po = Po / f"{code}.po"
        if not po.exists():
            po.write_text(PoHeader.format(code=code, plural=plural), encoding="utf-8")
        subprocess.run(["msgmerge", "--quiet", "--update", "--no-fuzzy-matching", "--backup=none",
                        str(po), str(pot)], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--pot", type=Path, default=Po / "tarvelin.pot")
    parser.add_argument("--no-merge", action="store_true")
    options = parser.parse_args()
    try:
        WritePot(options.pot.resolve())
        if not options.no_merge:
            Merge(options.pot.resolve())
    except FileNotFoundError as error:
        print(f"update_pot.py: {error.filename} is missing; it comes with gettext",
              file=sys.stderr)
        return 1
    except subprocess.CalledProcessError as error:
        print(f"update_pot.py: {error.cmd[0]} failed", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
