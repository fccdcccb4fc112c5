#!/usr/bin/env python3
"""clang-tidy, with the committed .clang-tidy, on every source of the source tree that the build
compiles (its compile_commands.json), two at a time; the headers they include are checked with
them. Any finding fails.

A source that passed is not checked again while nothing it is checked from changes: its key is
the hash of clang-tidy's version, .clang-tidy, the source's compile command and the content of
every file the compiler reads for it (the source and each header, system headers included, by
the compiler's own list), with the clone's and the build's folders written as placeholders so that
another clone of the same tree shares the keys. Only passing keys are kept, one empty file each
under CACHE_DIR, so a file that fails is checked again at every run.

Usage: clang_tidy.py SOURCE_DIR BUILD_DIR CACHE_DIR
"""
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, capture_output=True, text=True)


def dependencies(entry):
    """The files the compiler reads for a source, from its compile command with -M."""
    command = shlex.split(entry["command"])
    output = command.index("-o")
    del command[output : output + 2]
    command = [word for word in command if word != "-c"] + ["-M", "-MF", "-"]
    result = run(command, entry["directory"])
    if result.returncode != 0:
        return None
    words = result.stdout.replace("\\\n", " ").split(":", 1)[1].split()
    return set(os.path.realpath(os.path.join(entry["directory"], w)) for w in words)


def key_of(entry, source, build, fixed):
    files = dependencies(entry)
    if files is None:
        return None
    digest = hashlib.sha256(fixed)

    def placeheld(text):
        return text.replace(source, "@SOURCE@").replace(build, "@BUILD@")

    def add(text):
        digest.update(placeheld(text).encode())
        digest.update(b"\0")

    add(entry["command"])
    add(entry["file"])
    # In the order of the placeheld names: a clone under /tmp sorts before /usr, one under /work
    # after it.
    for path in sorted(files, key=placeheld):
        add(path)
        with open(path, "rb") as f:
            digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


def check(entry, source, build, cache, fixed):
    key = key_of(entry, source, build, fixed)
    if key and os.path.exists(os.path.join(cache, key)):
        return entry["file"], True, ""
    result = run(["clang-tidy", "-p", build, "--quiet", entry["file"]], source)
    report = "\n".join(
        line
        for line in (result.stdout + result.stderr).splitlines()
        if not re.fullmatch(r"[0-9]+ warnings? (and [0-9]+ errors? )?generated\.", line)
    )
    passed = result.returncode == 0 and not re.search(r"(warning|error):", report)
    if passed and key:
        open(os.path.join(cache, key), "w").close()
    return entry["file"], False, "" if passed else report


def main():
    source, build, cache = (os.path.realpath(folder) for folder in sys.argv[1:4])
    commands = os.path.join(build, "compile_commands.json")
    if not os.path.exists(commands):
        sys.exit(f"no {commands}: configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON")
    with open(commands) as f:
        entries = {
            e["file"]: e
            for e in json.load(f)
            if e["file"].startswith(source + "/") and not e["file"].startswith(source + "/build")
        }
    if not entries:
        sys.exit(f"no sources of {source} in the build")
    os.makedirs(cache, exist_ok=True)
    with open(os.path.join(source, ".clang-tidy"), "rb") as f:
        fixed = run(["clang-tidy", "--version"], source).stdout.encode() + f.read()
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        results = list(
            pool.map(lambda e: check(e, source, build, cache, fixed), entries.values())
        )
    failed = [(file, report) for file, _, report in results if report]
    kept = sum(1 for _, was_kept, _ in results if was_kept)
    for file, report in failed:
        print(report)
    if failed:
        print(f"clang-tidy: findings in {len(failed)} of {len(results)} sources, above")
        sys.exit(1)
    print(f"clang-tidy: {len(results)} sources, nothing to report ({kept} unchanged since they passed)")


main()
