#!/usr/bin/env python3
"""Times vexa-cli on trees of several shapes against rg, cat/cp and sed -i.

    bench/shapes.py [--rounds 7] [--scale 1.0] [--only tree,huge,...] [--before OLD_CLI]

Shapes: tree (the benchmark tree: 20,000 files, 12,000 selected, 10% with a
find text; full and no-match runs), allmatch (every selected file holds a find
text), rules100 (100 rules), tiny (500,000 files of a few bytes, 5,000
folders of 100, no match), huge (4 files of 256 MB that match), gig (one file
of 1 GB, no match: memory only), gbk (GBK files under a GBK locale, no match,
against the same text in UTF-8), utf16 (UTF-16 files), wide (one folder of
100,000 entries), deep (a chain of 50 folders), site (a web site's shape:
.htm/.txt/.css/.js and binaries 4 to 5 levels deep, ten rules of 5 to 30
bytes, some Chinese, two chained, one whose replacement holds its find text,
about one file in ten matching), floor (every file holds one find text, timed
against bench/replace-floor, a bare safe replace of the same files). --scale
shrinks the file counts and sizes.

Every command is timed with alt-time (the tools take turns round by round;
each ratio is the median of the per-round ratios). A tree that a run changes
is copied back from a pristine copy before every run (not timed). Peak memory
is measured apart with /usr/bin/time -f %M. Before any timing, each shape is
checked: vexa-cli -j1 leaves the same bytes as sed -i (shapes without GBK or
UTF-16 text), and the parallel run leaves the same bytes, --list lines and
summary as -j1. Everything happens in a temporary folder of its own (under
VEXA_BENCH_TMPFS, default /dev/shm); HOME and XDG_* point into it.
VEXA_CLI names the binary, VEXA_ALT_TIME alt-time.
"""

import argparse
import json
import os
import random
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GEN = os.path.join(ROOT, "bench", "gen_corpus.py")
SUFFIXES = "*.htm;*.txt;*.css;*.js"
GLOBS = ["*.htm", "*.txt", "*.css", "*.js"]


def run(cmd, **kw):
    return subprocess.run(cmd, shell=isinstance(cmd, str), check=True, **kw)


def q(*args):
    return " ".join(shlex.quote(str(a)) for a in args)


class Bench:
    def __init__(self, a):
        self.a = a
        self.base = tempfile.mkdtemp(prefix="vexa-shapes.", dir=os.environ.get("VEXA_BENCH_TMPFS", "/dev/shm"))
        home = os.path.join(self.base, "home")
        os.makedirs(home)
        self.env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
                        XDG_DATA_HOME=home + "/data", XDG_CACHE_HOME=home + "/cache",
                        LC_ALL="C.UTF-8")
        os.environ.update(self.env)
        self.cli = a.cli
        self.alt = os.environ.get("VEXA_ALT_TIME", os.path.join(ROOT, "..", "shared", "tools", "alt-time"))
        self.rows = []
        self.memory = []
        self.checks = []

    # --- trees -----------------------------------------------------------
    def gen(self, name, *args):
        out = os.path.join(self.base, name)
        run([sys.executable, GEN, out] + [str(x) for x in args], stdout=subprocess.DEVNULL)
        return out

    def rules_of(self, path):
        with open(path, encoding="utf-8") as f:
            return [line.rstrip("\n").split("`")[:2] for line in f if line.strip()]

    def write_rules(self, path, rules, encoding="utf-8"):
        with open(path, "w", encoding=encoding) as f:
            for find, repl in rules:
                f.write("%s`%s\n" % (find, repl))

    def sed_script(self, rules):
        def esc(text, chars):
            return "".join("\\" + c if c in chars else c for c in text)
        path = os.path.join(self.base, "rules%d.sed" % len(self.checks))
        with open(path, "w", encoding="utf-8") as f:
            for find, repl in rules:
                f.write("s/%s/%s/g\n" % (esc(find, "\\/.*[]^$"), esc(repl, "\\/&")))
        return path

    # --- commands --------------------------------------------------------
    def vexa(self, d, rules, jobs=None, cli=None, extra=()):
        j = ["-j", str(jobs)] if jobs else []
        # The journal has a bound of its own (compare.sh times it); the earlier
        # program has no journal and does not know the option.
        noundo = [] if cli else ["--no-undo"]
        return q(cli or self.cli, "-s", "-y", "-q", *j, *noundo, *extra, d, SUFFIXES, "--rules", rules) + " 2>/dev/null"

    def rg(self, d, rules, jobs):
        pats = []
        for find, _ in self.rules_of(rules) if isinstance(rules, str) else rules:
            pats += ["-e", find]
        globs = []
        for g in GLOBS:
            globs += ["-g", g]
        return q("rg", "-j%d" % jobs if jobs else "-j0", "-F", "-c", "-uu", *globs, *pats, d) + " >/dev/null"

    def find_files(self, d):
        names = " -o ".join("-name %s" % shlex.quote(g) for g in GLOBS)
        return "find %s -type f \\( %s \\) -print0" % (shlex.quote(d), names)

    def cat(self, d):
        return self.find_files(d) + " | xargs -0 cat >/dev/null"

    def sed(self, d, script):
        return "LC_ALL=C " + self.find_files(d) + " | LC_ALL=C xargs -0 sed -i -f " + shlex.quote(script)

    # --- checks ----------------------------------------------------------
    def check(self, shape, pristine, rules, sed_too):
        """-j1 against sed -i and against the parallel run."""
        runs = {}
        for name, jobs in (("j1", 1), ("jN", None)):
            d = os.path.join(self.base, "check-" + name)
            shutil.rmtree(d, ignore_errors=True)
            shutil.copytree(pristine, d, symlinks=True)
            p = subprocess.run(self.vexa(d, rules, jobs, extra=("-l",)).replace(" 2>/dev/null", ""),
                               shell=True, capture_output=True)
            runs[name] = (d, p.stdout.replace(d.encode(), b"D"), p.stderr.replace(d.encode(), b"D"))
        same = subprocess.run(["diff", "-rq", runs["j1"][0], runs["jN"][0]], capture_output=True).returncode == 0
        ok = same and runs["j1"][1] == runs["jN"][1] and runs["j1"][2] == runs["jN"][2]
        note = "-j1 = parallel (bytes, list, summary): %s" % ("yes" if ok else "NO")
        if sed_too:
            d = os.path.join(self.base, "check-sed")
            shutil.rmtree(d, ignore_errors=True)
            shutil.copytree(pristine, d, symlinks=True)
            run(self.sed(d, self.sed_script(self.rules_of(rules))))
            eq = subprocess.run(["diff", "-rq", runs["j1"][0], d], capture_output=True).returncode == 0
            ok = ok and eq
            note += "; same bytes as sed -i: %s" % ("yes" if eq else "NO")
            shutil.rmtree(d)
        for name in runs:
            shutil.rmtree(runs[name][0])
        self.checks.append((shape, note))
        if not ok:
            print("shapes: FAIL: %s: %s" % (shape, note), file=sys.stderr)
        return ok

    # --- timing ----------------------------------------------------------
    def time(self, shape, run_name, pristine, cmds, restore=True, rounds=None):
        """cmds: name -> shell text with {D} for the work tree."""
        work = os.path.join(self.base, "work")
        shutil.rmtree(work, ignore_errors=True)
        shutil.copytree(pristine, work, symlinks=True)
        prepare = ("rm -rf %s %s.cp && cp -a %s %s" % (q(work), q(work), q(pristine), q(work))) if restore else ""
        args = [sys.executable, self.alt, "--rounds", str(rounds or self.a.rounds), "--warmup", "1"]
        if prepare:
            args += ["--prepare", prepare]
        args += ["%s=%s" % (n, c.replace("{D}", q(work))) for n, c in cmds.items()]
        out = subprocess.run(args, capture_output=True, text=True)
        report = json.loads(out.stdout)
        if "error" in report:
            raise SystemExit("shapes: %s/%s: %s" % (shape, run_name, report["error"]))
        shutil.rmtree(work, ignore_errors=True)
        self.rows.append((shape, run_name, report))
        print("  %-10s %-9s %s" % (shape, run_name, "  ".join(
            "%s %.3f" % (n, v) for n, v in report["median"].items())), flush=True)
        return report

    def peak(self, shape, pristine, rules, jobs, largest):
        work = os.path.join(self.base, "work")
        shutil.rmtree(work, ignore_errors=True)
        shutil.copytree(pristine, work, symlinks=True)
        cmd = "/usr/bin/time -f %M -o " + q(self.base + "/mem") + " " + self.vexa(work, rules, jobs)
        subprocess.run(cmd, shell=True)
        kb = int(open(self.base + "/mem").read().split()[-1])
        shutil.rmtree(work)
        self.memory.append((shape, jobs or "all", kb, largest))
        print("  %-10s peak memory -j%s: %.1f MB" % (shape, jobs or "N", kb / 1024), flush=True)

    def standard(self, shape, pristine, rules, nomatch, sed_too=True, rounds=None):
        """Full run (vexa -j1, vexa, rg -j1, rg, sed, cat) and no-match run."""
        full = {"vexa_j1": self.vexa("{D}", rules, 1), "vexa": self.vexa("{D}", rules),
                "rg_j1": self.rg("{D}", rules, 1), "rg": self.rg("{D}", rules, 0), "cat": self.cat("{D}")}
        if self.a.before:
            full["before"] = self.vexa("{D}", rules, cli=self.a.before)
        if sed_too:
            full["sed"] = self.sed("{D}", self.sed_script(self.rules_of(rules)))
        self.time(shape, "full", pristine, full, rounds=rounds)
        if nomatch:
            none = {"vexa_j1": self.vexa("{D}", nomatch, 1), "vexa": self.vexa("{D}", nomatch),
                    "rg_j1": self.rg("{D}", nomatch, 1), "rg": self.rg("{D}", nomatch, 0)}
            if self.a.before:
                none["before"] = self.vexa("{D}", nomatch, cli=self.a.before)
            self.time(shape, "no-match", pristine, none, restore=False, rounds=rounds)


def scaled(a, n):
    return max(1, int(n * a.scale))


def shape_tree(b, a, name="tree", extra=()):
    p = b.gen(name, "--files", scaled(a, 20000), "--size-mb", 200 * a.scale, *extra)
    rules, nomatch = p + ".rules.txt", p + ".rules-nomatch.txt"
    b.check(name, p, rules, True)
    b.standard(name, p, rules, nomatch)
    shutil.rmtree(p)


def shape_rules100(b, a):
    p = b.gen("rules100", "--files", scaled(a, 20000), "--size-mb", 200 * a.scale)
    rules = b.rules_of(p + ".rules.txt")
    extra = [("zzqxj-rule-%02d" % i, "r%02d" % i) for i in range(90)]
    r100 = p + ".rules100.txt"
    b.write_rules(r100, rules + extra)
    b.check("rules100", p, r100, True)
    b.standard("rules100", p, r100, None)
    shutil.rmtree(p)


def shape_tiny(b, a):
    p = os.path.join(b.base, "tiny")
    folders = scaled(a, 5000)
    for i in range(folders):
        d = os.path.join(p, "d%04d" % i)
        os.makedirs(d)
        for k in range(100):
            with open(os.path.join(d, "f%03d.txt" % k), "w") as f:
                f.write("tiny %d %d\n" % (i, k))
    nomatch = p + ".nomatch.txt"
    b.write_rules(nomatch, [("zzqxj-none-1", "x"), ("不存在的词组甲", "y")])
    cmds = {"vexa_j1": b.vexa("{D}", nomatch, 1), "vexa": b.vexa("{D}", nomatch),
            "rg_j1": b.rg("{D}", nomatch, 1), "rg": b.rg("{D}", nomatch, 0)}
    if a.before:
        cmds["before"] = b.vexa("{D}", nomatch, cli=a.before)
    b.time("tiny", "no-match", p, cmds, restore=False)
    b.peak("tiny", p, nomatch, 1, 0)
    b.peak("tiny", p, nomatch, None, 0)
    shutil.rmtree(p)


def big_files(b, name, count, mb, match):
    p = os.path.join(b.base, name)
    os.makedirs(p)
    line = ("北京市朝阳区 the quick brown fox 数据管理 jumps over the lazy dog 0123456789\n").encode()
    hit = "旧科技有限公司 http://old.example.com/ Oldbrand\n".encode()
    block = (line * 997 + (hit if match else line)) * 64  # about 5 MB
    for i in range(count):
        with open(os.path.join(p, "big%d.txt" % i), "wb") as f:
            left = int(mb * 1e6)
            while left > 0:
                f.write(block[:left])
                left -= len(block)
    rules = p + ".rules.txt"
    b.write_rules(rules, [("旧科技有限公司", "新科技有限公司"), ("http://old.example.com/", "https://www.example.org/"),
                          ("Oldbrand", "Newbrand")])
    return p, rules, int(mb * 1e6)


def shape_huge(b, a):
    p, rules, size = big_files(b, "huge", 4, 256 * a.scale, True)
    b.check("huge", p, rules, True)
    cmds = {"vexa_j1": b.vexa("{D}", rules, 1), "vexa": b.vexa("{D}", rules),
            "rg_j1": b.rg("{D}", rules, 1), "rg": b.rg("{D}", rules, 0),
            "cp": "cp -r {D} {D}.cp", "sed": b.sed("{D}", b.sed_script(b.rules_of(rules)))}
    if a.before:
        cmds["before"] = b.vexa("{D}", rules, cli=a.before)
    b.time("huge", "full", p, cmds, rounds=min(a.rounds, 3))
    b.peak("huge", p, rules, 1, size)
    b.peak("huge", p, rules, None, size)
    shutil.rmtree(p)


def shape_gig(b, a):
    p, rules, size = big_files(b, "gig", 1, 1000 * a.scale, False)
    b.peak("gig", p, rules, 1, size)
    b.peak("gig", p, rules, None, size)
    if a.before:
        work = os.path.join(b.base, "work")
        shutil.copytree(p, work)
        subprocess.run("/usr/bin/time -f %M -o " + q(b.base + "/mem") + " " + b.vexa(work, rules, cli=a.before), shell=True)
        kb = int(open(b.base + "/mem").read().split()[-1])
        b.memory.append(("gig", "before", kb, size))
        shutil.rmtree(work)
    shutil.rmtree(p)


def shape_gbk(b, a):
    """The same Chinese text as GBK files under a GBK locale and as UTF-8."""
    trees = {}
    for enc in ("gbk", "utf-8"):
        p = os.path.join(b.base, "text-" + enc)
        rng = random.Random(5)
        words = "我们 公司 产品 服务 用户 系统 数据 管理 技术 支持 网络 信息 安全 平台 北京 上海".split()
        for i in range(scaled(a, 4000)):
            d = os.path.join(p, "d%02d" % (i % 40))
            os.makedirs(d, exist_ok=True)
            text = "\n".join(" ".join(rng.choice(words) for _ in range(12)) for _ in range(rng.randint(5, 400)))
            with open(os.path.join(d, "f%d.txt" % i), "wb") as f:
                f.write(text.encode(enc))
        nomatch = p + ".nomatch.txt"
        b.write_rules(nomatch, [("不存在的词组甲", "替换甲"), ("完全没有出现", "出现了")], enc)
        trees[enc] = (p, nomatch)
    gbk, utf8 = trees["gbk"], trees["utf-8"]
    cmds = {"vexa_gbk": "LC_ALL=zh_CN.gbk " + b.vexa(gbk[0], gbk[1], 1),
            "vexa_utf8": b.vexa(utf8[0], utf8[1], 1)}
    if a.before:
        cmds["before_gbk"] = "LC_ALL=zh_CN.gbk " + b.vexa(gbk[0], gbk[1], cli=a.before)
        cmds["before_utf8"] = b.vexa(utf8[0], utf8[1], cli=a.before)
    b.time("gbk", "no-match", gbk[0], cmds, restore=False)
    for p, _ in trees.values():
        shutil.rmtree(p)


def shape_utf16(b, a):
    p = b.gen("utf16", "--files", scaled(a, 4000), "--size-mb", 40 * a.scale, "--text-share", 1,
              "--utf16-share", 1, "--match-share", 0.5)
    rules = p + ".rules.txt"
    b.check("utf16", p, rules, False)
    cmds = {"vexa_j1": b.vexa("{D}", rules, 1), "vexa": b.vexa("{D}", rules), "rg_j1": b.rg("{D}", rules, 1),
            "rg": b.rg("{D}", rules, 0), "cat": b.cat("{D}")}
    b.time("utf16", "full", p, cmds)
    shutil.rmtree(p)


def shape_wide(b, a):
    p = os.path.join(b.base, "wide")
    os.makedirs(p)
    for k in range(scaled(a, 100000)):
        with open(os.path.join(p, "f%06d.txt" % k), "w") as f:
            f.write("line %d Oldbrand\n" % k if k % 10 == 0 else "line %d\n" % k)
    rules = p + ".rules.txt"
    b.write_rules(rules, [("Oldbrand", "Newbrand")])
    b.check("wide", p, rules, True)
    b.standard("wide", p, rules, None)
    shutil.rmtree(p)


def shape_deep(b, a):
    p = os.path.join(b.base, "deep")
    d = p
    for level in range(50):
        d = os.path.join(d, "level%02d" % level)
        os.makedirs(d)
        for k in range(20):
            with open(os.path.join(d, "f%d.txt" % k), "w") as f:
                f.write(("text Oldbrand %d\n" % k if k % 2 else "text %d\n" % k) * 50)
    rules = p + ".rules.txt"
    b.write_rules(rules, [("Oldbrand", "Newbrand")])
    b.check("deep", p, rules, True)
    b.standard("deep", p, rules, None)
    shutil.rmtree(p)


SITE_RULES = [
    ("旧科技有限公司", "新科技有限公司"),
    ("http://old.example.com/", "https://www.example.org/"),
    ("Oldbrand", "Interim"),           # chained: Oldbrand -> Interim -> Newbrand
    ("Interim", "Newbrand"),
    ("版权所有", "版权所有（保留一切权利）"),  # the replacement holds its find text
    ("010-12345678", "010-87654321"),
    ("客服热线", "服务热线"),
    ("old-logo.png", "new-logo.svg"),
    ("font-family: SimSun", "font-family: sans-serif"),
    ("jquery-1.4.2.min.js", "jquery-3.7.1.min.js"),
]


def shape_site(b, a):
    """A web site's shape: .htm/.txt/.css/.js with binaries among them, 4 to 5
    levels deep, the ten rules above, about one file in ten matching."""
    p = os.path.join(b.base, "site")
    rng = random.Random(11)
    words = ("北京 公司 产品 服务 新闻 联系 关于 首页 the quick brown fox jumps over lazy dog "
             "div span class href style color margin function return var").split()
    suffixes = [".htm", ".htm", ".htm", ".txt", ".css", ".js"]
    for i in range(scaled(a, 20000)):
        depth = 4 + i % 2
        d = os.path.join(p, *("s%d" % ((i >> (3 * k)) % 6) for k in range(depth)))
        os.makedirs(d, exist_ok=True)
        if i % 10 == 9:  # a binary, which holds none of the find texts
            with open(os.path.join(d, "img%d.png" % i), "wb") as f:
                f.write(bytes(rng.getrandbits(8) for _ in range(rng.randint(2000, 30000))))
            continue
        lines = [" ".join(rng.choice(words) for _ in range(10)) for _ in range(rng.randint(20, 600))]
        if rng.random() < 0.11:
            for find, _ in rng.sample(SITE_RULES, 2):
                lines.insert(rng.randrange(len(lines)), "<p>%s</p>" % find)
        with open(os.path.join(d, "f%d%s" % (i, rng.choice(suffixes))), "w", encoding="utf-8") as f:
            f.write("\r\n".join(lines) + "\r\n")
    rules, nomatch = p + ".rules.txt", p + ".nomatch.txt"
    b.write_rules(rules, SITE_RULES)
    b.write_rules(nomatch, [(f + "-zzqxj", r) for f, r in SITE_RULES])
    b.check("site", p, rules, True)
    b.standard("site", p, rules, nomatch)
    shutil.rmtree(p)


def shape_floor(b, a):
    """Every selected file holds one find text: vexa-cli -j1 against the bare
    safe replace of each file (bench/replace-floor) on the same files."""
    p = os.path.join(b.base, "floor")
    rng = random.Random(13)
    words = "the quick brown fox jumps over the lazy dog 北京 公司 产品 服务".split()
    for i in range(scaled(a, 20000)):
        d = os.path.join(p, "d%03d" % (i % 200))
        os.makedirs(d, exist_ok=True)
        lines = [" ".join(rng.choice(words) for _ in range(10)) for _ in range(rng.randint(20, 200))]
        lines.insert(rng.randrange(len(lines)), "Oldbrand")
        with open(os.path.join(d, "f%d.txt" % i), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
    rules = p + ".rules.txt"
    b.write_rules(rules, [("Oldbrand", "Newbrand")])
    b.check("floor", p, rules, True)
    floor = os.path.join(os.path.dirname(b.cli), "..", "..", "bench", "replace-floor")
    cmds = {"vexa_j1": b.vexa("{D}", rules, 1),
            "floor": b.find_files("{D}") + " | " + q(floor, "Oldbrand", "Newbrand")}
    b.time("floor", "full", p, cmds)
    shutil.rmtree(p)


SHAPES = {
    "tree": shape_tree,
    "allmatch": lambda b, a: shape_tree(b, a, "allmatch", ("--match-share", 1, "--text-share", 1)),
    "rules100": shape_rules100, "tiny": shape_tiny, "huge": shape_huge, "gig": shape_gig,
    "gbk": shape_gbk, "utf16": shape_utf16, "wide": shape_wide, "deep": shape_deep,
    "site": shape_site, "floor": shape_floor,
}


def report(b):
    print("\n| shape | run | vexa -j1 | vexa (all) | rg -j1 | rg | -j1 / rg -j1 | all / rg | all / sed | bound | before / -j1 |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    for shape, name, r in b.rows:
        m, ratio = r["median"], r["ratio"]
        def cell(key):
            return "%.3f" % m[key] if key in m else ""
        def rat(pair):
            return "%.2f" % ratio[pair] if pair in ratio else ""
        bound = "cat %.3f" % m["cat"] if "cat" in m else ("cp %.3f" % m["cp"] if "cp" in m else "")
        if "floor" in m:
            bound = "floor %.3f, -j1 / floor %s" % (m["floor"], rat("vexa_j1/floor"))
        if shape == "gbk":
            print("| gbk | no-match | GBK %.3f | UTF-8 %.3f | | | GBK / UTF-8 %s | | | | before GBK / UTF-8 %s |" % (
                m["vexa_gbk"], m["vexa_utf8"], rat("vexa_gbk/vexa_utf8"), rat("before_gbk/before_utf8")))
            continue
        sed = "1/%.1f" % ratio["sed/vexa"] if "sed/vexa" in ratio else ""
        print("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
            shape, name, cell("vexa_j1"), cell("vexa"), cell("rg_j1"), cell("rg"), rat("vexa_j1/rg_j1"),
            rat("vexa/rg"), sed, bound, rat("before/vexa_j1")))
    if b.memory:
        print("\n| shape | -j | peak memory | x largest file |")
        print("|---|---|---|---|")
        for shape, jobs, kb, largest in b.memory:
            print("| %s | %s | %.1f MB | %s |" % (shape, jobs, kb / 1024, "%.2f" % (kb * 1024 / largest) if largest else ""))
    print()
    for shape, note in b.checks:
        print("check %s: %s" % (shape, note))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--rounds", type=int, default=7)
    ap.add_argument("--scale", type=float, default=1.0)
    ap.add_argument("--only", default="tree,site,floor,huge,gig,tiny,allmatch,gbk,rules100,utf16,deep,wide")
    ap.add_argument("--before", help="an earlier vexa-cli to time beside (run without -j)")
    ap.add_argument("--cli", default=os.environ.get("VEXA_CLI", os.path.join(ROOT, "build/default/src/cli/vexa-cli")))
    a = ap.parse_args()
    b = Bench(a)
    print("machine: %d cores; load %s" % (os.cpu_count(), open("/proc/loadavg").read().split()[:3]), flush=True)
    try:
        for name in a.only.split(","):
            SHAPES[name](b, a)
            report(b)  # the table so far, in case a later shape cannot finish
    finally:
        print("load after: %s" % open("/proc/loadavg").read().split()[:3])
        shutil.rmtree(b.base, ignore_errors=True)
    return 1 if any("NO" in note for _, note in b.checks) else 0


if __name__ == "__main__":
    sys.exit(main())
