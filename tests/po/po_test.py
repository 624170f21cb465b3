#!/usr/bin/env python3
"""Tests the catalogue's PO files as translators and the build leave them.

  msgfmt      msgfmt --check takes every po/*.po: its header, its plural
              forms, and in each entry flagged python-brace-format the
              translation's {names}
  translated  every entry of po/tarvelin.pot is translated in every PO
              file, not fuzzy, with the {names} of its English in each form
  current     po/tarvelin.pot holds the sentences the sources have now
  script      the page's catalogue.js, as make_catalogue.py writes it from
              the sample PO files of the unit tests, runs under Node and
              gives the translations and plural forms of those files

  pseudo      each companion, run in the pseudo-language, says nothing a
              person reads that did not come through the catalogue

Exits with 77, a skip, where gettext, git or Node is not there to test with.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

Root = Path(__file__).resolve().parent.parent.parent
Po = Root / "po"
sys.path.insert(0, str(Po))
import make_catalogue  # noqa: E402

Skip = 77
Placeholder = re.compile(r"\{[A-Za-z0-9_]+\}")


def Key(entry):
    return (entry.Context, entry.Id, entry.Plural)


def Messages(path):
    return {Key(entry): entry for entry in make_catalogue.ParsePo(path) if entry.Id != ""}


def Needs(*tools):
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print(f"SKIP: {', '.join(missing)} not found")
        sys.exit(Skip)


def PoFiles():
    return sorted(Po.glob("*.po"))


def CheckMsgfmt():
    Needs("msgfmt")
    problems = []
    for po in PoFiles():
        result = subprocess.run(["msgfmt", "--check", "--output-file=/dev/null", str(po)],
                                capture_output=True, text=True)
        if result.returncode != 0:
            problems.append(f"{po.name}: msgfmt --check fails:\n{result.stderr}")
    return problems


def CheckTranslated():
    template = Messages(Po / "tarvelin.pot")
    problems = []
    for po in PoFiles():
        catalogue = make_catalogue.ReadCatalogue(po)
        messages = Messages(po)
        for key, english in template.items():
            name = f"{po.name}: {english.Id!r}" + (f" in {english.Context!r}" if english.Context
                                                  else "")
            entry = messages.get(key)
            if entry is None:
                problems.append(f"{name} is missing; run po/update_pot.py")
                continue
            if "fuzzy" in entry.Flags:
                problems.append(f"{name} is fuzzy")
            forms = [entry.Strings.get(index, "")
                     for index in range(catalogue.Plurals if english.Plural is not None else 1)]
            if any(form == "" for form in forms):
                problems.append(f"{name} is not translated")
                continue
            if english.Plural is None:
                found = set(Placeholder.findall(forms[0]))
                expected = set(Placeholder.findall(english.Id))
                if found != expected:
                    problems.append(f"{name}: {forms[0]!r} has {sorted(found)}, the English "
                                    f"{sorted(expected)}")
                continue
            # The form for many names what the English plural names. A form
            # for one or few names what the English singular names, and may
            # leave out the count, as "une ligne" does, or name more of the
            # plural's values; no form brings names of its own.
            one = set(Placeholder.findall(english.Id))
            many = set(Placeholder.findall(english.Plural))
            for index, form in enumerate(forms):
                found = set(Placeholder.findall(form))
                last = index == len(forms) - 1
                wrong = (found != many) if last else (
                    not (one - {"{count}"}) <= found or not found <= one | many)
                if wrong:
                    problems.append(f"{name}: {form!r} has {sorted(found)}, the English "
                                    f"{sorted(one if not last else many)}")
    return problems


def CheckCurrent():
    Needs("xgettext", "git")
    if subprocess.run(["git", "-C", str(Root), "rev-parse"], capture_output=True).returncode:
        print("SKIP: not a git checkout")
        sys.exit(Skip)
    with tempfile.TemporaryDirectory() as folder:
        fresh = Path(folder) / "tarvelin.pot"
        subprocess.run([sys.executable, str(Po / "update_pot.py"), "--no-merge", "--pot",
                        str(fresh)], check=True)
        now, committed = set(Messages(fresh)), set(Messages(Po / "tarvelin.pot"))
    problems = [f"the sources say {key[1]!r}, which po/tarvelin.pot lacks"
                for key in sorted(now - committed, key=str)]
    problems += [f"po/tarvelin.pot has {key[1]!r}, which the sources no longer say"
                 for key in sorted(committed - now, key=str)]
    if problems:
        problems.append("run po/update_pot.py and commit what it changes")
    return problems


# The forms of 0, 1, 2, 11 and 101 by the sample files' rules.
PluralsOfSamples = {"de": [1, 0, 1, 1, 1], "fr": [0, 0, 1, 1, 1]}


def CheckScript():
    Needs("node")
    samples = sorted((Root / "tests" / "unit" / "catalogue").glob("*.po"))
    with tempfile.TemporaryDirectory() as folder:
        script = Path(folder) / "catalogue.js"
        subprocess.run([sys.executable, str(Po / "make_catalogue.py"), "--js", str(script),
                        *map(str, samples)], check=True)
        probe = script.read_text(encoding="utf-8") + """
const said = {};
for (const [code, language] of Object.entries(TarvelinCatalogue)) {
  said[code] = { plurals: [0, 1, 2, 11, 101].map(language.plural), entries: language.entries };
}
console.log(JSON.stringify(said));
"""
        result = subprocess.run(["node", "-"], input=probe, capture_output=True, text=True)
    if result.returncode != 0:
        return [f"catalogue.js does not run:\n{result.stderr}"]
    said = json.loads(result.stdout)
    problems = []
    for po in samples:
        catalogue = make_catalogue.ReadCatalogue(po)
        expected = {key: forms if counted else forms[0]
                    for key, (forms, counted) in catalogue.Entries.items()}
        plurals = PluralsOfSamples[catalogue.Code]
        got = said.get(catalogue.Code)
        if got is None:
            problems.append(f"catalogue.js has no {catalogue.Code}")
            continue
        if got["entries"] != expected:
            problems.append(f"{catalogue.Code}: the entries are {got['entries']}, not {expected}")
        if got["plurals"] != plurals:
            problems.append(f"{catalogue.Code}: the plural forms of 0, 1, 2, 11, 101 are "
                            f"{got['plurals']}, not {plurals}")
    return problems


# Words that stay as they are in every language: names of programs, files,
# roles, options and codes, and the line ends' names.
Untranslated = re.compile(
    r"Tarvelin\w*|tarvelin-\w+|RefMicFrom|RefMicTo|MyMicIn|MyMicOut|CalibrationFile|"
    r"RefMicCal|RefMicMeasured|MyMicMeasured|MyMicCal|"
    r"RepairedFile|ExportedFile|Plot\.svg|\b\w+\.(txt|frd|svg)\b|--[a-z-]+|<\w+>|"
    r"\[[a-z0-9-]+\]|\b(CRLF|LF|CR|LOW|HIGH|N|PROFILE|tsv|frd|csv|csv-decimal-comma|none|kHz|Hz|dB)\b")


def Bypassing(text):
    """The words of plain English left in a pseudo-language run's text: any
    run of three ASCII letters outside text quoted from a file."""
    text = re.sub(r'"[^"\n]*"', "", text)
    text = Untranslated.sub("", text)
    return sorted(set(re.findall(r"[A-Za-z]{3,}", text)))


def CheckPseudo(programs):
    examples = Root / "tests" / "check" / "golden" / "several-findings" / "in"
    runs = [
        ("check", ["from.txt", "to.txt", "in.txt"]), ("check", ["--help"]),
        ("check", ["--wide"]),
        ("repair", ["in.txt", "repaired.txt"]), ("repair", ["--help"]),
        ("export", ["--to", "frd", "in.txt", "out.frd"]), ("export", ["--help"]),
        ("export", ["--to", "x9", "in.txt", "out.frd"]),
        ("plot", ["from.txt", "to.txt", "in.txt", "out.txt", "plot.svg"]), ("plot", ["--help"]),
        ("derive", ["to.txt", "from.txt", "in.txt", "cal.txt"]), ("derive", ["--help"]),
        ("derive", ["--smoothing", "1/0", "to.txt", "from.txt", "in.txt", "cal.txt"]),
    ]
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")}
    environment["LANG"] = "x-pseudo"
    problems = []
    for name, arguments in runs:
        with tempfile.TemporaryDirectory() as work:
            for example in examples.iterdir():
                shutil.copy(example, work)
            shutil.copy(examples / "in.txt", Path(work) / "out.txt")
            result = subprocess.run([programs[name]] + arguments, cwd=work, env=environment,
                                    capture_output=True, stdin=subprocess.DEVNULL, timeout=60)
            said = result.stdout.decode("utf-8", "replace")
            picture = Path(work) / "plot.svg"
            if picture.exists():
                # What the picture shows: its texts.
                said += "\n".join(re.findall(r"<(?:text|tspan|title)[^>]*>([^<]*)<",
                                              picture.read_text(encoding="utf-8")))
        left = Bypassing(said)
        if left:
            problems.append(f"{name} {' '.join(arguments)}: says {left} past the catalogue:\n"
                            f"{said}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--group", required=True,
                        choices=["msgfmt", "translated", "current", "script", "pseudo"])
    for program in ("check", "repair", "export", "plot", "derive"):
        parser.add_argument("--" + program, help=f"the {program} program, for pseudo")
    options = parser.parse_args()
    programs = {name: getattr(options, name)
                for name in ("check", "repair", "export", "plot", "derive")}
    check = {"msgfmt": CheckMsgfmt, "translated": CheckTranslated, "current": CheckCurrent,
             "script": CheckScript, "pseudo": lambda: CheckPseudo(programs)}[options.group]
    try:
        problems = check()
    except make_catalogue.PoError as error:
        problems = [str(error)]
    for problem in problems:
        print("FAIL: " + problem)
    print(f"{options.group}: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
