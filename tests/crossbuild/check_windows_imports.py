#!/usr/bin/env python3
"""Checks that Tarvelin.exe is what users are given: a 32-bit PE console
program that loads no DLL beyond those every Windows has, so that it runs from
a folder with nothing else in it. A compiler runtime DLL (libstdc++,
libgcc_s, libwinpthread) in the list means the static link was lost."""

import argparse
import re
import subprocess
import sys

# DLLs that come with Windows itself; the C runtime may be the old msvcrt or
# the universal one, which Windows 10 ships and older versions get by update.
SystemDlls = {"kernel32.dll", "msvcrt.dll", "ucrtbase.dll", "ntdll.dll", "user32.dll",
              "advapi32.dll", "shell32.dll"}
SystemDllPatterns = [re.compile(r"api-ms-win-crt-[a-z0-9-]+\.dll")]

# What objdump -p must say, each as a pattern and what it means.
Expected = [
    (r"file format pei-i386", "a 32-bit x86 PE file"),
    (r"Magic\s+010b\s+\(PE32\)", "a PE32 (not PE32+) optional header"),
    (r"Subsystem\s+00000003\s+\(Windows CUI\)", "the console subsystem"),
]


def IsSystemDll(name):
    name = name.lower()
    return name in SystemDlls or any(pattern.fullmatch(name) for pattern in SystemDllPatterns)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--objdump", required=True)
    parser.add_argument("exe")
    options = parser.parse_args()

    headers = subprocess.run([options.objdump, "-p", options.exe], check=True,
                             capture_output=True, text=True).stdout
    problems = [f"not {meaning}" for pattern, meaning in Expected if not re.search(pattern, headers)]
    dlls = re.findall(r"DLL Name:\s*(\S+)", headers)
    if not dlls:
        problems.append("no imported DLL found: is this a PE file?")
    problems += [f"imports {dll}, which Windows does not have" for dll in dlls if not IsSystemDll(dll)]

    print("imports: " + ", ".join(dlls))
    for problem in problems:
        print("FAIL: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
