#!/usr/bin/env python3
"""Writes the page: the template with its style and script inline, the
module ahead of the page's script, and a Content-Security-Policy that allows
exactly that script and style and no connection at all."""

import argparse
import base64
import hashlib
from pathlib import Path


def Hash(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode("ascii") + "'"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--module", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True)
    options = parser.parse_args()
    folder = Path(options.folder)
    template = (folder / "index.html").read_text(encoding="utf-8")
    style = (folder / "page.css").read_text(encoding="utf-8")
    # The page's script in a block of its own, so that its names cannot clash
    # with the module's.
    script = (Path(options.module).read_text(encoding="utf-8") + "\n{\n" +
              (folder / "page.js").read_text(encoding="utf-8") + "}\n")
    if "</script" in script.lower() or "</style" in style.lower():
        raise SystemExit("make_page.py: the script or style would end its element early")
    policy = "; ".join([
        "default-src 'none'",
        "connect-src 'none'",
        # Compiling the WebAssembly needs wasm-unsafe-eval; nothing else runs
        # but the one inline script.
        f"script-src {Hash(script)} 'wasm-unsafe-eval'",
        f"style-src {Hash(style)}",
        "img-src data: blob:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    page = (template.replace("{{CONTENT_SECURITY_POLICY}}", policy)
            .replace("{{VERSION}}", options.version)
            .replace("{{STYLE}}", style)
            .replace("{{SCRIPT}}", script))
    Path(options.output).write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
