#!/usr/bin/env python3
"""Compiles PO files into the tables the programs look their words up in.

  make_catalogue.py --cpp OUT.cpp [--variable NAME] [--js OUT.js] FILE.po...

--cpp writes a C++ source defining NAME (CompiledCatalogue unless given) of
the type in wording/CatalogueTables.h; --js writes, for the page, one global
TarvelinCatalogue with each language's plural rule and entries. Either may be
left out. Only what a translator finished goes in: an entry that is fuzzy,
empty, or short of plural forms is left out, so that the programs say it in
English instead of saying something half right.
"""

import argparse
import json
import re
import sys
from pathlib import Path

# A plural rule is copied into C++ and JavaScript as it stands, so it may be
# nothing but arithmetic on n. Division is left out because C's truncates
# and JavaScript's does not.
PluralExpression = re.compile(r"[n0-9\s()?:<>=!&|%+\-*]+")
DefaultPluralForms = "nplurals=2; plural=(n != 1);"

SimpleEscapes = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b", "f": "\f", "v": "\v",
                 "\\": "\\", '"': '"', "'": "'", "?": "?"}


class PoError(Exception):
    pass


class Entry:
    def __init__(self):
        self.Context = None
        self.Id = None
        self.Plural = None
        self.Strings = {}  # index -> text; msgstr alone is index 0
        self.Flags = set()
        self.Line = 0
        self.Obsolete = False


def Unquote(text, where):
    """The bytes of a C string literal, given as latin-1 text so that each
    character stands for one byte of the file."""
    text = text.strip()
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise PoError(f"{where}: a quoted string was expected")
    body = text[1:-1]
    result = []
    index = 0
    while index < len(body):
        character = body[index]
        if character == '"':
            raise PoError(f"{where}: an unescaped quote inside a string")
        if character != "\\":
            result.append(character)
            index += 1
            continue
        index += 1
        if index >= len(body):
            raise PoError(f"{where}: a string ends in a backslash")
        escape = body[index]
        if escape in SimpleEscapes:
            result.append(SimpleEscapes[escape])
            index += 1
        elif escape in "01234567":
            digits = re.match(r"[0-7]{1,3}", body[index:]).group()
            result.append(chr(int(digits, 8) & 0xFF))
            index += len(digits)
        elif escape == "x":
            match = re.match(r"[0-9A-Fa-f]+", body[index + 1:])
            if not match:
                raise PoError(f"{where}: \\x without hexadecimal digits")
            result.append(chr(int(match.group(), 16) & 0xFF))
            index += 1 + len(match.group())
        else:
            raise PoError(f"{where}: unknown escape \\{escape}")
    return "".join(result)


def ParsePo(path):
    """The entries of a PO file, its header among them, with their strings as
    UTF-8 text."""
    where = str(path)
    try:
        lines = path.read_bytes().decode("latin-1").splitlines()
    except OSError as error:
        raise PoError(f"{where}: {error.strerror}")
    entries = []
    entry = Entry()
    field = None  # the string that a line starting with a quote continues

    def Finish():
        nonlocal entry, field
        if entry.Id is not None:
            if not entry.Strings:
                raise PoError(f"{where}:{entry.Line}: msgid without msgstr")
            entries.append(entry)
        elif entry.Context is not None:
            raise PoError(f"{where}:{entry.Line}: msgctxt without msgid")
        entry = Entry()
        field = None

    keyword = re.compile(r"(msgctxt|msgid_plural|msgid|msgstr(?:\[(\d+)\])?)\s+(\".*)$")
    for number, line in enumerate(lines, 1):
        here = f"{where}:{number}"
        stripped = line.strip()
        if not stripped:
            continue
        if stripped.startswith("#"):
            # A comment belongs to the entry that follows, so it ends the one
            # before; obsolete entries are no entries at all.
            if entry.Strings:
                Finish()
            if stripped.startswith("#,"):
                entry.Flags.update(flag.strip() for flag in stripped[2:].split(",") if flag.strip())
            continue
        if stripped.startswith('"'):
            if field is None:
                raise PoError(f"{here}: a string that continues nothing")
            target, key = field
            target[key] += Unquote(stripped, here)
            continue
        match = keyword.match(stripped)
        if not match:
            raise PoError(f"{here}: cannot read {stripped[:40]!r}")
        name, index, rest = match.group(1), match.group(2), match.group(3)
        text = Unquote(rest, here)
        if name in ("msgctxt", "msgid") and entry.Strings:
            Finish()
        if name == "msgctxt":
            if entry.Context is not None or entry.Id is not None:
                raise PoError(f"{here}: msgctxt out of place")
            entry.Context = text
            entry.Line = number
            field = (entry.__dict__, "Context")
        elif name == "msgid":
            if entry.Id is not None:
                raise PoError(f"{here}: a second msgid")
            entry.Id = text
            entry.Line = entry.Line or number
            field = (entry.__dict__, "Id")
        elif name == "msgid_plural":
            if entry.Id is None or entry.Strings:
                raise PoError(f"{here}: msgid_plural out of place")
            entry.Plural = text
            field = (entry.__dict__, "Plural")
        else:
            if entry.Id is None:
                raise PoError(f"{here}: msgstr without msgid")
            form = int(index) if index is not None else 0
            if (index is None) != (entry.Plural is None) or form in entry.Strings:
                raise PoError(f"{here}: {name} does not fit its msgid")
            entry.Strings[form] = text
            field = (entry.Strings, form)
    Finish()

    def Text(value, line):
        try:
            return value.encode("latin-1").decode("utf-8")
        except UnicodeDecodeError:
            raise PoError(f"{where}:{line}: not UTF-8")

    for entry in entries:
        entry.Context = None if entry.Context is None else Text(entry.Context, entry.Line)
        entry.Id = Text(entry.Id, entry.Line)
        entry.Plural = None if entry.Plural is None else Text(entry.Plural, entry.Line)
        entry.Strings = {key: Text(value, entry.Line) for key, value in entry.Strings.items()}
    return entries


class Catalogue:
    def __init__(self, code, plurals, expression, entries, source):
        self.Code = code
        self.Plurals = plurals
        self.Expression = expression
        # key -> (forms, whether by a count), sorted by the keys' UTF-8
        self.Entries = entries
        self.Source = source


def ReadCatalogue(path):
    where = str(path)
    entries = ParsePo(path)
    headers = [entry for entry in entries if entry.Id == "" and entry.Context is None]
    fields = {}
    if headers:
        for line in headers[0].Strings.get(0, "").split("\n"):
            name, colon, value = line.partition(":")
            if colon:
                fields[name.strip().lower()] = value.strip()
    charset = re.search(r"charset=([^\s;]+)", fields.get("content-type", "charset=UTF-8"))
    if not charset or charset.group(1).upper() not in ("UTF-8", "CHARSET"):
        raise PoError(f"{where}: the catalogue is read as UTF-8, and this file says otherwise")
    code = fields.get("language") or path.stem
    if not re.fullmatch(r"[A-Za-z]{2,3}(_[A-Za-z0-9]+)?", code):
        raise PoError(f"{where}: {code!r} names no language")

    forms = re.fullmatch(r"\s*nplurals\s*=\s*(\d+)\s*;\s*plural\s*=\s*(.+?)\s*;?\s*",
                         fields.get("plural-forms", DefaultPluralForms))
    if not forms:
        raise PoError(f"{where}: cannot read its Plural-Forms")
    plurals, expression = int(forms.group(1)), forms.group(2)
    if not 1 <= plurals <= 6:
        raise PoError(f"{where}: nplurals={plurals}")
    if not PluralExpression.fullmatch(expression):
        raise PoError(f"{where}: the plural rule {expression!r} is no arithmetic on n")

    translated = {}
    for entry in entries:
        if entry.Id == "" and entry.Context is None:
            continue
        if "fuzzy" in entry.Flags:
            continue
        count = plurals if entry.Plural is not None else 1
        strings = [entry.Strings.get(index, "") for index in range(count)]
        if any(string == "" for string in strings):
            continue
        key = entry.Id if entry.Context is None else entry.Context + "\x04" + entry.Id
        if key in translated:
            raise PoError(f"{where}:{entry.Line}: a second entry for {entry.Id!r}")
        translated[key] = (strings, entry.Plural is not None)
    ordered = dict(sorted(translated.items(), key=lambda item: item[0].encode("utf-8")))
    return Catalogue(code, plurals, expression, ordered, path.name)


def CppString(text):
    # Octal escapes have at most three digits, so none runs into what
    # follows, and the source stays ASCII whatever the compiler reads.
    pieces = []
    for byte in text.encode("utf-8"):
        character = chr(byte)
        if character in '"\\?':
            pieces.append("\\" + character)
        elif 0x20 <= byte < 0x7F:
            pieces.append(character)
        else:
            pieces.append(f"\\{byte:03o}")
    return '"' + "".join(pieces) + '"'


def Identifier(code):
    return re.sub(r"[^A-Za-z0-9]", "_", code)


def WriteCpp(catalogues, variable):
    sources = ", ".join(catalogue.Source for catalogue in catalogues) or "no PO file"
    out = [f"// Written by make_catalogue.py from {sources}; edit those instead.",
           '#include "CatalogueTables.h"', "", "#include <iterator>", "",
           "// The plural rules are the PO files' own, in C.",
           '#pragma GCC diagnostic ignored "-Wparentheses"', "", "namespace {", ""]
    languages = []
    for catalogue in catalogues:
        name = Identifier(catalogue.Code)
        out.append(f"std::size_t PluralForm_{name}(std::uint64_t n) {{")
        out.append("    static_cast<void>(n);")
        out.append(f"    const std::uint64_t form = ({catalogue.Expression});")
        out.append(f"    return form < {catalogue.Plurals} ? static_cast<std::size_t>(form) : "
                   f"{catalogue.Plurals - 1};")
        out.append("}")
        out.append("")
        if catalogue.Entries:
            out.append(f"constexpr std::string_view Forms_{name}[] = {{")
            rows = []
            first = 0
            for key, (forms, _) in catalogue.Entries.items():
                out.extend(f"    {CppString(form)}," for form in forms)
                rows.append(f"    {{{CppString(key)}, {first}, {len(forms)}}},")
                first += len(forms)
            out.append("};")
            out.append("")
            out.append(f"constexpr CatalogueEntry Entries_{name}[] = {{")
            out.extend(rows)
            out.append("};")
            out.append("")
            languages.append(f'    {{"{catalogue.Code}", Entries_{name}, std::size(Entries_{name}), '
                             f"Forms_{name}, PluralForm_{name}}},")
        else:
            languages.append(f'    {{"{catalogue.Code}", nullptr, 0, nullptr, PluralForm_{name}}},')
    if languages:
        out.append("constexpr CatalogueLanguage Languages[] = {")
        out.extend(languages)
        out.append("};")
        out.append("")
    out.append("} // namespace")
    out.append("")
    if languages:
        out.append(f"extern const CatalogueTables {variable} = {{Languages, std::size(Languages)}};")
    else:
        out.append(f"extern const CatalogueTables {variable} = {{nullptr, 0}};")
    return "\n".join(out) + "\n"


def JsString(text):
    # The page carries this inline in a script element, which would end at a
    # "</script>" inside a translation.
    text = json.dumps(text, ensure_ascii=False)
    for character in "<>&\u2028\u2029":
        text = text.replace(character, f"\\u{ord(character):04x}")
    return text


def WriteJs(catalogues):
    sources = ", ".join(catalogue.Source for catalogue in catalogues) or "no PO file"
    out = [f"// Written by make_catalogue.py from {sources}; edit those instead.",
           "const TarvelinCatalogue = {"]
    for catalogue in catalogues:
        out.append(f"  {JsString(catalogue.Code)}: {{")
        out.append(f"    plural: (n) => Math.min(Number({catalogue.Expression}), "
                   f"{catalogue.Plurals - 1}),")
        out.append("    entries: {")
        for key, (forms, counted) in catalogue.Entries.items():
            value = "[" + ", ".join(map(JsString, forms)) + "]" if counted else JsString(forms[0])
            out.append(f"      {JsString(key)}: {value},")
        out.append("    },")
        out.append("  },")
    out.append("};")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cpp", type=Path)
    parser.add_argument("--variable", default="CompiledCatalogue")
    parser.add_argument("--js", type=Path)
    parser.add_argument("po", nargs="*", type=Path)
    options = parser.parse_args()
    if not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", options.variable):
        parser.error(f"{options.variable!r} is no C++ name")
    try:
        catalogues = [ReadCatalogue(path) for path in sorted(options.po)]
    except PoError as error:
        print(f"make_catalogue.py: {error}", file=sys.stderr)
        return 1
    codes = [catalogue.Code for catalogue in catalogues]
    if len(set(codes)) != len(codes):
        print(f"make_catalogue.py: two PO files for one language among {codes}", file=sys.stderr)
        return 1
    if options.cpp:
        options.cpp.write_text(WriteCpp(catalogues, options.variable), encoding="utf-8")
    if options.js:
        options.js.write_text(WriteJs(catalogues), encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
