#!/usr/bin/python3
"""An independent reader of the tgd text format: prints the tree it finds.

Usage: tgd_tree.py FILE.tgd > tree.txt

Output lines (tab-separated, depth counted from 0 at the document line):
  DOC    name
  OBJ    depth  name  class
  BLOCK  depth  name                    a "property" block
  END    depth                          the end of an object or property block
  VAL    depth  name  kind  payload     kind S (a text, payload its bytes in hex),
                                        L (a string list, payload the items' hex joined by ","),
                                        B (binary data, payload its hex), E (empty)
Strings are read by the format's rules: 'text' without the apostrophes, and the coded form
'run'#13#10'run' with its codes turned into characters.
"""
import re
import sys

CODED = re.compile(r"^'[^']*'(?:(?:#\d{1,3})+'[^']*')+$")


def unquote(text):
    if CODED.match(text):
        out = bytearray()
        for run, codes in re.findall(r"'([^']*)'((?:#\d{1,3})*)", text):
            out += run.encode("latin-1")
            for code in re.findall(r"#(\d+)", codes):
                out.append(int(code))
        return bytes(out)
    return text[1:-1].encode("latin-1")


def lines_of(data):
    for line in re.split(r"\r\n|\n\r|\r|\n", data):
        yield line.lstrip(" ")


def continued(lines, closer):
    """The lines of a string list or of binary data, up to the one that ends with closer."""
    for line in lines:
        line = line.rstrip()
        last = line.endswith(closer)
        yield line[:-1].rstrip() if last else line
        if last:
            return


def value(text, lines):
    if text.startswith("("):
        if text.endswith(")"):
            return "E", ""
        items = [unquote(line).hex().upper() for line in continued(lines, ")")
                 if len(line) >= 2 and line[0] == "'" and line[-1] == "'"]
        return "L", ",".join(items)
    if text.startswith("{"):
        if text.endswith("}"):
            return "E", ""
        return "B", "".join(line.upper() for line in continued(lines, "}"))
    if len(text) >= 2 and text[0] == "'" and text[-1] == "'":
        return "S", unquote(text).hex().upper()
    if text == "":
        return "E", ""
    return "S", text.encode("latin-1").hex().upper()


def block(lines, depth, out):
    for line in lines:
        n = min(len(line), 3)
        if line[:n] == "end"[:n]:
            out.append("END\t%d" % depth)
            return
        if line.startswith("object "):
            head = line[len("object "):]
            name, cls = head.rsplit(":", 1)
            out.append("OBJ\t%d\t%s\t%s" % (depth + 1, name.strip(), cls.strip()))
            block(lines, depth + 1, out)
        elif line.startswith("property "):
            out.append("BLOCK\t%d\t%s" % (depth + 1, line.split(" ", 1)[1].strip()))
            block(lines, depth + 1, out)
        else:
            name, text = line.split("=", 1)
            kind, payload = value(text.strip(), lines)
            out.append("VAL\t%d\t%s\t%s\t%s" % (depth + 1, name.strip(), kind, payload))


def main():
    data = open(sys.argv[1], "rb").read().decode("latin-1")
    lines = lines_of(data)
    first = next(lines)
    assert first.startswith("document"), first
    out = ["DOC\t" + first[len("document "):].strip()]
    block(lines, 0, out)
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
