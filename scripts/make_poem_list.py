#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes assets/ichirun.txt, the poem list that タワユ一覧 shows, from the
# program's own poem table: number, upper and lower verse, poet; Shift-JIS
# (code page 932) with CR LF line ends, as the program reads it.
import os
import re

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
SPACE = "\u3000"


def main():
    source = open(os.path.join(ROOT, "src", "core", "poem_catalogue.cpp"), encoding="utf-8").read()
    columns = []
    for k in range(5):
        block = source.split(f"kColumn{k} = {{", 1)[1].split("};", 1)[0]
        columns.append(re.findall(r'u"([^"]*)"', block))
    lines = ["タワユ一覧　―　百人一首", ""]
    for row in range(100):
        number = str(row + 1).rjust(3)
        upper, lower, poet = columns[0][row], columns[1][row].rstrip(SPACE), columns[4][row][1:]
        lines.append(f"{number}　{upper}")
        lines.append(f"　　　{lower}")
        lines.append(f"　　　　　　　　（{poet.rstrip('■')}）")
    text = "\r\n".join(lines) + "\r\n"
    with open(os.path.join(ROOT, "assets", "ichirun.txt"), "wb") as f:
        f.write(text.encode("cp932"))


if __name__ == "__main__":
    main()
