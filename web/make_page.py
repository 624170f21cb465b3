#!/usr/bin/env python3
"""Writes the page: the template with its style and script inline, the
module and the worker's part as the text of the worker that the script
starts, and a Content-Security-Policy that allows exactly that script, that
worker and that style, and no connection at all. With --catalogue, the
page's translations (a script that defines TarvelinCatalogue) go before its
own parts; without, the page speaks English."""

import argparse
import base64
import hashlib
import re
from pathlib import Path


def Hash(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode("ascii") + "'"


def ClassicScript(module):
    """The module as a classic script, for the worker: a page opened from
    file:// may start a classic worker from a blob: URL but not a module
    worker. Only its exports and where it asks for its own address make it a
    module; a script is strict only when it says so."""
    # The loader asks where it came from, to find files that this one holds.
    script, whence = re.subn(r"\bimport\.meta\.url\b", "self.location.href", module)
    script, defaults = re.subn(r"^export default \w+;", "", script, flags=re.M)
    script, functions = re.subn(r"^export (?=(async )?function )", "", script, flags=re.M)
    leftover = re.search(r"^\s*export\b|\bimport\b\s*[.(]", script, re.M)
    if whence > 1 or defaults != 1 or functions == 0 or leftover:
        raise SystemExit("make_page.py: the module exports or imports in an unexpected way")
    return '"use strict";\n' + script


# The page's own parts, in the order they are joined: what both sides share,
# the words and the decisions, which only declare, then the views, and last
# the state and wiring, which starts it all.
PageParts = ["names.js", "protocol.js", "words.js", "console.js", "outcomes.js", "choosing.js",
             "findings.js", "downloads.js", "plot.js", "deriving.js", "state.js"]
# What the worker takes besides its own part.
WorkerParts = ["zip.js", "names.js", "protocol.js", "console.js", "worker.js"]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--module", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--catalogue", help="a script that defines TarvelinCatalogue")
    options = parser.parse_args()
    folder = Path(options.folder)
    template = (folder / "index.html").read_text(encoding="utf-8")
    style = (folder / "page.css").read_text(encoding="utf-8")
    # The converter runs in a worker that the page makes from a block of its
    # own text, never executed as a script of the page: the module, then the
    # worker's part in a block of its own, so that its names cannot clash
    # with the module's. The page's script is its own parts alone. Both take
    # the names of files, the messages they exchange and the reading of the
    # programs' words from the same files.
    def Joined(parts):
        return "".join((folder / part).read_text(encoding="utf-8") for part in parts)
    worker = (ClassicScript(Path(options.module).read_text(encoding="utf-8")) + "\n{\n" +
              Joined(WorkerParts) + "}\n")
    script = Joined(PageParts)
    if options.catalogue:
        script = Path(options.catalogue).read_text(encoding="utf-8") + "\n" + script
    # Inside a script element "<!--" can hide the end tag too.
    for text, element in ((worker, "script"), (script, "script"), (style, "style")):
        if f"</{element}" in text.lower() or "<!--" in text:
            raise SystemExit(f"make_page.py: a {element} would end its element early")
    policy = "; ".join([
        "default-src 'none'",
        "connect-src 'none'",
        # Compiling the WebAssembly needs wasm-unsafe-eval; nothing else runs
        # but the one inline script, and the worker it makes from a blob: URL,
        # which inherits this policy.
        f"script-src {Hash(script)} 'wasm-unsafe-eval'",
        "worker-src blob:",
        f"style-src {Hash(style)}",
        "img-src data: blob:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    page = (template.replace("{{CONTENT_SECURITY_POLICY}}", policy)
            .replace("{{VERSION}}", options.version)
            .replace("{{STYLE}}", style)
            .replace("{{WORKER}}", worker)
            .replace("{{SCRIPT}}", script))
    Path(options.output).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
