#!/usr/bin/env python3
"""Line-based mutants of the C++ sources, for scripts/mutants.sh.

A small stand-in for universalmutator's C/C++ rules, standard library only:
each mutant changes one source line by one regular-expression rule, outside
comments, string and character literals and preprocessor lines. A mutant is
named FILE:LINE:RULE:VARIANT (the variant counts the rule's changes on that
line, left to right), so the same source always gives the same names and a
list of names can be checked again later.

  mutants.py list   [--root DIR] [FOLDER...]     every mutant: id, folder, diff
  mutants.py sample [--root DIR] --seed N --count FOLDER=N ...
  mutants.py apply  --root DIR ID                 write the mutated file
  mutants.py show   [--root DIR] ID               the line before and after
"""

import argparse
import random
import re
import sys
from pathlib import Path

# What is mutated: the folders and which of their files. Windows-only files
# are not built on Linux, so their mutants could never be tested here. Of the
# Qt window (src/qt) only the pieces with a Qt test of their own: the menu
# images, the picture library with the flat controls, the update check and
# the web links; the rest is left to the window tests.
FOLDERS = {
    "src/hosts": None,
    "src/cli": None,
    "src/helper": None,
    "src/settings": None,
    "src/language": None,
    "src/presenter": None,
    "src/web": None,
    "src/icons": None,
    "src/qt": [
        "menu_image.cpp",
        "main_menu_images.cpp",
        "icon_library.cpp",
        "flat_controls.cpp",
        "version_check.cpp",
        "open_web.cpp",
    ],
}
WINDOWS_ONLY = re.compile(r"(_win\.cpp|win_file\.cpp|windows_console\.cpp)$")


def folder_files(root, folder):
    names = FOLDERS[folder]
    if names is None:
        paths = sorted((root / folder).glob("*.cpp"))
    else:
        paths = [root / folder / name for name in names]
    return [p for p in paths if not WINDOWS_ONLY.search(p.name)]


# ---------------------------------------------------------------------------
# Masking: every character that is not code (comments, literals' contents,
# preprocessor lines) becomes '\0', so the rules below only ever see code and
# a match's columns are the same in the real line.


# Macros as the Linux test build sees them; lines in branches it leaves out
# are never compiled there, so no test could notice a change to them. The
# helper's tests build it with its test hosts file.
DEFINED = {"__linux__", "HUSHGATE_HELPER_TEST_HOSTS"}
UNDEFINED = {"_WIN32", "__APPLE__", "_MSC_VER", "NOMINMAX"}


def branch_taken(directive, argument):
    """True, False, or None where this script cannot tell (counted as taken)."""
    name = argument.strip()
    if directive in ("ifdef", "ifndef"):
        if name in DEFINED or name in UNDEFINED:
            return (name in DEFINED) == (directive == "ifdef")
        return None
    m = re.fullmatch(r"(!)?\s*defined\s*\(?\s*(\w+)\s*\)?", name)
    if m and (m.group(2) in DEFINED or m.group(2) in UNDEFINED):
        return (m.group(2) in DEFINED) != bool(m.group(1))
    return None


def mask_lines(text):
    lines = text.split("\n")
    masked = []
    # One entry per open #if: (compiled, some branch was taken).
    conditionals = []
    in_block = False  # inside /* */
    raw_end = None  # inside a raw string: its closing )delim"
    continued = False  # preprocessor line continued by a backslash
    for line in lines:
        if continued or (not in_block and raw_end is None and line.lstrip().startswith("#")):
            if not continued:
                d = re.match(r"\s*#\s*(\w+)\s*(.*?)\s*(//.*|/\*.*)?$", line)
                directive, argument = (d.group(1), d.group(2)) if d else ("", "")
                outer = all(c for c, _ in conditionals)
                if directive in ("if", "ifdef", "ifndef"):
                    taken = branch_taken(directive, argument) is not False
                    conditionals.append((outer and taken, taken))
                elif directive in ("elif", "else") and conditionals:
                    _, was_taken = conditionals.pop()
                    outer = all(c for c, _ in conditionals)
                    taken = not was_taken and (directive == "else" or branch_taken("if", argument) is not False)
                    conditionals.append((outer and taken, was_taken or taken))
                elif directive == "endif" and conditionals:
                    conditionals.pop()
            masked.append("\0" * len(line))
            continued = line.endswith("\\")
            continue
        if not all(c for c, _ in conditionals):
            masked.append("\0" * len(line))
            continue
        out = []
        i = 0
        n = len(line)
        while i < n:
            if in_block:
                end = line.find("*/", i)
                if end < 0:
                    out.append("\0" * (n - i))
                    i = n
                else:
                    out.append("\0" * (end + 2 - i))
                    i = end + 2
                    in_block = False
                continue
            if raw_end is not None:
                end = line.find(raw_end, i)
                if end < 0:
                    out.append("\0" * (n - i))
                    i = n
                else:
                    out.append("\0" * (end - i + len(raw_end) - 1) + '"')
                    i = end + len(raw_end)
                    raw_end = None
                continue
            c = line[i]
            if line.startswith("//", i):
                out.append("\0" * (n - i))
                i = n
            elif line.startswith("/*", i):
                in_block = True
                out.append("\0\0")
                i += 2
            elif c == '"' and i > 0 and line[i - 1] == "R" and (i < 2 or not (line[i - 2].isalnum() or line[i - 2] == "_")):
                paren = line.find("(", i)
                raw_end = ")" + line[i + 1 : paren] + '"'
                out.append('"' + "\0" * (paren - i))
                i = paren + 1
            elif c in "\"'":
                # A digit separator (1'000) is not a character literal.
                if c == "'" and i > 0 and line[i - 1].isalnum() and i + 1 < n and line[i + 1].isalnum():
                    out.append(c)
                    i += 1
                    continue
                j = i + 1
                while j < n and line[j] != c:
                    j += 2 if line[j] == "\\" else 1
                j = min(j, n - 1)
                out.append(c + "\0" * (j - i - 1) + c)
                i = j + 1
            else:
                out.append(c)
                i += 1
        masked.append("".join(out)[:n])
    return lines, masked


# ---------------------------------------------------------------------------
# Rules. Each gives (start, end, replacement) spans on one masked line. The
# binary operators are recognised by the spaces clang-format puts around
# them, which keeps pointers (char* p), templates (a<b>) and unary minus out.

BINARY_SWAPS = {
    "aor": [(" + ", [" - "]), (" - ", [" + "]), (" * ", [" / "]), (" / ", [" * "]),
            (" % ", [" * "]), (" += ", [" -= "]), (" -= ", [" += "])],
    "ror": [(" == ", [" != "]), (" != ", [" == "]), (" < ", [" <= ", " > "]),
            (" <= ", [" < ", " > "]), (" > ", [" >= ", " < "]), (" >= ", [" > ", " < "])],
    "lcr": [(" && ", [" || "]), (" || ", [" && "]), (" & ", [" | "]), (" | ", [" & "])],
}


def binary_rule(masked, table):
    spans = []
    for op, replacements in table:
        start = masked.find(op)
        while start >= 0:
            # " < " inside " << " or " <= " and the like are other operators.
            before = masked[start - 1] if start > 0 else " "
            after = masked[start + len(op)] if start + len(op) < len(masked) else " "
            # A string literal beside + or - is concatenation: the swap would not compile.
            literal = table is BINARY_SWAPS["aor"] and '"' in (masked[start - 1 : start], masked[start + len(op) : start + len(op) + 1])
            if before not in "<>=!&|+-*/%" and after not in "<>=&|" and not literal:
                for r in replacements:
                    spans.append((start, start + len(op), r))
            start = masked.find(op, start + 1)
    return sorted(spans)


def rule_incdec(masked):
    spans = []
    for m in re.finditer(r"\+\+|--", masked):
        spans.append((m.start(), m.end(), "--" if m.group() == "++" else "++"))
    return spans


def rule_not(masked):
    # !x -> x (but not !=).
    return [(m.start(), m.end(), "") for m in re.finditer(r"!(?!=)", masked)]


def matching_paren(masked, open_at):
    depth = 0
    for i in range(open_at, len(masked)):
        if masked[i] == "(":
            depth += 1
        elif masked[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def rule_cond(masked):
    # if (x) -> if (!(x)), while (x) -> while (!(x)); conditions on one line only.
    spans = []
    for m in re.finditer(r"\b(if|while)\s*\(", masked):
        open_at = m.end() - 1
        close = matching_paren(masked, open_at)
        if close < 0:
            continue
        inner = masked[open_at + 1 : close]
        if ";" in inner or re.match(r"\s*(constexpr|auto|const)\b", inner):
            continue
        spans.append((open_at + 1, close, "!(" + "\x01" + ")"))
    return spans


NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F']+|\d[\d']*)([uUlL]*)(?![\w.])")


def rule_const(masked):
    spans = []
    for m in NUMBER.finditer(masked):
        digits, suffix = m.group(1), m.group(2)
        plain = digits.replace("'", "")
        if plain.lower().startswith("0x"):
            value = int(plain, 16)
        elif len(plain) > 1 and plain.startswith("0"):
            continue  # octal: none in these sources worth the trouble
        else:
            value = int(plain)
        seen = set()
        for new in (value + 1, 0, 1):
            if new == value or new in seen:
                continue
            seen.add(new)
            text = hex(new) if digits.lower().startswith("0x") else str(new)
            spans.append((m.start(), m.end(), text + suffix))
    return spans


def rule_bool(masked):
    return [(m.start(), m.end(), "false" if m.group() == "true" else "true")
            for m in re.finditer(r"\b(true|false)\b", masked)]


def rule_break(masked):
    return [(m.start(), m.end(), "continue" if m.group() == "break" else "break")
            for m in re.finditer(r"\b(break|continue)(?=\s*;)", masked)]


def rule_return(masked):
    m = re.match(r"^(\s*return\s+)(.+);\s*$", masked)
    if not m:
        return []
    value = m.group(2).strip()
    if value in ("{}", "false", "true", "nullptr", "0") or value.startswith("{}"):
        return []
    return [(m.start(2), m.end(2), "{}")]


KEYWORD_STATEMENTS = ("return", "break", "continue", "case", "default", "goto", "co_return",
                      "public", "private", "protected", "using", "typedef", "template",
                      "namespace", "friend", "static_assert", "extern", "enum", "struct",
                      "class", "union", "else", "do")
DECLARATION = re.compile(
    r"^\s*(?:(?:const|constexpr|static|inline|thread_local|volatile|mutable|unsigned|signed|auto)\b"
    r"|[A-Za-z_][\w:]*(?:<[^;=()]*>)?[\s*&]+(?:const\s+)?[*&]*[A-Za-z_]\w*\s*(?:=|\{|\(|;|\[|,|:))")
STATEMENT_OPENERS = ("throw",)


def rule_delete(masked, previous_code):
    # Deletes a statement that is one whole line: it ends with ';', starts a
    # statement (the code before it ended one) and declares nothing.
    code = masked.rstrip().replace("\0", "")
    stripped = code.strip()
    if not stripped.endswith(";") or stripped.startswith("}") or stripped.startswith("{"):
        return []
    if previous_code is None or previous_code[-1:] not in (";", "{", "}", ":"):
        return []
    first = re.match(r"[A-Za-z_]\w*", stripped)
    if first and first.group() in KEYWORD_STATEMENTS:
        return []
    if not (first and first.group() in STATEMENT_OPENERS) and DECLARATION.match(stripped):
        return []
    if "=" in stripped and re.match(r"^[\w:<>]+\s*\(.*\)\s*(const\s*)?=\s*(default|delete)", stripped):
        return []
    if stripped.startswith(("for", "if", "while", "switch")):
        return []
    return [(0, len(masked), "\x02")]


RULES = ["aor", "ror", "lcr", "incdec", "not", "cond", "const", "bool", "break", "return", "delete"]


def line_mutants(masked, previous_code):
    for rule in RULES:
        if rule in BINARY_SWAPS:
            spans = binary_rule(masked, BINARY_SWAPS[rule])
        elif rule == "delete":
            spans = rule_delete(masked, previous_code)
        else:
            spans = globals()["rule_" + rule](masked)
        for variant, span in enumerate(spans):
            yield rule, variant, span


def apply_span(line, span):
    start, end, replacement = span
    if replacement == "\x02":
        return ""
    if "\x01" in replacement:
        return line[:start] + replacement.replace("\x01", line[start:end]) + line[end:]
    return line[:start] + replacement + line[end:]


def file_mutants(root, path):
    """(id, line number, original line, mutated line) for one file."""
    rel = path.relative_to(root).as_posix()
    lines, masked = mask_lines(path.read_text(encoding="utf-8"))
    previous_code = None
    result = []
    for number, (line, mline) in enumerate(zip(lines, masked), start=1):
        if mline.strip("\0 \t"):
            for rule, variant, span in line_mutants(mline, previous_code):
                mutated = apply_span(line, span)
                if mutated != line:
                    result.append((f"{rel}:{number}:{rule}:{variant}", number, line, mutated))
        code = mline.replace("\0", "").strip()
        if code:
            previous_code = code
    return result


def all_mutants(root, folders):
    out = []
    for folder in folders:
        for path in folder_files(root, folder):
            for mutant in file_mutants(root, path):
                out.append((folder,) + mutant)
    return out


def find_mutant(root, mutant_id):
    rel, number, rule, variant = mutant_id.rsplit(":", 3)
    for mutant in file_mutants(root, root / rel):
        if mutant[0] == mutant_id:
            return rel, mutant
    raise SystemExit(f"mutants.py: no mutant {mutant_id} (has the source changed?)")


def printable(text):
    return text.replace("\t", " ").strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["list", "sample", "apply", "show"])
    parser.add_argument("args", nargs="*")
    parser.add_argument("--root", default=".")
    parser.add_argument("--seed", type=int, default=19)
    parser.add_argument("--count", action="append", default=[],
                        help="FOLDER=N mutants drawn from FOLDER (sample)")
    opts = parser.parse_args()
    root = Path(opts.root).resolve()

    if opts.command == "list":
        folders = opts.args or list(FOLDERS)
        for folder, mid, number, line, mutated in all_mutants(root, folders):
            print(f"{mid}\t{folder}\t{printable(line)}\t{printable(mutated)}")
    elif opts.command == "sample":
        # One generator per folder, seeded by the seed and the folder's name,
        # so changing one folder's count leaves the others' draws alone. The
        # folders are spread evenly over the list, so a run cut short still
        # has its share of each.
        drawn = []
        for item in opts.count:
            folder, count = item.rsplit("=", 1)
            mutants = [m[1] for m in all_mutants(root, [folder])]
            rng = random.Random(f"{opts.seed}:{folder}")
            chosen = rng.sample(mutants, min(int(count), len(mutants)))
            drawn.append(chosen)  # in the order drawn: any first part is a fair sample too
        spread = [((i + 0.5) / len(d), k, mid) for k, d in enumerate(drawn) for i, mid in enumerate(d)]
        for _, _, mid in sorted(spread):
            print(mid)
    elif opts.command == "show":
        for mid in opts.args:
            rel, (mid, number, line, mutated) = find_mutant(root, mid)
            print(f"{mid}\n- {printable(line)}\n+ {printable(mutated)}")
    elif opts.command == "apply":
        (mid,) = opts.args
        rel, (mid, number, line, mutated) = find_mutant(root, mid)
        path = root / rel
        lines = path.read_text(encoding="utf-8").split("\n")
        lines[number - 1] = mutated
        path.write_text("\n".join(lines), encoding="utf-8")
        print(f"{printable(line)}\t{printable(mutated)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
