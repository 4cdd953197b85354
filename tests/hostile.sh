#!/usr/bin/env bash
# Hostile inputs against the player and the examiner's tool, each run with a memory limit and a
# time limit; prints one line per input: its outcome, the wall time to a responsive window (or
# to the tool's end) and the peak memory. Slow (a minute or two) and not part of the test run.
#   tests/hostile.sh [BUILD_DIR]        (default build; run ./tarvik.sh first)
# Under X (DISPLAY set, or Xvfb installed: one is started) the window is a real X window, so a
# title the X server refuses would show; otherwise the offscreen platform is used.
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
probe=$build/tests/player_probe
tool=$build/tools/tarvik-tool
[ -x "$probe" ] && [ -x "$tool" ] || { echo "build first: ./tarvik.sh" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null' EXIT

if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  Xvfb :97 -screen 0 1280x1024x24 >/dev/null 2>&1 & xvfb=$!
  export DISPLAY=:97
  sleep 1
fi
[ -n "${DISPLAY:-}" ] && export QT_QPA_PLATFORM=xcb || export QT_QPA_PLATFORM=offscreen
limit_kb=$((1536 * 1024)) # address space of one run (the player's own limit is 512 MB resident)
limit_s=120

python3 - "$work" <<'EOF'
import os, struct, sys, zlib
work = sys.argv[1]
def cp(text): return text.encode('cp1251', 'replace')
setup = "[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nCEdit=Экзамен\r\nTopEdit=Школа\r\n"
def case(name): d = os.path.join(work, name); os.makedirs(d, exist_ok=True); return d
def write(path, data): open(path, 'wb').write(data)
def container(entries):
    body = bytes([0x0C, 0x00, 0x0D, 0x0E]) + b'CODE' + struct.pack('<i', len(entries))
    for name, data in entries:
        n = cp(name); body += struct.pack('<H', len(n)) + n + struct.pack('<i', len(data)) + data
    return b'\x26' + zlib.compress(body, 9)
# A roster of 200,000 examinees in as many groups.
d = case('roster200k')
write(os.path.join(d, 'exam.fzk'), cp("[Setup]\r\nAllZ=0\r\nSaveJuornal=1\r\nSpisok=1\r\n[V0]\r\nVopros=?\r\n"))
write(os.path.join(d, 'JSpisok.fzj'), b''.join(cp("Группа %d@Иванов %d\r\n" % (i, i)) for i in range(200000)))
# A question text of 50 MB on one line, in a uniform file.
d = case('question50mb')
write(os.path.join(d, 'text.txt'), cp(setup + "[V0]\r\nB1=1\r\nS1=да\r\nVopros=") + b'x' * (50 << 20) + b'\r\n')
# A title of 50 MB.
d = case('title50mb')
write(os.path.join(d, 'exam.fzk'), cp("[Setup]\r\nAllZ=0\r\nSaveJuornal=0\r\nCEdit=") + b'T' * (50 << 20) + b'\r\n[V0]\r\n')
# 20 MB of a language text (the "Далее>>" button and the registration label).
d = case('language20mb')
write(os.path.join(d, 'exam.fzk'), cp(setup + "[V0]\r\nB1=1\r\nS1=да\r\n"))
write(os.path.join(d, 'Language.fll'), b'[0]\r\nU_BUTNEXT=' + b'N' * (20 << 20) + b'\r\nM_NOTKNOWW=' + b'K' * (20 << 20) + b'\r\n')
# A GIF whose logical screen is 10,000 x 10,000 with a 4 x 4 frame, four times on a picture page.
gif = (b'GIF89a' + struct.pack('<HH', 10000, 10000) + b'\x80\x00\x00' + b'\xff\x00\x00\x00\x00\xff' +
       b',' + struct.pack('<HHHH', 0, 0, 4, 4) + b'\x00' + b'\x02\x02\x84\x51\x00' + b';')
pictures = "[V0]\r\nForm=2\r\nAllW=4\r\nB1=1\r\nB2=1\r\nB3=1\r\nB4=1\r\nS1=1\r\nS2=2\r\nS3=3\r\nS4=4\r\nP1=%s\r\nP2=%s\r\nP3=%s\r\nP4=%s\r\n"
d = case('gifbomb')
write(os.path.join(d, 'text.txt'), cp(setup + pictures % (('bomb.gif',) * 4)))
write(os.path.join(d, 'bomb.gif'), gif)
# A JPEG whose header says 10,000 x 10,000, cut to 2,000 bytes: title picture and four answers.
jpeg = (b'\xff\xd8' + b'\xff\xdb\x00\x43\x00' + bytes(range(1, 65)) +
        b'\xff\xc0\x00\x0b\x08' + struct.pack('>HH', 10000, 10000) + b'\x01\x01\x11\x00' +
        b'\xff\xc4\x00\x14\x00\x01' + b'\x00' * 15 + b'\x00' + b'\xff\xc4\x00\x14\x10\x01' + b'\x00' * 15 + b'\x00' +
        b'\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00')
jpeg = (jpeg + b'\x00' * 2000)[:2000]
d = case('jpegbomb')
write(os.path.join(d, 'text.txt'), cp(setup.replace("TopEdit=Школа", "PathGraph=bomb.jpg") + pictures % (('bomb.jpg',) * 4)))
write(os.path.join(d, 'bomb.jpg'), jpeg)
# A uniform file whose body inflates to 1.5 GB.
d = case('zlibbomb')
head = bytes([0x0C, 0x00, 0x0D, 0x0E]) + b'CODE' + struct.pack('<i', 1) + struct.pack('<H', 11) + b'unifileexam' + struct.pack('<i', 1500 << 20)
z = zlib.compressobj(9); out = [b'\x26', z.compress(head)]
zero = b'\x00' * (1 << 20)
for _ in range(1500): out.append(z.compress(zero))
out.append(z.flush()); write(os.path.join(d, 'body'), b''.join(out))
# A container whose entry names hold a NUL and an escape.
d = case('nulnames')
write(os.path.join(d, 'body'), container([('unifileexam', cp(setup)), ('a\x00b.jpg', b'x'), ('c\x1b.gif', b'y')]))
EOF
for c in question50mb gifbomb jpegbomb; do
  (cd "$work/$c" && "$tool" pack exam.uzk text.txt $(ls | grep -E '\.(gif|jpg)$') >/dev/null)
done
for c in zlibbomb nulnames; do "$tool" scramble --key exam "$work/$c/body" "$work/$c/exam.uzk"; done
dd if=/dev/urandom of="$work/big.bin" bs=1M count=512 status=none
"$tool" scramble --key report "$work/big.bin" "$work/big.fzr" && rm "$work/big.bin"

# Runs a command with the limits; prints the outcome line.
run() { # name, what it shows, command...
  local name=$1 what=$2; shift 2
  local out="$work/$name.out"
  # In the input's folder: the language file is looked up in the current folder too.
  ( cd "$work/$name" 2>/dev/null || cd "$work"; ulimit -v $limit_kb; TARVIK_PROGRAM_DIR="$PWD" \
      /usr/bin/time -f 'time %e s, peak %M KB' timeout $limit_s "$@" ) >"$out" 2>&1
  local code=$?
  local shown; shown=$(grep -E '^(shown|page)' "$out" | tr '\n' ' ')
  local box; box=$(grep -m1 '^box' "$out" | cut -c1-90)
  printf '%-13s exit %-3s %-34s %s %s\n' "$name" "$code" "$(grep -E '^time' "$out")" "$what: ${shown:-no window}" "$box"
}
run roster200k  "registration page" "$probe" exam.fzk 2
run question50mb "question page" "$probe" exam.uzk 2 /d
run title50mb   "title page" "$probe" exam.fzk 0
run language20mb "question page" "$probe" exam.fzk 2 /d
run gifbomb     "picture page" "$probe" exam.uzk 2 /d
run jpegbomb    "picture page" "$probe" exam.uzk 2 /d
run zlibbomb    "refused" "$probe" exam.uzk 0 /d
run nulnames    "unpack" "$tool" unpack exam.uzk out
grep -c 'tarvik-tool' "$work/nulnames.out" | sed 's/^/nulnames      lines on standard error: /'
run unscramble512 "unscramble" sh -c "'$tool' unscramble --key report '$work/big.fzr' - | cat > /dev/null"
