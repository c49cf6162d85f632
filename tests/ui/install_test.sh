#!/usr/bin/env bash
# cmake --install into a private prefix puts the program, the tool, the
# private virtual scale, the desktop entry and the icon in place.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/plu-editor bin/plu-tool lib/plu-editor/virtual-scale \
         share/applications/plu-editor.desktop share/icons/hicolor/scalable/apps/plu-editor.svg; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -q '^Exec=plu-editor$' "$prefix/share/applications/plu-editor.desktop"
grep -q '^Icon=plu-editor$' "$prefix/share/applications/plu-editor.desktop"
"$prefix/bin/plu-editor" --help | grep -q -- --virtual-scale
echo "install: ok"
