#!/usr/bin/env python3
"""The parallel run must equal the single-threaded one exactly, whatever the tree.

    bench/random_trees.py [--trees 1000] [--jobs 4] [--seed 1]

Makes random small trees (nested folders, some named by rename rules, files
in UTF-8 with and without a mark, UTF-16 of both orders, invalid bytes, zero
bytes, read-only files, links), runs vexa-cli -s -R -l -j1 and -j N on two
identical copies, and compares the resulting trees (names, bytes, modes), the
--list lines, the summary and the exit status. Works in a temporary folder of
its own (under VEXA_BENCH_TMPFS, default /dev/shm); HOME and XDG_* point
into it. VEXA_CLI names the binary. Exits 1 on the first difference.
"""

import argparse
import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORDS = ["a", "b", "ab", "旧", "新", "x", "\n", "\r\n", " ", "ba", "旧a"]
NAMES = ["old", "a", "b", "new", "d", "旧目录", "keep"]


def content(rng):
    text = "".join(rng.choice(WORDS) for _ in range(rng.randint(0, 60)))
    kind = rng.randrange(10)
    if kind == 0:
        return "\ufeff".encode("utf-8") + text.encode("utf-8")
    if kind == 1:
        return b"\xff\xfe" + text.encode("utf-16-le")
    if kind == 2:
        return b"\xfe\xff" + text.encode("utf-16-be")
    if kind == 3:
        return text.encode("utf-8") + b"\xff"
    if kind == 4:
        return text.encode("utf-8") + b"\0a"
    return text.encode("utf-8")


def make_tree(rng, root, depth=0):
    os.makedirs(root, exist_ok=True)
    for i in range(rng.randint(0, 8)):
        name = "f%d.%s" % (i, rng.choice(["txt", "txt", "htm", "bin"]))
        path = os.path.join(root, name)
        with open(path, "wb") as f:
            f.write(content(rng))
        if rng.random() < 0.05:
            os.chmod(path, 0o444)
    if rng.random() < 0.1:
        os.symlink("f0.txt", os.path.join(root, "link.txt"))
    if depth < 3:
        for name in rng.sample(NAMES, rng.randint(0, 3)):
            make_tree(rng, os.path.join(root, name), depth + 1)


def snapshot(root):
    out = []
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames.sort()
        rel = os.path.relpath(dirpath, root)
        for name in sorted(filenames):
            p = os.path.join(dirpath, name)
            st = os.lstat(p)
            data = os.readlink(p).encode() if stat.S_ISLNK(st.st_mode) else open(p, "rb").read()
            out.append((rel, name, st.st_mode, data))
        out.append((rel, None, os.lstat(dirpath).st_mode, None))
    return out


def run(cli, tree, rules, renames, jobs):
    p = subprocess.run([cli, "-s", "-R", "-y", "-l", "-j", str(jobs), tree, "*.txt;*.htm",
                        "--rules", rules, "--rename-rules", renames], capture_output=True)
    return p.returncode, p.stdout.replace(tree.encode(), b"T"), p.stderr.replace(tree.encode(), b"T")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--trees", type=int, default=1000)
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    cli = os.environ.get("VEXA_CLI", os.path.join(ROOT, "build/default/src/cli/vexa-cli"))
    base = tempfile.mkdtemp(prefix="vexa-random.", dir=os.environ.get("VEXA_BENCH_TMPFS", "/dev/shm"))
    home = os.path.join(base, "home")
    os.environ.update(HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data",
                      LC_ALL="C.UTF-8")
    lines = renamed = 0
    try:
        for n in range(a.trees):
            rng = random.Random(a.seed * 100003 + n)
            rules, renames = os.path.join(base, "rules.txt"), os.path.join(base, "renames.txt")
            with open(rules, "w", encoding="utf-8") as f:
                for _ in range(rng.randint(1, 4)):
                    f.write("%s`%s\n" % (rng.choice(["a", "ab", "旧", "ba", "x"]), rng.choice(["", "b", "新a", "aa"])))
            with open(renames, "w", encoding="utf-8") as f:
                for _ in range(rng.randint(0, 3)):
                    f.write("%s`%s\n" % (rng.choice(NAMES), rng.choice(NAMES)))
            pristine = os.path.join(base, "pristine")
            make_tree(rng, pristine)
            results = []
            for jobs in (1, a.jobs):
                tree = os.path.join(base, "t%d" % jobs)
                shutil.copytree(pristine, tree, symlinks=True)
                results.append(run(cli, tree, rules, renames, jobs) + (snapshot(tree),))
            if results[0] != results[1]:
                print("random_trees: tree %d (seed %d): -j1 and -j%d differ" % (n, a.seed, a.jobs), file=sys.stderr)
                for r in results:
                    print(r[0], r[1].decode(errors="replace"), r[2].decode(errors="replace"), file=sys.stderr)
                return 1
            lines += results[0][1].count(b"\n")
            renamed += results[0][1].count(b" -> ")
            for path in [pristine] + [os.path.join(base, "t%d" % j) for j in (1, a.jobs)]:
                subprocess.run(["chmod", "-R", "u+w", path])
                shutil.rmtree(path)
        print("random_trees: %d trees (%d changes listed, %d of them renames): -j1 and -j%d left the same "
              "bytes, list, summary and status" % (a.trees, lines, renamed, a.jobs))
        return 0
    finally:
        subprocess.run(["chmod", "-R", "u+w", base])
        shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
