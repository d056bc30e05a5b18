#!/bin/sh
# Packs web/ as a user gets it (npm pack) and installs the tarball into a
# fresh folder, INSTALL_DIR, where the other web tests import it from.
set -e
source_dir=$1 install_dir=$2
if ! [ -f "$source_dir/web/dist/brindlewick.wasm" ]; then
  echo "skipped: no web/dist/brindlewick.wasm (build it with scripts/web-build)"
  exit 77
fi
command -v npm >/dev/null || { echo "skipped: npm not installed"; exit 77; }
rm -rf "$install_dir"
mkdir -p "$install_dir/pack"
install_dir=$(cd "$install_dir" && pwd)
tarball=$(cd "$source_dir/web" && npm pack --silent --pack-destination "$install_dir/pack")
cd "$install_dir"
echo '{"name": "brindlewick-user", "private": true}' >package.json
npm install --silent --no-audit --no-fund "./pack/$tarball"
echo "installed $tarball into $install_dir"
