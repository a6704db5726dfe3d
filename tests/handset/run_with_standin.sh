#!/usr/bin/env bash
# Runs a test beside a fresh stand-in handset. With --root, the handset also
# offers its whole file system (com.apple.afc2) from a scratch device tree;
# with --many its media folder holds a folder of 5,000 files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
opts=()
tree=
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  if [ "$1" = --many ]; then
    many=1
  elif [ "$1" = --root ]; then
    tree=$(mktemp -d "${TMPDIR:-/tmp}/handset-root.XXXXXX")
    mkdir -p "$tree/var/mobile/Media" "$tree/private/etc"
    echo "127.0.0.1 localhost" > "$tree/private/etc/hosts"
    opts+=(--root "$tree" --media "$tree/var/mobile/Media")
    export PELICAN_STANDIN_ROOT="Z:${tree//\//\\}"
  else
    opts+=("$1")
  fi
  shift
done
if [ -n "${many:-}" ]; then
  [ -n "$tree" ] || { echo "--many needs --root" >&2; exit 2; }
  mkdir -p "$tree/var/mobile/Media/Many"
  (cd "$tree/var/mobile/Media/Many" && touch f{0..4999})
fi
trap 'if [ -n "$tree" ]; then rm -rf "$tree"; fi' EXIT
"$here/../standin/with_standin.sh" "${opts[@]}" "$@"
