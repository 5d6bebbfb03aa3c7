#!/usr/bin/env python3
"""Checks undo from the outside: builds a tree of files and renamed folders,
runs `vexa-cli -s -R -y`, then `vexa-cli --undo -y`, and compares every name,
byte, mode, owner and extended attribute with the tree as it was; then the
same with a process killed (SIGKILL) at a random moment: the run (odd
kills), or the undo of a finished run (even kills), followed by an undo.

    scripts/undo_check.py [--files N] [--folders N] [--kills N] [--seed N]
                          [--cli PATH] [--where FOLDER] [--data FOLDER] [--wine]

Everything happens in a new temporary folder below --where (default: the
system's temporary folder), with HOME and the XDG folders pointed into it;
the folder is removed at the end. --data puts the undo journals in a
temporary folder of their own below FOLDER instead: on another file system
than the tree, the journal keeps copies of the originals, not links. Exit
status 0 when every check held.

--wine drives the Windows build (default build/windows/src/cli/vexa-cli.exe)
under wine, with a wine prefix of its own in the temporary folder; the
kill is SIGKILL of the wine process. There the journal lies on drive C: (the
prefix) and the tree on drive Z:, so originals are kept as copies; the tree
is compared by names and bytes, as Windows has no POSIX modes, owners or
extended attributes to keep.
"""
import argparse
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build_tree(top, files, folders, rng, plain):
    """`folders` folders named r<i> (renamed by the rules), nested three deep
    in places, and `files` files spread over them and plain folders."""
    dirs = [top]
    for g in range(max(1, folders // 10)):
        plain = os.path.join(top, f"g{g}")
        os.makedirs(plain)
        dirs.append(plain)
    renamed = []
    for i in range(folders):
        # The rules hold at most 100 renames: names repeat in other folders.
        path = top
        while os.path.exists(path):
            path = os.path.join(rng.choice(dirs + renamed[-5:]), f"r{i % 100}")
        os.makedirs(path)
        renamed.append(path)
    dirs += renamed
    owners = [(0, 0), (1234, 1234), (0, 1234)]
    for i in range(files):
        folder = rng.choice(dirs)
        ext = rng.choice(["txt", "htm", "css"])
        name = os.path.join(folder, f"f{i}.{ext}")
        words = [rng.choice(["alpha", "beta", "gamma", "delta"]) for _ in range(rng.randint(5, 200))]
        text = " ".join(words) + "\n"
        enc = rng.random()
        data = (b"\xff\xfe" + text.encode("utf-16-le")) if enc < 0.1 else text.encode()
        with open(name, "wb") as f:
            f.write(data)
        if plain:
            continue
        os.chmod(name, rng.choice([0o644, 0o600, 0o755, 0o640]))
        if os.geteuid() == 0:
            os.chown(name, *rng.choice(owners))
        if rng.random() < 0.2:
            os.setxattr(name, "user.check", f"v{i}".encode())
    return renamed


def snapshot(top, plain=False):
    state = {}
    for folder, subdirs, names in os.walk(top):
        for name in subdirs + names:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            rel = os.path.relpath(path, top)
            entry = [os.path.isdir(path)] if plain else [st.st_mode, st.st_uid, st.st_gid]
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    entry.append(hashlib.sha256(f.read()).hexdigest())
                if not plain:
                    entry.append(sorted((a, os.getxattr(path, a)) for a in os.listxattr(path)))
            state[rel] = entry
    return state


def compare(label, before, after):
    missing = sorted(set(before) - set(after))
    extra = sorted(set(after) - set(before))
    differ = sorted(k for k in set(before) & set(after) if before[k] != after[k])
    ok = not (missing or extra or differ)
    print(f"{label}: {'identical' if ok else 'DIFFERENT'} ({len(before)} entries;"
          f" missing {len(missing)}, extra {len(extra)}, changed {len(differ)})")
    for what, items in (("missing", missing), ("extra", extra), ("changed", differ)):
        for k in items[:5]:
            print(f"    {what}: {k}")
    return ok


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--files", type=int, default=10000)
    ap.add_argument("--folders", type=int, default=200)
    ap.add_argument("--kills", type=int, default=3)
    ap.add_argument("--seed", type=int, default=int(time.time()))
    ap.add_argument("--cli", default=None)
    ap.add_argument("--where", default=None)
    ap.add_argument("--data", default=None)
    ap.add_argument("--wine", action="store_true")
    args = ap.parse_args()
    if args.cli is None:
        args.cli = os.path.join(ROOT, "build/windows/src/cli/vexa-cli.exe" if args.wine
                                else "build/default/src/cli/vexa-cli")
    rng = random.Random(args.seed)
    print(f"seed {args.seed}")
    work = tempfile.mkdtemp(prefix="vexa-undo-check.", dir=args.where)
    data = tempfile.mkdtemp(prefix="vexa-undo-data.", dir=args.data) if args.data else None
    env = dict(os.environ, HOME=work, XDG_DATA_HOME=data or os.path.join(work, "data"),
               XDG_CONFIG_HOME=os.path.join(work, "config"), LC_ALL="C.UTF-8")
    # A Windows program sees the tree through drive Z:.
    native = (lambda p: "Z:" + p.replace("/", "\\")) if args.wine else (lambda p: p)
    cli = [args.cli]
    if args.wine:
        env.update(WINEPREFIX=os.path.join(work, "wine"), WINEDEBUG="-all",
                   WINEDLLOVERRIDES="winemenubuilder.exe=d")
        cli = ["wine", args.cli]
    try:
        if args.wine:
            subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        top = os.path.join(work, "tree")
        os.makedirs(top)
        renamed = build_tree(top, args.files, args.folders, rng, args.wine)
        rules = os.path.join(work, "rules.txt")
        with open(rules, "w") as f:
            f.write("alpha`ALPHA-1\ngamma`g\n")
        rename = os.path.join(work, "rename.txt")
        with open(rename, "w") as f:
            names = sorted({os.path.basename(p) for p in renamed})
            f.write("".join(f"{n}`{n}-new\n" for n in names))
        pristine = os.path.join(work, "pristine")
        subprocess.run(["cp", "-a", top, pristine], check=True)  # owners and attributes too
        snap = lambda: snapshot(top, args.wine)  # noqa: E731
        before = snap()
        run = cli + ["-s", "-R", "-y", "-q", "--rules", native(rules), "--rename-rules",
                     native(rename), native(top), "*.txt;*.htm;*.css"]
        undo = cli + ["--undo", "-y", "-q", native(top)]
        # A process killed before it has started its work shows nothing: the
        # kills fall after the start-up, which under wine is long.
        t = time.monotonic()
        subprocess.run(cli + ["--help"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        start_s = time.monotonic() - t if args.wine else 0.0
        ok = True

        t = time.monotonic()
        res = subprocess.run(run, env=env, stderr=subprocess.PIPE)
        rc = res.returncode
        if rc != 0:
            print(res.stderr.decode()[-2000:])
        run_s = time.monotonic() - t
        ok &= rc == 0
        changed = snap()
        print(f"run: exit {rc}, {run_s:.2f} s; changed entries:"
              f" {sum(1 for k in before if changed.get(k) != before[k])}")
        kept = {k: sum(len(n) for _, _, n in os.walk(os.path.join(r, k)))
                for r, dirs, _ in os.walk(work) if "link" in dirs and "copy" in dirs
                for k in ("link", "copy")}
        print(f"journal keeps {kept.get('link', 0)} links, {kept.get('copy', 0)} copies")
        t = time.monotonic()
        rc = subprocess.run(undo, env=env, stderr=subprocess.DEVNULL).returncode
        undo_s = time.monotonic() - t
        print(f"undo: exit {rc}, {undo_s:.2f} s")
        ok &= rc == 0 and compare("after run and undo", before, snap())
        # Kills fall within a run's or an undo's time once the files are
        # cached: both timed again.
        t = time.monotonic()
        subprocess.run(run, env=env, stderr=subprocess.DEVNULL)
        run_s = min(run_s, time.monotonic() - t)
        t = time.monotonic()
        subprocess.run(undo, env=env, stderr=subprocess.DEVNULL)
        undo_s = time.monotonic() - t

        for k in range(args.kills):
            shutil.rmtree(top)
            subprocess.run(["cp", "-a", pristine, top], check=True)
            killed = "undo" if k % 2 else "run"
            if killed == "undo":
                subprocess.run(run, env=env, stderr=subprocess.DEVNULL)
            delay = start_s + (rng.uniform(0.01, max(0.05, (undo_s - start_s) * 0.5)) if k % 2
                               else rng.uniform(0.02, max(0.05, (run_s - start_s) * 0.9)))
            proc = subprocess.Popen(undo if k % 2 else run, env=env, stderr=subprocess.DEVNULL)
            time.sleep(delay)
            proc.send_signal(signal.SIGKILL)
            proc.wait()
            mid = snap()
            touched = sum(1 for key in before if mid.get(key) != before[key])
            res = subprocess.run(undo, env=env, stderr=subprocess.PIPE)
            note = "interrupted" if "中断" in res.stderr.decode() else "no interruption noted"
            print(f"kill {k + 1} ({killed}): after {delay:.2f} s, {touched} entries differ,"
                  f" undo exit {res.returncode} ({note})")
            if res.returncode not in (0, 2):
                print(res.stderr.decode()[-2000:])
            ok &= res.returncode in (0, 2) and compare(f"kill {k + 1} then undo", before, snap())
        print("ALL CHECKS HELD" if ok else "A CHECK FAILED")
        return 0 if ok else 1
    finally:
        if args.wine:
            subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)
        if data:
            shutil.rmtree(data, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
