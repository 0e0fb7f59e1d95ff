"""Mutants made mechanically from the game's C++ sources, for scripts/planted_faults.py --systematic.

A small tokenizer reads each source (comments, string and character literals
and preprocessor lines are never touched) and five operators each make one
small change at a time:

    relational  a comparison moved to its neighbour: < and <=, > and >=, == and !=
    constant    an integer literal one more and one less (not an octal one, nor in
                template arguments, array sizes of declarations, static_assert or "= 0")
    drop-call   a statement that is only a call, `Foo(a);` or `game.outside->Bar();`,
                removed (its semicolon stays, so `if (c) Foo();` keeps its shape)
    negate      the condition of an if or a while, `if (c)` to `if (!(c))`, and the
                condition of a ?: to `!(c) ? a : b`
    swap-args   two neighbouring arguments of a call exchanged (not when they read
                the same, nor in min, max, swap and the like where order is moot)

Each mutant has an id, path:line:operator:hash, where the hash is taken from
the file, the operator, the line(s) before and after, and which of several
identical changes in the file it is. The line number only helps a reader:
notes match ids without it, so they survive edits elsewhere in the file.
"""

import hashlib
import pathlib
import re
import subprocess

# The folders whose C++ ships in the game: every top-level folder holding C++
# sources except these, so a folder added for a new part is mutated too.
NOT_SHIPPED = {"tests", "bench", "tools", "build", "scripts", "docs", "assets", "packaging", "package", "play"}

OPERATORS = ["relational", "constant", "drop-call", "negate", "swap-args"]

PUNCTUATORS = sorted("""
    <=> ->* <<= >>= ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= .*
    { } [ ] ( ) ; : ? , . + - * / % ^ & | ~ ! = < > #
""".split(), key=len, reverse=True)

KEYWORDS = set("""
    alignas alignof and asm auto bool break case catch char char8_t char16_t char32_t class concept const
    consteval constexpr constinit const_cast continue co_await co_return co_yield decltype default delete do
    double dynamic_cast else enum explicit export extern false float for friend goto if inline int long
    mutable namespace new noexcept not nullptr operator or private protected public register
    reinterpret_cast requires return short signed sizeof static static_assert static_cast struct switch
    template this thread_local throw true try typedef typeid typename union unsigned using virtual void
    volatile wchar_t while
""".split())
# Keywords that can start a declaration's type, so `int x[3]` is a declaration.
TYPE_WORDS = {"auto", "bool", "char", "char8_t", "char16_t", "char32_t", "const", "constexpr", "constinit",
              "double", "float", "inline", "int", "long", "mutable", "short", "signed", "static",
              "thread_local", "unsigned", "void", "volatile", "wchar_t"}
# Calls whose arguments commute, and checks that vanish from the build or only quiet warnings.
COMMUTING_CALLS = {"min", "max", "swap", "hypot", "gcd", "lcm", "qMin", "qMax", "qSwap"}
NOT_DROPPED = {"assert", "Q_ASSERT", "Q_ASSERT_X", "Q_UNUSED", "static_assert", "Q_DISABLE_COPY",
               "Q_DISABLE_COPY_MOVE"}
RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}

INTEGER = re.compile(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|0|[1-9][0-9']*)([uUlLzZ]*)")
RAW_STRING = re.compile(r'(u8|u|U|L)?R"([^()\\\s]{0,16})\(')
QUOTE = re.compile(r"(u8|u|U|L)?([\"'])")


class Token:
    __slots__ = ("kind", "text", "start", "end", "line")

    def __init__(self, kind, text, start, end, line):
        self.kind, self.text, self.start, self.end, self.line = kind, text, start, end, line

    def __repr__(self):
        return f"{self.kind}:{self.text}@{self.line}"


def tokenize(text):
    """The tokens of a C++ source: id, num, str, char, op. Comments and
    preprocessor lines are left out."""
    tokens, i, line, n = [], 0, 1, len(text)
    line_start = True  # only white space since the last new line
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
            line_start = True
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            line += text.count("\n", i, j)
            i = j
            continue
        if c == "#" and line_start:
            # A directive runs to the end of the line, backslashes joining lines.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    line += 1
                    i += 1
                elif text.startswith("/*", i):
                    j = text.find("*/", i + 2)
                    j = n if j < 0 else j
                    line += text.count("\n", i, j)
                    i = j + 1
                i += 1
            continue
        line_start = False
        start = i
        m = RAW_STRING.match(text, i)
        if m:
            close = ")" + m.group(2) + '"'
            j = text.find(close, m.end())
            j = n if j < 0 else j + len(close)
            tokens.append(Token("str", text[start:j], start, j, line))
            line += text.count("\n", start, j)
            i = j
            continue
        m = QUOTE.match(text, i)
        if m:
            quote = m.group(2)
            j = m.end()
            while j < n and text[j] != quote and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            tokens.append(Token("str" if quote == '"' else "char", text[start:j], start, j, line))
            i = j
            continue
        if c.isalpha() or c == "_" or ord(c) > 127:
            j = i + 1
            while j < n and (text[j].isalnum() or text[j] == "_" or ord(text[j]) > 127):
                j += 1
            tokens.append(Token("id", text[i:j], i, j, line))
            i = j
            continue
        if c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            j = i + 1
            while j < n:
                if text[j] in "eEpP" and j + 1 < n and text[j + 1] in "+-":
                    j += 2
                elif text[j].isalnum() or text[j] in "._" or (text[j] == "'" and j + 1 < n and text[j + 1].isalnum()):
                    j += 1
                else:
                    break
            tokens.append(Token("num", text[i:j], i, j, line))
            i = j
            continue
        for p in PUNCTUATORS:
            if text.startswith(p, i):
                tokens.append(Token("op", p, i, i + len(p), line))
                i += len(p)
                break
        else:
            i += 1  # a stray character: nothing to mutate in it
    return tokens


class Source:
    """One file's tokens with what the operators need to know about them:
    matching brackets, template angle brackets, and which braces hold code."""

    def __init__(self, path, text):
        self.path, self.text = path, text
        self.tokens = tokenize(text)
        self.match = {}
        self.enclosing = [None] * len(self.tokens)  # index of the innermost open bracket
        self.code_braces = set()
        self.template_open, self.template_close = set(), set()
        self._brackets()
        self._templates()
        self._code_braces()

    def t(self, i):
        return self.tokens[i].text if 0 <= i < len(self.tokens) else ""

    def _brackets(self):
        stack = []
        pairs = {")": "(", "]": "[", "}": "{"}
        for i, tok in enumerate(self.tokens):
            self.enclosing[i] = stack[-1] if stack else None
            if tok.kind != "op":
                continue
            if tok.text in "([{":
                stack.append(i)
            elif tok.text in pairs:
                # Unbalanced text (a macro's half): drop back to the matching kind.
                while stack and self.t(stack[-1]) != pairs[tok.text]:
                    stack.pop()
                if stack:
                    j = stack.pop()
                    self.match[i], self.match[j] = j, i
                    self.enclosing[i] = stack[-1] if stack else None

    def _templates(self):
        """Marks `<` that open template arguments and their `>`: a `<` after a
        name whose contents, up to a balancing `>`, could all be types or constants."""
        allowed_ops = {"::", ",", "*", "&", "...", "(", ")", "[", "]", "<", ">", ">>", "-", "+", "."}
        for i, tok in enumerate(self.tokens):
            if tok.text != "<" or tok.kind != "op":
                continue
            prev = self.tokens[i - 1] if i else None
            if prev is None or not (prev.kind == "id" and (prev.text not in KEYWORDS or prev.text in (
                    "template", "static_cast", "dynamic_cast", "const_cast", "reinterpret_cast"))):
                continue
            depth, parens, closes = 1, 0, []
            j = i + 1
            while j < len(self.tokens):
                u = self.tokens[j]
                if u.kind == "op" and u.text not in allowed_ops:
                    break
                if u.kind == "str":
                    break
                if u.text == "(":
                    parens += 1
                elif u.text == ")":
                    parens -= 1
                    if parens < 0:
                        break
                elif u.text == "<" and parens == 0:
                    depth += 1
                elif u.text in (">", ">>") and parens == 0:
                    closes.append(j)
                    depth -= 1 if u.text == ">" else 2
                    if depth <= 0:
                        self.template_open.add(i)
                        self.template_close.update(closes)
                        break
                j += 1

    def _code_braces(self):
        """Braces whose contents are statements: function and lambda bodies and
        the blocks within them, as opposed to classes, namespaces, enums and
        initializer lists."""
        for i, tok in enumerate(self.tokens):
            if tok.text != "{" or tok.kind != "op":
                continue
            prev = self.t(i - 1)
            outer = self.enclosing[i]
            in_code = outer is not None and outer in self.code_braces
            if prev in (")", "]", "else", "do", "try", "mutable", "noexcept", "override", "final"):
                code = True
            elif prev == "const" and self.t(i - 2) == ")":
                code = True
            elif prev == "}":  # the end of a constructor's initializer list, or a block after a block
                code = True
            elif prev in (";", "{", ":") and in_code:
                code = prev != ":" or self._label_colon(i - 1)
            elif self.tokens[i - 1].kind == "id" and self._after_trailing_return(i):
                code = True
            else:
                code = False
            if code:
                self.code_braces.add(i)

    def _after_trailing_return(self, i):
        j = i - 1
        while j > 0 and (self.tokens[j].kind == "id" or self.t(j) in ("::", "*", "&", "<", ">")):
            j -= 1
        return self.t(j) == "->" and self.t(j - 1) == ")"

    def _label_colon(self, colon):
        """A `:` ending a case or default label (not a ?: or a bit field)."""
        j = colon - 1
        while j >= 0 and self.t(j) not in (";", "{", "}", "?"):
            if self.t(j) in ("case", "default") and self.enclosing[j] == self.enclosing[colon]:
                return True
            j -= 1
        return False

    def in_code(self, i):
        e = self.enclosing[i]
        return e is not None and e in self.code_braces

    def inside_call_of(self, i, names):
        """Whether token i lies within the parentheses of a call to one of names."""
        e = self.enclosing[i]
        while e is not None:
            if self.t(e) == "(" and self.t(e - 1) in names:
                return True
            e = self.enclosing[e]
        return False

    def inside_template_args(self, i):
        depth = 0
        for j in range(i - 1, max(-1, i - 40), -1):
            if j in self.template_close:
                depth += 1 if self.t(j) == ">" else 2
            elif j in self.template_open:
                if depth == 0:
                    return True
                depth -= 1
            elif self.t(j) in (";", "{", "}"):
                return False
        return False


class Mutant:
    def __init__(self, path, op, start, end, new, line, text):
        self.path, self.op, self.start, self.end, self.new, self.line = path, op, start, end, new, line
        self.old = text[start:end]
        first = text.rfind("\n", 0, start) + 1
        last = text.find("\n", end)
        last = len(text) if last < 0 else last
        before = text[first:last]
        after = text[first:start] + new + text[end:last]
        self.before, self.after = squeeze(before), squeeze(after)
        self.occurrence = 0
        self.id = ""

    def key(self):
        return (self.path, self.op, self.before, self.after)

    def finish(self):
        digest = hashlib.sha1("\0".join(self.key() + (str(self.occurrence),)).encode()).hexdigest()[:8]
        self.id = f"{self.path}:{self.line}:{self.op}:{digest}"

    def apply(self, text):
        return text[:self.start] + self.new + text[self.end:]

    def change(self, width=90):
        """The changed line(s) before and after, cut around the change when long."""
        a, b = self.before, self.after
        if len(a) > width or len(b) > width:
            d = next((k for k, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
            lo = max(0, d - width // 3)
            a = ("…" if lo else "") + a[lo:lo + width] + ("…" if lo + width < len(a) else "")
            b = ("…" if lo else "") + b[lo:lo + width] + ("…" if lo + width < len(b) else "")
        return a, b


def squeeze(s):
    return " ".join(s.split())


def relational(src):
    for i, tok in enumerate(src.tokens):
        if tok.kind != "op" or tok.text not in RELATIONAL:
            continue
        if i in src.template_open or i in src.template_close or src.t(i - 1) == "operator":
            continue
        if src.inside_call_of(i, {"static_assert"}) or src.t(i + 1) in ("default", "delete"):
            continue
        if tok.text in ("<", ">") and src.inside_template_args(i):
            continue
        yield tok.start, tok.end, RELATIONAL[tok.text], tok.line


def declared_array_size(src, i):
    """Whether the number at i is the size in `Type name[N]` (or `name[N][M]`)."""
    j = i - 1
    if src.t(j) != "[" or src.t(i + 1) != "]":
        return False
    while src.t(j - 1) == "]" and (j - 1) in src.match:  # the second size of name[A][B]
        j = src.match[j - 1]
    name = src.tokens[j - 1] if j > 0 else None
    if name is None or name.kind != "id" or name.text in KEYWORDS:
        return False
    before = src.tokens[j - 2] if j > 1 else None
    if before is None:
        return False
    return (before.kind == "id" and (before.text not in KEYWORDS or before.text in TYPE_WORDS)) or \
        before.text in ("*", "&", "::") or (j - 2) in src.template_close


def constant(src):
    for i, tok in enumerate(src.tokens):
        if tok.kind != "num":
            continue
        m = INTEGER.fullmatch(tok.text)
        if not m or (tok.text.startswith("0") and len(m.group(1)) > 1 and tok.text[1] not in "xXbB"):
            continue
        if src.inside_template_args(i) or declared_array_size(src, i) or src.inside_call_of(i, {"static_assert",
                                                                                              "alignas"}):
            continue
        if tok.text == "0" and src.t(i - 1) == "=" and src.t(i + 1) == ";" and (
                src.t(i - 2) in (")", "const", "override", "noexcept")):
            continue  # pure virtual
        digits, suffix = m.group(1), m.group(2)
        value = int(digits.replace("'", ""), 0)
        for step in (1, -1):
            v = value + step
            if v < 0:
                new = f"-1{suffix}"
            elif digits[:2].lower() == "0x":
                new = f"0x{v:X}{suffix}" if any(ch.isupper() for ch in digits[2:]) else f"0x{v:x}{suffix}"
            elif digits[:2].lower() == "0b":
                new = f"0b{v:b}{suffix}"
            else:
                new = f"{v}{suffix}"
            yield tok.start, tok.end, new, tok.line


def statement_start(src, i):
    """Whether a statement can start at token i."""
    if not src.in_code(i):
        return False
    prev = src.t(i - 1)
    if prev in (";", "{", "}", "else", "do"):
        return True
    if prev == ")":
        opener = src.match.get(i - 1)
        if opener is None:
            return False
        head = src.t(opener - 1)
        if head == "constexpr":
            head = src.t(opener - 2)
        return head in ("if", "while", "for", "switch")
    if prev == ":":
        return src._label_colon(i - 1)
    return False


def call_statement_end(src, i):
    """The index of the `;` if a statement starting at i is only a call chain."""
    tokens = src.tokens
    j = i
    if src.t(j) == "::":
        j += 1
    if j >= len(tokens) or tokens[j].kind != "id" or (tokens[j].text in KEYWORDS and tokens[j].text != "this"):
        return None
    if tokens[j].text in NOT_DROPPED:
        return None
    j += 1
    called = False
    while j < len(tokens):
        t = src.t(j)
        if t in ("::", ".", "->") and j + 1 < len(tokens) and tokens[j + 1].kind == "id":
            j += 2
            if src.t(j - 1) == "template":
                j += 1
            called = False
        elif j in src.template_open:
            close = j + 1
            depth = 1
            while close < len(tokens) and depth > 0:
                if close in src.template_open:
                    depth += 1
                elif close in src.template_close:
                    depth -= 1 if src.t(close) == ">" else 2
                close += 1
            j = close
            called = False
        elif t == "(" and j in src.match:
            j = src.match[j] + 1
            called = True
        elif t == "[" and j in src.match:
            j = src.match[j] + 1
            called = False
        else:
            break
    return j if called and src.t(j) == ";" else None


def drop_call(src):
    for i, tok in enumerate(src.tokens):
        if not statement_start(src, i):
            continue
        end = call_statement_end(src, i)
        if end is not None:
            yield tok.start, src.tokens[end].start, "", tok.line


def negate(src):
    tokens = src.tokens
    for i, tok in enumerate(tokens):
        if tok.kind == "id" and tok.text in ("if", "while") and src.in_code(i):
            open_ = i + 1
            if src.t(open_) != "(" or open_ not in src.match:
                continue  # `if constexpr` is left alone: its branches may not compile
            close = src.match[open_]
            inner = range(open_ + 1, close)
            if not inner or any(src.enclosing[k] == open_ and src.t(k) in (";", "=") for k in inner):
                continue  # an init statement or a declaration as the condition
            a, b = tokens[open_ + 1].start, tokens[close - 1].end
            yield a, b, "!(" + src.text[a:b] + ")", tok.line
        elif tok.kind == "op" and tok.text == "?":
            stop = {";", "{", "}", ",", ":", "?", "return", "case", "co_return", "throw"} | ASSIGNMENTS
            j = i - 1
            while j >= 0:
                t = src.t(j)
                if t in (")", "]") and j in src.match:
                    j = src.match[j] - 1
                    continue
                if t in stop or t in ("(", "[") or j in src.template_open:
                    break
                j -= 1
            first = j + 1
            if first >= i:
                continue
            a, b = tokens[first].start, tokens[i - 1].end
            yield a, b, "!(" + src.text[a:b] + ")", tokens[first].line


def call_arguments(src, open_):
    """The top-level arguments of the parentheses at open_, as (first, last) token indexes."""
    close = src.match[open_]
    args, first, j = [], open_ + 1, open_ + 1
    while j < close:
        t = src.t(j)
        if t in ("(", "[", "{") and j in src.match:
            j = src.match[j] + 1
            continue
        if j in src.template_open:
            depth = 1
            j += 1
            while j < close and depth > 0:
                if j in src.template_open:
                    depth += 1
                elif j in src.template_close:
                    depth -= 1 if src.t(j) == ">" else 2
                j += 1
            continue
        if t == "," and src.tokens[j].kind == "op":
            args.append((first, j - 1))
            first = j + 1
        j += 1
    if first <= close - 1:
        args.append((first, close - 1))
    return args


def looks_like_parameters(src, args):
    for first, last in args:
        if first > last:
            return True
        for k in range(first, last):
            a, b = src.tokens[k], src.tokens[k + 1]
            if a.kind == "id" and b.kind == "id":
                return True
            if k in src.template_close and b.kind == "id":
                return True
        if src.t(last) in ("&", "*", "&&") or src.t(last) in TYPE_WORDS or src.t(last) == "...":
            return True
    return False


def declares(src, name):
    """Whether, outside any function, the name before a `(` is one being declared:
    `Type name(`, `Class::name(`, or a constructor at the start of a member."""
    before = src.t(name - 1)
    if name == 0 or src.tokens[name - 1].kind == "id":
        return True
    if before in ("*", "&", "::", "~", ";", "{", "}", "") or (name - 1) in src.template_close:
        return True
    return before == ":" and src.t(name - 2) in ("public", "private", "protected", "slots", "signals",
                                                   "Q_SLOTS", "Q_SIGNALS")


def argument_kind(src, first, last):
    """Text, a braced list or anything else: swapping two of different kinds never compiles."""
    if first == last and src.tokens[first].kind == "str":
        return "text"
    if src.t(first) == "{" and src.match.get(first) == last:
        return "braces"
    return "other"


def swap_args(src):
    tokens = src.tokens
    for i, tok in enumerate(tokens):
        if tok.text != "(" or tok.kind != "op" or i not in src.match or i == 0:
            continue
        prev = tokens[i - 1]
        if prev.kind == "id":
            if prev.text in KEYWORDS and prev.text not in ("this",):
                continue
            if prev.text in COMMUTING_CALLS or prev.text in NOT_DROPPED:
                continue
        elif not ((i - 1) in src.template_close or prev.text == ")"):
            continue  # `]` before `(` is a lambda's parameter list
        if (i - 1) in src.template_close:
            # std::max<int>(a, b): the name is before the template's `<`.
            k = i - 2
            depth = 0
            while k >= 0:
                if k in src.template_close:
                    depth += 1 if src.t(k) == ">" else 2
                elif k in src.template_open:
                    depth -= 1
                    if depth <= 0:
                        break
                k -= 1
            if src.t(k - 1) in COMMUTING_CALLS:
                continue
        if not src.in_code(i) and prev.kind == "id" and declares(src, i - 1):
            continue
        if src.inside_call_of(i, {"static_assert"}):
            continue
        args = call_arguments(src, i)
        if len(args) < 2 or looks_like_parameters(src, args):
            continue
        for (a1, b1), (a2, b2) in zip(args, args[1:]):
            x0, x1 = tokens[a1].start, tokens[b1].end
            y0, y1 = tokens[a2].start, tokens[b2].end
            left, middle, right = src.text[x0:x1], src.text[x1:y0], src.text[y0:y1]
            if squeeze(left) == squeeze(right) or argument_kind(src, a1, b1) != argument_kind(src, a2, b2):
                continue
            yield x0, y1, right + middle + left, tokens[a1].line


GENERATORS = {"relational": relational, "constant": constant, "drop-call": drop_call, "negate": negate,
              "swap-args": swap_args}


def shipped_sources(root):
    """The C++ files git keeps outside the folders above: a build folder's
    generated sources, or any file left lying in the tree, would change the
    sample a seed draws."""
    root = pathlib.Path(root)
    listed = subprocess.run(["git", "-C", str(root), "ls-files", "-z", "--", "*.cpp", "*.h"],
                            stdout=subprocess.PIPE, check=True).stdout.decode("utf-8").split("\0")
    relative = sorted(pathlib.PurePosixPath(name) for name in listed if name)
    return [root / name for name in relative
            if len(name.parts) > 1 and name.parts[0] not in NOT_SHIPPED and not name.parts[0].startswith(".")]


def mutants_of(path, text):
    src = Source(path, text)
    found = []
    for op in OPERATORS:
        for start, end, new, line in GENERATORS[op](src):
            found.append(Mutant(path, op, start, end, new, line, text))
    seen = {}
    for m in sorted(found, key=lambda m: (m.start, OPERATORS.index(m.op), m.end, m.new)):
        m.occurrence = seen.get(m.key(), 0)
        seen[m.key()] = m.occurrence + 1
        m.finish()
    return sorted(found, key=lambda m: (m.start, OPERATORS.index(m.op), m.end, m.new))


def generate(root):
    """Every mutant of every shipped source, in a fixed order."""
    root = pathlib.Path(root)
    mutants = []
    for path in shipped_sources(root):
        with open(path, encoding="utf-8", newline="") as source:
            mutants += mutants_of(path.relative_to(root).as_posix(), source.read())
    return mutants


def without_line(mutant_id):
    """An id with its line number left out: path, operator and hash."""
    parts = mutant_id.rsplit(":", 3)
    return (parts[0], parts[2], parts[3]) if len(parts) == 4 else (mutant_id,)
