#!/usr/bin/env python3
"""vexa-cli's match modes against Python's re, through the real binary.

Random texts and random patterns from a small grammar (classes, groups,
alternation, quantifiers, anchors): after `vexa-cli -E` every file holds the
bytes that re.sub (flags=re.M) makes of it with the equivalent pattern and
replacement, rule after rule. Suites: ASCII with \\w \\d \\s \\b; Unicode
text as UTF-8 and as UTF-16; GBK text under a GBK locale; -i and -w with
literal rules over Latin, Greek and Cyrillic letters. Then the cases that
only the whole program shows: a backslash after a GBK character whose
trail byte is a backslash, and a catastrophic pattern that skips its file.
Each run works on a batch of files in one temporary folder.

usage: match_modes_check.py VEXA_CLI [--cases N] [--seed N] [--time-limit SECONDS]
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

TEXTS_PER_RUN = 5


class Case:
    def __init__(self, flags, rules, texts, encoding, env=None):
        self.flags, self.rules, self.texts = flags, rules, texts
        self.encoding, self.env = encoding, env or {}


def pattern(rng, alphabet, classes, depth=0):
    """A random regex as vexa-cli takes it and as Python takes it."""
    parts_v, parts_p = [], []
    for _ in range(rng.randint(1, 3)):
        roll = rng.random()
        if roll < 0.15 and depth < 2:
            kind = rng.choice(["(", "(?:", "named"])
            inner_v, inner_p = pattern(rng, alphabet, classes, depth + 1)
            if kind == "named":
                name = "g%d" % rng.randint(1, 2)
                v, p = "(?<%s>%s)" % (name, inner_v), "(?P<%s>%s)" % (name, inner_p)
                if name in p[:-len(inner_p)] or "(?P<" + name in inner_p:
                    v, p = "(%s)" % inner_v, "(%s)" % inner_p
            else:
                v, p = kind + inner_v + ")", kind + inner_p + ")"
        elif roll < 0.22 and depth < 2:
            a_v, a_p = pattern(rng, alphabet, classes, depth + 1)
            b_v, b_p = pattern(rng, alphabet, classes, depth + 1)
            v, p = "(?:%s|%s)" % (a_v, b_v), "(?:%s|%s)" % (a_p, b_p)
        elif roll < 0.27:
            v = p = rng.choice(["^", "$"] + (["\\b"] if "\\w" in classes else []))
            parts_v.append(v)
            parts_p.append(p)
            continue
        elif roll < 0.5:
            v = p = rng.choice(classes)
        else:
            v = p = re.escape(rng.choice(alphabet)) if rng.random() < 0.9 else "."
        # A group repeats boundedly: a nested unbounded repeat is the
        # catastrophic kind, which skips its file (checked below). A group
        # with an anchor is not repeated: an iteration that matches nothing
        # ends a repeat in Boost (as in Perl), where Python's re goes on.
        bounded = v.startswith("(")
        if rng.random() < 0.35 and not (bounded and re.search(r"\^|\$|\\b", v)):
            q = rng.choice(["?", "{1,2}", "{2}", "??"] if bounded else
                           ["*", "+", "?", "{1,2}", "*?", "+?", "{2}"])
            v, p = v + q, p + q
        parts_v.append(v)
        parts_p.append(p)
    return "".join(parts_v), "".join(parts_p)


def replacement(rng, groups, names):
    pieces = []
    for _ in range(rng.randint(0, 3)):
        roll = rng.random()
        if roll < 0.3 and groups:
            n = rng.randint(0, groups)
            pieces.append(("$%d" % n, "\\g<%d>" % n))
        elif roll < 0.4 and names:
            n = rng.choice(names)
            pieces.append(("${%s}" % n, "\\g<%s>" % n))
        elif roll < 0.45:
            pieces.append(("$$", "$"))
        else:
            ch = rng.choice("xy-\\")
            pieces.append((ch, ch.replace("\\", "\\\\")))
    return "".join(v for v, _ in pieces), "".join(p for _, p in pieces)


def regex_rule(rng, alphabet, classes):
    while True:
        find_v, find_p = pattern(rng, alphabet, classes)
        try:
            compiled = re.compile(find_p, re.M)
        except re.error:
            continue
        repl_v, repl_p = replacement(rng, compiled.groups, list(compiled.groupindex))
        return (find_v, repl_v), (compiled, repl_p)


def random_text(rng, alphabet, length=40):
    return "".join(rng.choice(alphabet) for _ in range(rng.randint(0, length)))


def regex_cases(rng, count, alphabet, classes, encoding, env=None):
    cases = []
    for _ in range(count):
        rules = [regex_rule(rng, alphabet, classes) for _ in range(rng.choice([1, 1, 2]))]
        texts = [random_text(rng, alphabet + ["\n"]) for _ in range(TEXTS_PER_RUN)]
        cases.append(Case(["-E"], rules, texts, encoding, env))
    return cases


def word_cases(rng, count):
    letters = list("aAbBkKsSſéÉσςΣαΑжЖяЯ") + ["\u212a", "\u0131", "i", "I", "İ"]
    around = letters + [" ", "_", "1", "-", "\n"]
    cases = []
    for _ in range(count):
        flags = rng.choice([["-i"], ["-w"], ["-i", "-w"]])
        word = "".join(rng.choice(letters) for _ in range(rng.randint(1, 3)))
        p = re.escape(word)
        if "-w" in flags:
            p = r"(?<!\w)(?:%s)(?!\w)" % p
        compiled = re.compile(p, re.M | (re.I if "-i" in flags else 0))
        texts = [random_text(rng, around + [word] * 3, 20) for _ in range(TEXTS_PER_RUN)]
        cases.append(Case(flags, [((word, "<$1>"), (compiled, "<$1>"))], texts, "utf-8"))
    return cases


def expected(case, text):
    for _, (compiled, repl) in case.rules:
        text = compiled.sub(repl, text)
    return text


def encode(text, encoding):
    if encoding == "utf-16":
        return b"\xff\xfe" + text.encode("utf-16-le")
    return text.encode(encoding)


def run(cli, case, work, base_env):
    if os.path.exists(work):
        shutil.rmtree(work)
    os.makedirs(work)
    rules_encoding = "gbk" if case.encoding == "gbk" else "utf-8"
    rules_path = os.path.join(os.path.dirname(work), "rules.txt")
    with open(rules_path, "wb") as f:
        for (find, repl), _ in case.rules:
            f.write((find + "`" + repl + "\n").encode(rules_encoding))
    for i, text in enumerate(case.texts):
        with open(os.path.join(work, "f%d.txt" % i), "wb") as f:
            f.write(encode(text, case.encoding))
    env = dict(base_env, **case.env)
    proc = subprocess.run([cli, "-y", "-q", "--no-undo", *case.flags, "--rules", rules_path,
                           work, "*.txt"], env=env, capture_output=True)
    return proc


def check_case(cli, case, work, base_env):
    proc = run(cli, case, work, base_env)
    if proc.returncode != 0:
        return "exit %d: %s" % (proc.returncode, proc.stderr.decode("utf-8", "replace"))
    for i, text in enumerate(case.texts):
        with open(os.path.join(work, "f%d.txt" % i), "rb") as f:
            got = f.read()
        want = encode(expected(case, text), case.encoding)
        if got != want:
            return "file %r: got %r, want %r" % (text, got, want)
    return None


def gbk_locale(tmp):
    """zh_CN.GBK built into tmp, as the other GBK tests do; None where it cannot be."""
    path = os.path.join(tmp, "locales")
    os.makedirs(path)
    ok = subprocess.run(["localedef", "-i", "zh_CN", "-f", "GBK", os.path.join(path, "zh_CN.GBK")],
                        capture_output=True).returncode == 0
    return {"LOCPATH": path, "LC_ALL": "zh_CN.GBK"} if ok else None


def special_cases(cli, tmp, base_env, gbk, time_limit):
    failures = []
    work = os.path.join(tmp, "special")
    if gbk:
        # 乗 is 81 5C in GBK: its trail byte is a backslash, which a byte
        # search would take for one.
        case = Case(["-E"], [(("\\\\", "/"), None)], ["乗\\乗"], "gbk", gbk)
        proc = run(cli, case, work, base_env)
        with open(os.path.join(work, "f0.txt"), "rb") as f:
            got = f.read()
        if proc.returncode != 0 or got != b"\x81\x5c/\x81\x5c":
            failures.append("GBK backslash: exit %d, %r" % (proc.returncode, got))
    # A catastrophic pattern skips its file with a reason, soon; the run goes on.
    case = Case(["-E"], [(("(a+)+$", "x"), None)], ["a" * 100000 + "b", "ok a"], "utf-8")
    started = time.monotonic()
    proc = run(cli, case, work, base_env)
    took = time.monotonic() - started
    with open(os.path.join(work, "f1.txt"), "rb") as f:
        other = f.read()
    err = proc.stderr.decode("utf-8", "replace")
    if proc.returncode != 1 or "f0.txt" not in err or "回溯过多" not in err or other != b"ok x":
        failures.append("catastrophic: exit %d, %r, %s" % (proc.returncode, other, err))
    if took > time_limit:
        failures.append("catastrophic: took %.1f s" % took)
    return failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("cli")
    ap.add_argument("--cases", type=int, default=1000)
    ap.add_argument("--seed", type=int, default=26)
    # Seconds the catastrophic pattern may take; a sanitizer's build is far slower.
    ap.add_argument("--time-limit", type=float, default=5)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    tmp = tempfile.mkdtemp(prefix="vexa-modes.")
    try:
        base_env = dict(os.environ, LC_ALL="C.UTF-8", XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                        XDG_DATA_HOME=os.path.join(tmp, "data"))
        base_env.pop("LANGUAGE", None)
        gbk = gbk_locale(tmp)
        runs = args.cases // TEXTS_PER_RUN
        ascii_alpha = list("abc d1_")
        ascii_classes = ["[abc]", "[^ab]", "[a-c]", "\\d", "\\w", "\\s", "\\W", "[\\d_]"]
        uni_alpha = list("aéαβжЖ中文😀 ")
        uni_classes = ["[αβ]", "[а-я]", "[^中a]", "[é😀]"]
        cases = regex_cases(rng, runs * 3 // 10, ascii_alpha, ascii_classes, "utf-8")
        cases += regex_cases(rng, runs * 2 // 10, uni_alpha, uni_classes, "utf-8")
        cases += regex_cases(rng, runs * 2 // 10, uni_alpha, uni_classes, "utf-16")
        if gbk:
            cases += regex_cases(rng, runs * 1 // 10, list("ab\\乗中文 "), ["[中文]", "[^乗]"],
                                 "gbk", gbk)
        else:
            print("match_modes_check: no zh_CN.GBK here; the GBK cases are left out")
        cases += word_cases(rng, runs - len(cases))
        failures = []
        for n, case in enumerate(cases):
            why = check_case(args.cli, case, os.path.join(tmp, "work"), base_env)
            if why:
                failures.append("case %d %s %r: %s" % (n, case.flags, [r[0] for r in case.rules],
                                                       why))
        failures += special_cases(args.cli, tmp, base_env, gbk, args.time_limit)
        for line in failures[:20]:
            print(line)
        print("match_modes_check: %d runs of %d files, %d failures"
              % (len(cases), TEXTS_PER_RUN, len(failures)))
        return 1 if failures else 0
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


sys.exit(main())
