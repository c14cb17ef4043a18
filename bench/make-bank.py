#!/usr/bin/env python3
"""Fills the question bank of a data folder made by vemo-init for the scale benchmarks.

    bench/make-bank.py FOLDER [--questions N] [--matching]

Realistic (default): N questions over the five types, 20 subjects, the four target groups
and three difficulties, and the paper "规模试卷" of 15 rule items and 190 questions
(单科, subject 安全生产). --matching: N 单选题 all of 安全生产/一线员工/简单, and the paper
"百题试卷" drawing 100 of them by one rule. The bank tables are emptied first; their
indexes, whatever the folder has, are dropped for the fill and made again afterwards.
"""
import argparse
import os
import random
import sqlite3
import sys
import time

TYPES = ["单选题", "判断题", "填空题", "多选题", "问答题"]
GROUPS = ["一线员工", "班组长", "技术人员", "管理人员"]
DIFFICULTIES = ["简单", "中等", "困难"]
SUBJECTS = ["安全生产"] + ["科目%02d" % i for i in range(1, 20)]

# 15 items, 190 questions: 50 + 40 + 40 + 40 + 20.
REALISTIC_RULES = {
    "单选题": "每题1分。一线员工:简单=20,中等=20,困难=10,;",
    "判断题": "每题1分。一线员工:简单=15,中等=15,;班组长:简单=10,;",
    "填空题": "每题1分。一线员工:简单=15,;班组长:中等=15,;技术人员:困难=10,;",
    "多选题": "每题2分。一线员工:简单=20,中等=10,;管理人员:困难=10,;",
    "问答题": "每题5分。一线员工:中等=10,;班组长:中等=5,;技术人员:简单=5,;",
}


def question(qtype, number, subject, group, difficulty):
    options = {
        "单选题": ("A", "选项一", "选项二", "选项三", "选项四", None),
        "多选题": ("AC", "选项一", "选项二", "选项三", "选项四", "选项五"),
        "判断题": ("A", "正确", "错误", None, None, None),
    }.get(qtype, ("参考答案", None, None, None, None, None))
    stem = "第%d题：关于%s的下列说法中，符合规定的是哪一项" % (number, subject)
    return (subject, qtype, stem) + options + (difficulty, group)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--questions", type=int, default=1000000)
    parser.add_argument("--matching", action="store_true")
    args = parser.parse_args()
    path = os.path.join(args.folder, "questions.mdb")
    if not os.path.exists(path):
        sys.exit(path + " is missing: make the folder with vemo-init first")

    started = time.time()
    db = sqlite3.connect(path, isolation_level=None)
    db.execute("pragma journal_mode=off")
    db.execute("pragma synchronous=off")
    db.execute("begin")
    indexes = db.execute(
        "select name, sql from sqlite_master where type='index' and sql is not null and "
        "tbl_name in (%s)" % ",".join("?" * len(TYPES)), TYPES).fetchall()
    for name, _ in indexes:
        db.execute('drop index "%s"' % name)
    rng = random.Random(20261209)
    for qtype in TYPES:
        db.execute('delete from "%s"' % qtype)
    insert = ('insert into "%s"(科目,题型,题干,答案,A,B,C,D,E,难度,对象) '
              "values(?,?,?,?,?,?,?,?,?,?,?)")
    if args.matching:
        rows = (question("单选题", i, "安全生产", "一线员工", "简单")
                for i in range(args.questions))
        db.executemany(insert % "单选题", rows)
    else:
        for t, qtype in enumerate(TYPES):
            share = args.questions // len(TYPES) + (t < args.questions % len(TYPES))
            rows = (question(qtype, i, rng.choice(SUBJECTS), rng.choice(GROUPS),
                             rng.choice(DIFFICULTIES)) for i in range(share))
            db.executemany(insert % qtype, rows)
    for _, sql in indexes:
        db.execute(sql)

    name = "百题试卷" if args.matching else "规模试卷"
    rules = ({"单选题": "每题1分。一线员工:简单=100,;"} if args.matching else REALISTIC_RULES)
    db.execute("delete from exampaper where 名称=?", (name,))
    db.execute(
        "insert into exampaper(名称,科目,单选题,判断题,填空题,多选题,问答题,科目选项) "
        "values(?,?,?,?,?,?,?,?)",
        (name, "安全生产") + tuple(rules.get(t, "空") for t in TYPES) + ("单科",))
    db.execute("commit")
    db.close()
    print("%s: %d questions in %.1f s" % (path, args.questions, time.time() - started))


if __name__ == "__main__":
    main()
