#!/usr/bin/env bash
# Makes (once) the text benchmark's tree and prints its path: by default build/bench/text-tree,
# about 1 GiB in 10,000 files in 100 folders, sizes spread from 1 KiB to 700 KiB. Most files are
# English prose in ANSI, some UTF-16LE prose, some binary noise; 1 % of them hold the text
# "Invoice 2024-117" once, at a random place, in a random encoding (ANSI, UTF-8, UTF-16 LE or BE)
# and case. The same tree on every machine (fixed seed); the planted files are listed in
# .holders (one relative path a line).
#   bash bench/make-text-tree.sh [--files N] [--into FOLDER]
# --files: N files instead of 10,000 (100 a folder; the SMB lab's text share is a smaller tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree="$root/build/bench/text-tree"
files=10000
while [ $# -gt 0 ]; do
  case $1 in
    --files) files=${2:?}; shift ;;
    --into) tree=${2:?}; shift ;;
    *) echo "make-text-tree.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
if [ "$(cat "$tree/.complete" 2>/dev/null)" != "$files" ]; then
  rm -rf "$tree"
  mkdir -p "$tree"
  python3 - "$tree" "$files" <<'EOF'
import os, random, sys
tree = sys.argv[1]
count = int(sys.argv[2])
rng = random.Random(24117)
words = ("the of and to in is that for it as with was on be by at this are from or an have not "
         "which but all they one had were there been has their more will would when who about "
         "report meeting budget quarter customer delivery project account payment order invoice "
         "total amount office network server share folder document letter contract service "
         "number date please regards thank you attached version review draft final summary").split()
# A pool of prose to cut files from: sentences of the words above, with digits and punctuation.
parts = []
size = 0
while size < 8 << 20:
    sentence = " ".join(rng.choice(words) for _ in range(rng.randint(5, 18)))
    sentence = sentence.capitalize() + rng.choice([".", ".", ",", ";", ":"]) + \
        (" %d" % rng.randint(0, 99999) if rng.random() < 0.2 else "") + \
        ("\r\n" if rng.random() < 0.15 else " ")
    parts.append(sentence)
    size += len(sentence)
prose = "".join(parts).encode("ascii")
noise = bytes(rng.getrandbits(8) for _ in range(1 << 20))
text = "Invoice 2024-117"
holders = set(rng.sample(range(count), max(1, count // 100)))
listed = []
for n in range(count):
    folder = os.path.join(tree, "Dept %02d" % (n // 100))
    os.makedirs(folder, exist_ok=True)
    length = int(1024 * 700 ** rng.random())  # 1 KiB to 700 KiB, log-uniform: about 1 GiB in all
    kind = rng.random()
    if kind < 0.75:
        name, encoding = "doc%05d.txt" % n, "cp1252"
    elif kind < 0.88:
        name, encoding = "doc%05d.utf16.txt" % n, "utf-16-le"
    else:
        name, encoding = "blob%05d.bin" % n, "binary"
    if encoding == "binary":
        start = rng.randrange(0, len(noise) - length) if length < len(noise) else 0
        body = (noise * (1 + length // len(noise)))[start:start + length]
    else:
        chars = length // 2 if encoding == "utf-16-le" else length
        start = rng.randrange(0, len(prose) - chars)
        chunk = prose[start:start + chars].decode("ascii")
        body = chunk.encode(encoding)
    if n in holders:
        variant = rng.choice([text, text.upper(), text.lower()])
        form = rng.choice(["cp1252", "utf-8", "utf-16-le", "utf-16-be"])
        planted = variant.encode(form)
        at = rng.randrange(0, max(1, len(body) - len(planted)))
        if form.startswith("utf-16"):
            at &= ~1
        body = body[:at] + planted + body[at + len(planted):]
        listed.append(os.path.relpath(os.path.join(folder, name), tree))
    with open(os.path.join(folder, name), "wb") as f:
        f.write(body)
with open(os.path.join(tree, ".holders"), "w") as f:
    f.write("\n".join(sorted(listed)) + "\n")
EOF
  echo "$files" >"$tree/.complete"
fi
echo "$tree"
