#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs there as a new user
# would: with HOME and XDG_DATA_HOME in a scratch folder, from a working folder of their own.
# They must find the board module in share/moonhaven/, keep everything they write in the user's
# data folder (never in bin/, share/, HOME or the working folder), and the command line and the
# desktop program must see the same pattern bases. When desktop-file-validate and appstreamcli
# are present, the installed .desktop and metainfo files must pass them.
#   installed_programs.sh CMAKE BUILD_DIR CORPUS_DIR
set -euo pipefail
cmake="$1"
build="$2"
corpus="$3"
scratch="$(mktemp -d /tmp/moonhaven-install-test-XXXXXX)"
trap '[ -n "${KEEP:-}" ] || rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$scratch/prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" || fail "install: $(tail -5 "$scratch/install.log")"
for f in bin/moonhaven bin/moonhaven-cli bin/moonhaven-engine share/moonhaven/board/20002.png \
  share/icons/hicolor/16x16/apps/org.moonhaven.Moonhaven.png share/icons/hicolor/scalable/apps/org.moonhaven.Moonhaven.svg \
  share/applications/org.moonhaven.Moonhaven.desktop share/metainfo/org.moonhaven.Moonhaven.metainfo.xml \
  share/mime/packages/org.moonhaven.Moonhaven.xml share/moonhaven/translations/moonhaven_en.qm \
  share/moonhaven/translations/moonhaven_zh_TW.qm; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
listing() { (cd "$prefix" && find . -printf '%p %s %T@\n' | LC_ALL=C sort); }
listing >"$scratch/prefix-before.txt"

records="$scratch/records"
cp -r "$corpus/ai-pro/AlphaGo Zero" "$records"
chmod -R u+w "$records"
mkdir -p "$scratch/home" "$scratch/work"
cd "$scratch/work"
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data"
# What libraries keep of their own (the sound server's client state, font caches) goes elsewhere,
# so that HOME shows only what the programs write.
export XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache"
unset MOONHAVEN_HOME
cli="$prefix/bin/moonhaven-cli"
data="$XDG_DATA_HOME/moonhaven"

"$cli" --version | grep -q '^moonhaven-cli 2\.2' || fail "--version"
"$cli" paths >paths.txt
grep -qx "program directory: $data/" paths.txt || fail "program directory: $(cat paths.txt)"
grep -qx "board module: $(cd "$prefix/share/moonhaven" && pwd -P)/board/" paths.txt || fail "board module: $(cat paths.txt)"

"$cli" bases add --title "AlphaGo Zero" --records "$records" >add.txt || fail "bases add"
[ -f "$data/WPBs.ini" ] || fail "WPBs.ini is not in the user's data folder"
"$cli" build >build.txt 2>build-progress.txt || fail "build: $(cat build-progress.txt)"
[ -s "$data/alphago-zero.wp2" ] || fail "no library in the user's data folder: $(ls "$data")"
"$cli" hints --empty | head -n 1 | grep -Eq '^global A [a-s]{2} ' || fail "hints from the installed build"
"$cli" bases list | grep -Eq $'^0\\*\tAlphaGo Zero\talphago-zero\t.*\t[0-9]+ games$' || fail "bases list: $("$cli" bases list)"

# The desktop program reads from the same folder.
QT_QPA_PLATFORM=offscreen MOONHAVEN_SMOKE_TEST=1 "$prefix/bin/moonhaven" >app.txt 2>app-err.txt || fail "moonhaven: $(cat app-err.txt)"
grep -qx "program directory: $data/" app.txt || fail "the desktop program's directory: $(cat app.txt)"
grep -q '^shown: ' app.txt || fail "the desktop program did not show its window"
# It finds its installed translations: Traditional Chinese chosen in the user's lang.ini.
printf '[SETTING]\nLANG=10002\n' >"$data/lang.ini"
QT_QPA_PLATFORM=offscreen MOONHAVEN_SMOKE_TEST=1 "$prefix/bin/moonhaven" >app.txt 2>app-err.txt || fail "moonhaven: $(cat app-err.txt)"
grep -q '未命名檔案' app.txt || fail "the installed program's texts are not Traditional Chinese: $(cat app.txt)"
rm "$data/lang.ini"
# A record named on the command line, relative to the working folder, opens in room 100.
cp "$(find "$corpus/tygem-gb" -name '*.sgf' | LC_ALL=C sort | sed -n 1p)" "$scratch/first game.sgf"
QT_QPA_PLATFORM=offscreen MOONHAVEN_SMOKE_TEST=1 "$prefix/bin/moonhaven" "../first game.sgf" >app.txt 2>app-err.txt ||
  fail "moonhaven FILE: $(cat app-err.txt)"
grep -Eq '^shown: .*\[[^[]*100[^ ]*\( first game\.sgf -- ' app.txt || fail "the record did not open in room 100: $(cat app.txt)"
rm "$scratch/first game.sgf"

# Removing the base with its files leaves the list, and nothing of the base.
"$cli" bases remove 0 --delete-files >remove.txt || fail "bases remove"
grep -Eqx 'deleted [1-9][0-9]* files' remove.txt || fail "bases remove: $(cat remove.txt)"
[ "$(ls "$data" | tr '\n' ' ')" = "WPBs.ini moonhaven.ini " ] || fail "left after bases remove --delete-files: $(ls "$data")"

# Without XDG_DATA_HOME the data folder is ~/.local/share/moonhaven.
XDG_DATA_HOME= "$cli" paths | grep -qx "program directory: $HOME/.local/share/moonhaven/" || fail "without XDG_DATA_HOME"
rmdir "$HOME/.local/share/moonhaven" || fail "the fallback folder was not made, or was written into"
rm -r "$HOME/.local"

# Nothing was written anywhere else.
rm -f paths.txt add.txt remove.txt build.txt build-progress.txt app.txt app-err.txt
[ -z "$(ls -A .)" ] || fail "the working folder was written into: $(ls -A .)"
[ "$(cd "$HOME" && find . -mindepth 1 -not -path './data' -not -path './data/moonhaven' -not -path './data/moonhaven/*')" = "" ] ||
  fail "HOME was written outside the data folder: $(cd "$HOME" && find . -mindepth 1)"
listing >"$scratch/prefix-after.txt"
diff -q "$scratch/prefix-before.txt" "$scratch/prefix-after.txt" >/dev/null || fail "the prefix changed: $(diff "$scratch/prefix-before.txt" "$scratch/prefix-after.txt" | head -5)"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.moonhaven.Moonhaven.desktop" || fail "desktop-file-validate"
else
  echo "note: desktop-file-validate is not installed; the .desktop file was not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/org.moonhaven.Moonhaven.metainfo.xml" >"$scratch/as.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$scratch/as.txt")"
else
  echo "note: appstreamcli is not installed; the metainfo was not validated"
fi
echo "ok: installed programs run from $prefix"
