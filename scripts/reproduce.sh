#!/usr/bin/env bash
# Builds the release twice, from two fresh clones of one commit at two
# different paths, one after the other, and compares the artefacts byte for
# byte: the first into its clone's build/dist, the second into a folder
# outside its clone. Prints both SHA256SUMS; exits non-zero when any differs.
#   usage: reproduce.sh [COMMIT] [WORK_DIR]   (default: HEAD, a new temporary folder)
set -euo pipefail
repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")
work=$(realpath -m "${2:-$(mktemp -d)}")
bash "$repo/scripts/deps.sh" test

clones=("$work/first/timerset" "$work/second/at/another/path/timerset-copy")
outs=("${clones[0]}/build/dist" "$work/second-dist")
for n in 0 1; do
  clone=${clones[n]}
  rm -rf "$clone"
  git clone -q --no-checkout "$repo" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "== $clone ($(date -u +%T))"
  bash "$clone/scripts/release.sh" --no-deps --out "${outs[n]}"
done

a=${outs[0]} b=${outs[1]}
different=0
while read -r _ file; do
  cmp -s "$a/$file" "$b/$file" || { echo "DIFFERENT: $file" >&2; different=1; }
done <"$a/SHA256SUMS"
cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS" || different=1
[ "$different" -eq 0 ] && echo "The two builds of $commit are the same, byte for byte."
exit "$different"
