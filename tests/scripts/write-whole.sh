#!/usr/bin/env bash
# Every file kerfmate-host writes, each export format it lists and the sheet
# itself, is written whole or not at all. On a full disk the run exits 5
# with the reason and the previous file stays byte for byte, with nothing
# left beside it; killed at the moment the new file would take the old one's
# place, the previous file stays too, and what was ready to replace it was
# complete; when that rename fails, exit 5 and the previous file stays. The
# disk is a tmpfs of its own where this may mount one, else a file-size
# limit; the kill and the failed rename come from strace.
#   bash tests/scripts/write-whole.sh KERFMATE_HOST
set -euo pipefail
host=$1
command -v strace >/dev/null || { echo "needs strace (bash scripts/setup.sh --tests installs it)"; exit 1; }
work=$(mktemp -d)
trap 'umount "$work/disk" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
failed=0
fail() { echo "FAIL $suffix, $*"; failed=1; bad=1; }

# A gear pair: tens of KiB in every format, far more than the 4 KiB left.
"$host" --accept --generator 2 --save "$work/gears.kerfmate" >/dev/null
suffixes=$("$host" --help | sed -n 's/.*Export the sheet; \(.*\) by the extension.*/\1/p' | tr -d '.,')
[ -n "$suffixes" ] || { echo "FAIL: --help lists no export format"; exit 1; }
mkdir "$work/disk"
mounted=0
mount -t tmpfs -o size=512k tmpfs "$work/disk" 2>/dev/null && mounted=1
echo "full disk: $([ $mounted = 1 ] && echo "a tmpfs with 4 KiB left" || echo "a 4 KiB file-size limit")"

write() { # write SUFFIX [COMMAND...]: the run that writes the sheet to sheet.SUFFIX
  local suffix=$1 option=--out
  shift
  [ "$suffix" = kerfmate ] && option=--save
  "$@" "$host" --open "$work/gears.kerfmate" "$option" "$work/disk/sheet.$suffix" 2>&1
}
limited() { trap '' XFSZ; ulimit -f 4; "$@"; }

for suffix in $suffixes kerfmate; do
  bad=0
  target=$work/disk/sheet.$suffix
  write "$suffix" >/dev/null
  size=$(stat -c %s "$target")
  printf 'previous %s\n' "$suffix" >"$target"
  if [ $mounted = 1 ]; then
    dd if=/dev/zero of="$work/disk/fill" bs=4k 2>/dev/null || true
    truncate -s -4096 "$work/disk/fill"
    out=$(write "$suffix") && code=0 || code=$?
    rm "$work/disk/fill"
  else
    out=$(write "$suffix" limited) && code=0 || code=$?
  fi
  [ $code = 5 ] || fail "full disk: exit $code, not 5"
  grep -qE "could not (write|save) .*: (No space left on device|File too large)" <<<"$out" || fail "full disk: no reason in: $out"
  [ "$(cat "$target")" = "previous $suffix" ] || fail "full disk: the previous file changed"
  [ "$(ls "$work/disk")" = "$(basename "$target")" ] || fail "full disk: left behind: $(ls "$work/disk" | tr '\n' ' ')"

  # The leak checker of a sanitizer build cannot run under strace. The
  # failure may come at the rename or only when the disk is asked to keep it.
  for calls in rename,renameat,renameat2 fsync,fdatasync; do
    out=$(write "$suffix" env "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
      strace -f -qq -o /dev/null -e trace=$calls -e inject=$calls:error=EIO) && code=0 || code=$?
    [ $code = 5 ] || fail "$calls refused: exit $code, not 5"
    grep -qE "could not (write|save) .*: .+" <<<"$out" || fail "$calls refused: no reason in: $out"
    [ "$(cat "$target")" = "previous $suffix" ] || fail "$calls refused: the previous file changed"
    [ "$(ls "$work/disk")" = "$(basename "$target")" ] || fail "$calls refused: left behind: $(ls "$work/disk" | tr '\n' ' ')"
  done

  # In a subshell of its own, whose shell keeps the news of the kill to itself.
  code=$( (write "$suffix" strace -f -qq -o /dev/null -e trace=rename,renameat,renameat2 \
    -e inject=rename,renameat,renameat2:error=EIO:signal=KILL >/dev/null && echo 0 || echo $?) 2>/dev/null)
  [ $code = 137 ] || fail "kill at the rename: exit $code, not killed"
  [ "$(cat "$target")" = "previous $suffix" ] || fail "kill at the rename: the previous file changed"
  ready=$(find "$work/disk" -name "sheet.$suffix.?*")
  [ -n "$ready" ] && [ "$(stat -c %s "$ready")" = "$size" ] || fail "kill at the rename: no complete file of $size bytes was ready"
  rm -f "$work"/disk/*

  # What is no regular file, itself or through a link, is refused at once and stays as it was.
  mkfifo "$work/disk/fifo"
  for onto in fifo link; do
    rm -f "$target"
    if [ $onto = fifo ]; then mkfifo "$target"; else ln -s fifo "$target"; fi
    out=$(write "$suffix" timeout 20) && code=0 || code=$?
    [ $code = 5 ] && grep -q "is not a regular file" <<<"$out" || fail "onto a $onto: exit $code: $out"
    [ -p "$work/disk/fifo" ] && { [ $onto = link ] || [ -p "$target" ]; } || fail "onto a $onto: the FIFO was replaced"
  done
  rm -f "$work"/disk/*
  [ $bad = 1 ] || echo "$suffix: exit 5 on a full disk, a failed sync or rename, killed at the rename, onto a FIFO or a link to one: the previous file kept"
done

# Through a link the file it ends at is replaced and the link kept.
suffix=link bad=0
printf 'previous\n' >"$work/real.svg"
ln -s real.svg "$work/link.svg"
"$host" --open "$work/gears.kerfmate" --out "$work/link.svg" >/dev/null || fail "exit $? through a link"
[ -L "$work/link.svg" ] && grep -q '<svg' "$work/real.svg" || fail "the link was replaced, or its file not written"
[ $bad = 1 ] || echo "link: the file it ends at written, the link kept"

# Sheets are numbered from 1 by those that hold parts, and the sheets an
# earlier export left under the same name (numbered or not) are gone: a laser never cuts a stale one.
suffix=sheets bad=0
on_sheets() { # on_sheets SHEET...: the gear pair once on each of these sheets
  python3 - "$work/gears.kerfmate" "$@" >"$work/sheets.kerfmate" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1]))
part = doc["parts"][0]
doc["parts"] = [dict(part, id=i + 1, sheet=int(s)) for i, s in enumerate(sys.argv[2:])]
print(json.dumps(doc))
PY
}
mkdir "$work/nest"
for sheets in "2" "1 2 3" "3 1"; do
  on_sheets $sheets
  "$host" --open "$work/sheets.kerfmate" --out "$work/nest/n.svg" --out "$work/nest/n.dxf" >/dev/null || fail "exit $? for sheets $sheets"
done
left=$(cd "$work/nest" && ls | tr '\n' ' ')
[ "$left" = "n-1.dxf n-1.svg n-2.dxf n-2.svg " ] || fail "after 3 sheets and then 2 the folder holds: $left"
[ $bad = 1 ] || echo "sheets: numbered from 1, an earlier export's extra sheets removed"

# The sheets of one nest are replaced together or not at all: one that
# cannot be written leaves every earlier sheet as it was, and is named.
suffix=together bad=0
printf "previous 1\n" >"$work/nest/n-1.svg"; printf "previous 2\n" >"$work/nest/n-2.svg"
before=$(cd "$work/nest" && md5sum n-1.svg n-2.svg)
mkdir "$work/nest/n-3.svg"
on_sheets 1 2 3
out=$("$host" --open "$work/sheets.kerfmate" --out "$work/nest/n.svg" 2>&1) && code=0 || code=$?
[ $code = 5 ] && grep -q "n-3.svg is not a regular file" <<<"$out" || fail "exit $code: $out"
[ "$(cd "$work/nest" && md5sum n-1.svg n-2.svg)" = "$before" ] || fail "the earlier sheets changed"
[ $bad = 1 ] || echo "together: a sheet that cannot be written leaves the earlier sheets as they were"
exit $failed
