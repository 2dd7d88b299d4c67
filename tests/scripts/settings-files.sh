#!/usr/bin/env bash
# kerfmate-host and its module on settings files that are no settings: a
# FIFO, a link to a device, a folder, 50 MB, one byte past the 256 KiB a
# settings file may hold (and one at exactly that: read), and the reader's corpus, whose
# files hide objects from a careless reader, in place of Kerfmate.ini,
# cfg.ini and kerfmate-host.ini in turn, the corpus dealt out over them.
# Each run ends at once, with one log line for that file; a damaged cfg.ini
# gives the part a run makes with no settings at all, in millimetres; a
# device, a FIFO or a folder stays as it was, and OK replaces a file too
# large to be settings.
#   bash tests/scripts/settings-files.sh KERFMATE_HOST CORPUS_FOLDER
set -euo pipefail
host=$1
corpus=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# A device of this test's own where it may make one: it takes no harm.
mknod "$work/zero" c 1 5 2>/dev/null && device=$work/zero || device=/dev/zero
failed=0
fail() { echo "FAIL $file as $kind: $*"; failed=1; }
run() { # run CONFIG OPTION...: kerfmate-host logging into CONFIG/log, given 20 s
  XDG_CONFIG_HOME=$1 timeout 20 "$host" --log "$1/log" "${@:2}" >/dev/null 2>&1
}
mkdir "$work/none"
run "$work/none" --accept --out "$work/none/part.svg"

data=Kerfmate/Gleamworks/Resources/Data
files=($data/Kerfmate.ini $data/cfg.ini Kerfmate/kerfmate-host.ini)
# The corpus is read by the same reader wherever it lies, and bites where the
# file is written back: each corpus file goes to one of the two files a run
# rewrites (Kerfmate.ini on OK, kerfmate-host.ini on leaving the window), and
# every third to cfg.ini too.
corpus_files=($(ls "$corpus"))
dealt() { # dealt N: the corpus files for files[N]
  for ((i = 0; i < ${#corpus_files[@]}; ++i)); do
    case $1 in 0) ((i % 2 == 0)) ;; 1) ((i % 3 == 0)) ;; 2) ((i % 2 == 1)) ;; esac && echo "${corpus_files[i]}"
  done
}
for n in 0 1 2; do
  file=${files[n]}
  for kind in fifo device folder 50MB 262144 262145 $(dealt $n); do
    config=$work/config
    target=$config/$file
    rm -rf "$config"
    mkdir -p "$(dirname "$target")"
    case $kind in
      fifo) mkfifo "$target" ;;
      device) ln -s "$device" "$target" ;;
      folder) mkdir "$target" ;;
      50MB) truncate -s 50M "$target" ;;
      2621*) { printf '[g]\nk='; head -c $((kind - 7)) /dev/zero | tr '\0' a; echo; } >"$target" ;;
      *) cp "$corpus/$kind" "$target" ;;
    esac
    before=$(stat -c %F "$target")
    if [ "$file" = Kerfmate/kerfmate-host.ini ]; then
      run "$config" --window --screenshot "$config/window.png" || fail "exit $?"
    else
      run "$config" --accept --out "$config/part.svg" || fail "exit $?"
    fi
    # Texts are all a reader may hand on: only the corpus's texts-* files are whole.
    lines=$(cat "$config/log" 2>/dev/null | grep -c "^2	Settings file $target" || true)
    [ "$lines" = "$([[ $kind = texts-* || $kind = 262144 ]] && echo 0 || echo 1)" ] || fail "$lines log lines: $(cat "$config/log")"
    if [ "$file" = $data/cfg.ini ]; then
      cmp -s "$config/part.svg" "$work/none/part.svg" || fail "not the part made with no settings"
    fi
    case $kind in
      fifo | device | folder) [ "$(stat -c %F "$target")" = "$before" ] || fail "it became a $(stat -c %F "$target")" ;;
      50MB) [ "$file" != $data/Kerfmate.ini ] || [ "$(stat -c %s "$target")" -lt 65536 ] || fail "OK did not replace it" ;;
    esac
  done
done
[ $failed = 1 ] || echo "every kind in place of each file: read as none, one log line, nothing replaced"
exit $failed
