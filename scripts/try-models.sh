#!/usr/bin/env bash
# Tries every model file under a folder as a new user would: opens it with
# nettor-cli info and, when that works, unfolds it with nettor-cli unfold.
#   scripts/try-models.sh FOLDER [nettor-cli] [seconds per unfolding, default 300]
# Prints one line per file (opened / refused / unfolded / FAULT) and the
# totals. Files of kinds Nettor does not read are not counted.
set -uo pipefail
folder="$1"
cli="${2:-build/src/nettor-cli}"
limit="${3:-300}"
files=0; opened=0; unfolded=0; faults=0
while IFS= read -r -d '' f; do
  out="$(timeout 120 "$cli" info "$f" 2>&1)"; rc=$?
  if grep -q "Nettor can't read the specified file." <<<"$out"; then continue; fi
  files=$((files + 1))
  if [ $rc -ne 0 ]; then
    if [ $rc -ge 124 ]; then echo "FAULT info rc=$rc: $f"; faults=$((faults + 1)); else echo "refused: $f"; fi
    continue
  fi
  opened=$((opened + 1))
  faces="$(sed -n 's/^faces: //p' <<<"$out")"
  u="$(timeout "$limit" "$cli" unfold "$f" 2>/dev/null)"; rc=$?
  parts="$(sed -n 's/^parts: //p' <<<"$u")"
  if [ $rc -eq 0 ] && { [ "${faces:-0}" -eq 0 ] || [ "${parts:-0}" -gt 0 ]; }; then
    unfolded=$((unfolded + 1)); echo "unfolded: $f (faces $faces, parts $parts)"
  else
    faults=$((faults + 1)); echo "FAULT unfold rc=$rc: $f (faces $faces)"
  fi
done < <(find "$folder" -type f -print0 | sort -z)
echo "files Nettor takes: $files, opened: $opened, unfolded: $unfolded, faults: $faults"
