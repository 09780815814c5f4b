#!/usr/bin/env bash
# Builds the release twice, from two fresh clones of one commit at two
# different paths, one after the other, and compares the artefacts byte for
# byte. Prints both SHA256SUMS; exits non-zero when any artefact differs.
#   usage: reproduce.sh [COMMIT] [WORK_DIR]   (default: HEAD, a new temporary folder)
set -euo pipefail
repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")
work=$(realpath -m "${2:-$(mktemp -d)}")
bash "$repo/scripts/deps.sh" test

clones=("$work/first/timerset" "$work/second/at/another/path/timerset-copy")
for clone in "${clones[@]}"; do
  rm -rf "$clone"
  git clone -q --no-checkout "$repo" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "== $clone ($(date -u +%T))"
  bash "$clone/scripts/release.sh" --no-deps
done

a=${clones[0]}/build/dist b=${clones[1]}/build/dist
different=0
while read -r _ file; do
  cmp -s "$a/$file" "$b/$file" || { echo "DIFFERENT: $file" >&2; different=1; }
done <"$a/SHA256SUMS"
cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS" || different=1
[ "$different" -eq 0 ] && echo "The two builds of $commit are the same, byte for byte."
exit "$different"
