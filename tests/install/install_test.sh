#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as an installed program is used:
# the desktop entries and the metainfo validate, and the installed lexctl builds a data root
# from the installed laws (text files and law XML) and reads it.
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$build" --prefix "$tmp/usr" > /dev/null
share="$tmp/usr/share"
desktop-file-validate "$share"/applications/org.lexora.Lexora.desktop \
  "$share"/applications/org.lexora.Lexbench.desktop
appstreamcli validate --no-net "$share/metainfo/org.lexora.Lexora.metainfo.xml"
grep -q '^\.TH LEXCTL 1' "$share/man/man1/lexctl.1"
for size in 16 32 48 64 128 256; do
  test -s "$share/icons/hicolor/${size}x${size}/apps/org.lexora.Lexora.png"
done

export XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=offscreen
lexctl() { "$tmp/usr/bin/lexctl" --root "$tmp/data" --program-dir "$share/lexora" "$@"; }
lexctl init > /dev/null
for law in KP MP CP KS MS CS; do lexctl import "$share/lexora/laws/$law.txt" > /dev/null; done
lexctl import-xml "GT=$share/lexora/xml/GT.xml" > /dev/null
# Whole outputs first: a reader that stops early would end lexctl with SIGPIPE.
laws=$(lexctl laws)
test "$(wc -l <<<"$laws")" -eq 7
grep -q '^7 GT 行政手続法$' <<<"$laws"
found=$(lexctl search 契約 解除)
grep -q '検索結果 = 42件' <<<"$found"
shown=$(lexctl show GT2)
grep -q '行政手続法' <<<"$shown"
# The installed viewer's first start, with nothing set: its data root goes to the user's data
# folder and the bundled laws are imported before its window opens.
export XDG_DATA_HOME="$tmp/xdg" XDG_CONFIG_HOME="$tmp/viewer-config"
"$tmp/usr/bin/Lexora" > "$tmp/lexora.log" 2>&1 &
viewer=$!
trap 'kill "$viewer" 2> /dev/null || true; rm -rf "$tmp"' EXIT
for _ in $(seq 1 360); do
  grep -qs '^INIT=TRUE' "$XDG_CONFIG_HOME/LXA/LXA.ini" && break
  sleep 0.5
done
if ! grep -qs '^INIT=TRUE' "$XDG_CONFIG_HOME/LXA/LXA.ini"; then
  echo "the installed viewer's first start did not finish in 180 s:" >&2
  cat "$tmp/lexora.log" >&2
  exit 1
fi
kill "$viewer" 2> /dev/null || true
wait "$viewer" 2> /dev/null || true
grep -q "^ROOT=$tmp/xdg/Lexora" "$XDG_CONFIG_HOME/LXA/LXA.ini"
installed() { "$tmp/usr/bin/lexctl" "$@"; }  # no options: the settings the viewer saved
found=$(installed search 契約 解除)
grep -q '検索結果 = 42件' <<<"$found"
test -s "$tmp/xdg/Lexora/DB/会社法.mdb"
echo "installed into $tmp/usr and read the seven laws"
