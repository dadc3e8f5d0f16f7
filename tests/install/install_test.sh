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
echo "installed into $tmp/usr and read the seven laws"
