#!/usr/bin/env python3
"""Generates a realistic, reproducible folder tree for timing vexa-cli.

The same seed and options always give the same bytes. The tree holds text
files (.htm .txt .css .js, UTF-8 with Chinese) and binary files that a run
over those four suffixes does not select; sizes are log-normal, from a few
bytes to a few MiB; folders nest up to four levels. About --match-share of
the text files contain one or more find texts of the rules written beside
the tree; no other file contains any of them.

Beside the tree it writes:
  OUT.rules.txt          10 literal rules (some Chinese) in the rules file format
  OUT.rules-nomatch.txt  10 rules whose find texts occur nowhere in the tree
"""

import argparse
import math
import os
import random
import shutil
import sys

TEXT_SUFFIXES = ["htm", "txt", "css", "js"]
BINARY_SUFFIXES = ["png", "jpg", "gz", "bin", "woff"]

# find -> replacement. The find texts are built from words the filler never
# uses, so they occur only where the generator puts them.
RULES = [
    ("旧科技有限公司", "新科技有限公司"),
    ("http://old.example.com/", "https://www.example.org/"),
    ("版权所有 2019", "版权所有 2024"),
    ("Oldbrand", "Newbrand"),
    ("客服热线：400-800-1234", "客服热线：400-900-5678"),
    ("#c0ffee", "#0a0b0c"),
    ("jquery-1.4.2.min.js", "jquery-3.7.1.min.js"),
    ("北京市朝阳区老路 8 号", "上海市浦东新区新路 18 号"),
    ("legacyApiCall(", "modernApiCall("),
    ("Copyright 2019", "Copyright 2024"),
]
NOMATCH_RULES = [
    ("不存在的词组甲", "替换甲"),
    ("zzqxj-none-1", "x1"),
    ("不存在的词组乙", "替换乙"),
    ("zzqxj-none-2", "x2"),
    ("完全没有出现", "出现了"),
    ("zzqxj-none-3", "x3"),
    ("从未写过的句子", "句子"),
    ("zzqxj-none-4", "x4"),
    ("无此内容丙", "丙"),
    ("zzqxj-none-5", "x5"),
]

ZH_WORDS = (
    "我们 公司 产品 服务 用户 系统 数据 管理 技术 支持 网络 信息 安全 平台 发展 市场 "
    "客户 项目 质量 中心 文件 页面 内容 更新 设置 功能 时间 地址 电话 联系 关于 首页 新闻 "
    "帮助 文档 下载 注册 登录 搜索 结果 价格 订单 支付 说明 介绍 合作 伙伴 招聘 动态 通知 "
    "北京 上海 广州 深圳 杭州 成都 中国 世界 科技 软件 硬件 云端 存储 计算 智能 手机 电脑"
).split()
EN_WORDS = (
    "the of and to in is for on with as by at from this that be are or an it not have "
    "page content value data user item list table form input button style color width "
    "height margin padding border font size display block inline none auto left right "
    "top bottom center header footer main section article nav link image text title "
    "function return var let const if else for while new null true false this window "
    "document element event click load ready result error request response server client"
).split()


def words(rng, n, zh_share):
    out = []
    for _ in range(n):
        out.append(rng.choice(ZH_WORDS) if rng.random() < zh_share else rng.choice(EN_WORDS))
    return out


def line_htm(rng):
    kind = rng.random()
    if kind < 0.5:
        return "<p>" + "".join(words(rng, rng.randint(4, 18), 0.7)) + "</p>"
    if kind < 0.8:
        return '<div class="%s">%s</div>' % (rng.choice(EN_WORDS), " ".join(words(rng, 6, 0.4)))
    return '<a href="/%s/%s.htm">%s</a>' % (
        rng.choice(EN_WORDS), rng.choice(EN_WORDS), "".join(words(rng, 3, 0.9)))


def line_txt(rng):
    return "".join(words(rng, rng.randint(3, 25), 0.8)) + rng.choice(["。", "，", "！", ""])


def line_css(rng):
    if rng.random() < 0.25:
        return ".%s-%s {" % (rng.choice(EN_WORDS), rng.choice(EN_WORDS))
    if rng.random() < 0.2:
        return "}"
    return "  %s: %dpx; /* %s */" % (rng.choice(EN_WORDS), rng.randint(0, 999),
                                    "".join(words(rng, 2, 0.8)))


def line_js(rng):
    kind = rng.random()
    if kind < 0.4:
        return "  var %s = %s(%d);" % (rng.choice(EN_WORDS), rng.choice(EN_WORDS), rng.randint(0, 99))
    if kind < 0.7:
        return "  // %s" % "".join(words(rng, rng.randint(3, 10), 0.8))
    return '  %s.%s("%s");' % (rng.choice(EN_WORDS), rng.choice(EN_WORDS),
                               "".join(words(rng, 4, 0.6)))


LINE_MAKERS = {"htm": line_htm, "txt": line_txt, "css": line_css, "js": line_js}


def build_pool(rng, suffix, size):
    """A long run of lines of one kind; files are slices of it at line starts."""
    maker = LINE_MAKERS[suffix]
    eol = "\r\n" if suffix == "htm" else "\n"
    lines = []
    total = 0
    while total < size:
        line = maker(rng) + eol
        lines.append(line)
        total += len(line.encode("utf-8"))
    data = "".join(lines).encode("utf-8")
    for find, _ in RULES + NOMATCH_RULES:
        if find.encode("utf-8") in data:
            sys.exit("gen_corpus: filler text contains a find text: " + find)
    starts = [0]
    for line in lines[:-1]:
        starts.append(starts[-1] + len(line.encode("utf-8")))
    return data, starts


def log_normal_sizes(rng, count, total, max_size):
    sigma = 1.7
    raw = [rng.lognormvariate(0.0, sigma) for _ in range(count)]
    scale = total / sum(raw)
    for _ in range(8):  # rescale until the clamped sizes add up to the total
        sizes = [min(max_size, max(1, int(r * scale))) for r in raw]
        got = sum(sizes)
        if abs(got - total) < total * 0.01:
            break
        scale *= total / got
    return sizes


def make_folders(rng, count, depth):
    folders = [""]
    frontier = [""]
    while len(folders) < count:
        parent = rng.choice(frontier)
        name = "%s_%d" % (rng.choice(EN_WORDS + ["资料", "图片", "网页", "样式", "脚本"]),
                          len(folders))
        path = os.path.join(parent, name)
        folders.append(path)
        if path.count(os.sep) + 1 < depth:
            frontier.append(path)
    return folders


def text_file(rng, pool, starts, size, matching):
    """A slice of the pool at a line start, about size bytes, optionally with find texts."""
    if size >= len(pool):
        size = len(pool) - 1
    i = rng.randrange(0, len(starts))
    begin = starts[i]
    if begin + size > len(pool):
        begin = 0
    chunk = pool[begin:begin + size]
    # Cut back to a character boundary so that the text stays valid UTF-8.
    end = len(chunk)
    while end > 0 and (chunk[end - 1] & 0xC0) == 0x80:
        end -= 1
    if end > 0 and chunk[end - 1] >= 0xC0:
        end -= 1
    chunk = chunk[:end]
    if not matching:
        return chunk
    hits = rng.randint(1, 4)
    for _ in range(hits):
        find = rng.choice(RULES)[0].encode("utf-8")
        at = chunk.rfind(b"\n", 0, rng.randint(0, len(chunk))) + 1 if chunk else 0
        chunk = chunk[:at] + find + b" " + chunk[at:]
    return chunk


def encode(rng, data, bom_share, utf16_share):
    roll = rng.random()
    if roll < utf16_share:
        text = data.decode("utf-8")
        if rng.random() < 0.5:
            return b"\xff\xfe" + text.encode("utf-16-le")
        return b"\xfe\xff" + text.encode("utf-16-be")
    if roll < utf16_share + bom_share:
        return b"\xef\xbb\xbf" + data
    return data


def write_rules(path, rules):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for find, repl in rules:
            f.write("%s`%s\n" % (find, repl))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("out", help="folder to create (replaced if it exists)")
    ap.add_argument("--files", type=int, default=20000, help="number of files (20000)")
    ap.add_argument("--size-mb", type=float, default=200, help="total size in MB (200)")
    ap.add_argument("--seed", type=int, default=1, help="random seed (1)")
    ap.add_argument("--text-share", type=float, default=0.6, help="share of files that are text (0.6)")
    ap.add_argument("--match-share", type=float, default=0.1,
                    help="share of text files holding a find text (0.1)")
    ap.add_argument("--bom-share", type=float, default=0.0, help="share of UTF-8 files with a mark (0)")
    ap.add_argument("--utf16-share", type=float, default=0.0, help="share of UTF-16 files (0)")
    ap.add_argument("--max-file-mb", type=float, default=4, help="largest file in MiB (4)")
    ap.add_argument("--depth", type=int, default=4, help="deepest folder level (4)")
    ap.add_argument("--one-file-mb", type=float, default=0,
                    help="instead of a tree, one .txt file of this many MB (memory test)")
    args = ap.parse_args()

    rng = random.Random(args.seed)
    out = args.out.rstrip("/")
    if os.path.exists(out):
        shutil.rmtree(out)
    os.makedirs(out)
    write_rules(out + ".rules.txt", RULES)
    write_rules(out + ".rules-nomatch.txt", NOMATCH_RULES)

    if args.one_file_mb > 0:
        pool, starts = build_pool(rng, "txt", 8 << 20)
        target = int(args.one_file_mb * 1_000_000)
        with open(os.path.join(out, "big.txt"), "wb") as f:
            written = 0
            while written < target:
                piece = text_file(rng, pool, starts, min(4 << 20, target - written), True)
                f.write(piece)
                written += len(piece)
        print("gen_corpus: %s/big.txt, %d bytes" % (out, written))
        return

    max_size = int(args.max_file_mb * (1 << 20))
    pools = {s: build_pool(rng, s, max_size + (2 << 20)) for s in TEXT_SUFFIXES}
    folders = make_folders(rng, max(1, args.files // 25), args.depth)
    for folder in folders[1:]:
        os.makedirs(os.path.join(out, folder), exist_ok=True)

    # Text files carry about 80% of the bytes, binaries the rest.
    total = int(args.size_mb * 1_000_000)
    n_text = int(round(args.files * args.text_share))
    n_bin = args.files - n_text
    text_sizes = log_normal_sizes(rng, n_text, total * 0.8, max_size)
    bin_sizes = log_normal_sizes(rng, n_bin, total * 0.2, max_size) if n_bin else []

    kinds = [("t", s) for s in text_sizes] + [("b", s) for s in bin_sizes]
    rng.shuffle(kinds)
    matched = written = 0
    for n, (kind, size) in enumerate(kinds):
        folder = rng.choice(folders)
        if kind == "t":
            suffix = rng.choice(TEXT_SUFFIXES)
            matching = rng.random() < args.match_share
            matched += matching
            pool, starts = pools[suffix]
            data = encode(rng, text_file(rng, pool, starts, size, matching),
                          args.bom_share, args.utf16_share)
        else:
            suffix = rng.choice(BINARY_SUFFIXES)
            data = rng.randbytes(size)
        # One dot per name: the selection by suffix is the same for every tool.
        with open(os.path.join(out, folder, "f%05d.%s" % (n, suffix)), "wb") as f:
            f.write(data)
        written += len(data)
    print("gen_corpus: %s: %d files (%d text, %d with a find text), %.1f MB, %d folders"
          % (out, len(kinds), n_text, matched, written / 1e6, len(folders)))


if __name__ == "__main__":
    main()
