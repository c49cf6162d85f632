#!/usr/bin/env bash
# Starts plu-editor --virtual-scale on a private X server and accessibility
# bus and lets an AT-SPI client read and drive it.
#   run_accessibility_test.sh BIN_DIR [CLIENT.py]
# CLIENT defaults to accessibility_client.py; it gets a private work folder
# as its argument. SHOTS_DIR and SCREEN_GRAB pass through for screenshots.
set -euo pipefail
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
client=${2:-$here/accessibility_client.py}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PLU_BIN="$bin" PLU_CLIENT="$client" PLU_WORK="$work"
exec xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- bash -c '
  set -u
  launcher=$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher 2>/dev/null | head -n1)
  "$launcher" --launch-immediately &
  spi=$!
  sleep 1
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
  "$PLU_BIN/plu-editor" --virtual-scale &
  app=$!
  status=0
  /usr/bin/python3 "$PLU_CLIENT" "$PLU_WORK" || status=$?
  kill $app 2>/dev/null; wait $app 2>/dev/null
  kill $spi 2>/dev/null
  exit $status'
