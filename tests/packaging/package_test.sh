#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from this build tree and inspects it: control fields and contents,
# the programs run from an unpacked copy, the desktop entry, the .ign file type, and the
# installed window opening a .ign file named on its command line.
#
# usage: package_test.sh BUILD_DIR BUILT_CLI
set -euo pipefail
build_dir=$1
built_cli=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
need() {
  command -v "$1" >/dev/null || fail "$1 is missing (Debian package $2; scripts/install-deps.sh installs it)"
}
need cpack cmake
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need file file
need desktop-file-validate desktop-file-utils
need update-mime-database shared-mime-info

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# ---- The package ------------------------------------------------------------------------
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
shopt -s nullglob
debs=("$work"/out/rq-vtmx4_*.deb)
shopt -u nullglob
[ ${#debs[@]} -eq 1 ] || fail "expected one rq-vtmx4_*.deb, found ${#debs[@]}"
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = rq-vtmx4 ] || fail "package name $(field Package)"
[[ "$(field Version)" == 79-* ]] || fail "version $(field Version) is not the program version 79"
depends=$(field Depends)
echo "Depends: $depends"
# The library dependencies are dpkg-shlibdeps' (versioned), not written by hand.
grep -Eq '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends" || fail "no versioned libc6 dependency"
grep -Eq '(^|, )libstdc\+\+6 \(>= [0-9.]+\)' <<<"$depends" || fail "no libstdc++6 dependency"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/contents"
has() { grep -qx "$1" "$work/contents" || fail "the package lacks $1"; }
has /usr/bin/rq_vtmx4_cli
has /usr/bin/rq_vtmx4_unit_sim
has /usr/share/rq-vtmx4/udev/70-rq-vtmx4-serial.rules
# The udev rule is optional: nothing is placed where udev would read it.
if grep -Eq '^/(etc|lib/udev|usr/lib/udev)/' "$work/contents"; then
  fail "the package installs into a system configuration folder"
fi

dpkg -x "$deb" "$work/root"
bin=$work/root/usr/bin

# The udev rule: every line a comma-separated list of KEY op "value", and every GOTO lands.
rules=$work/root/usr/share/rq-vtmx4/udev/70-rq-vtmx4-serial.rules
term='[A-Z_]+(\{[A-Za-z_]+\})?(==|!=|=|\+=)"[^"]*"'
if grep -Ev '^[[:space:]]*(#|$)' "$rules" | grep -Evx "$term(, $term)*" >"$work/bad-rules"; then
  fail "udev rule lines not understood: $(cat "$work/bad-rules")"
fi
for target in $(grep -o 'GOTO="[^"]*"' "$rules" | cut -d'"' -f2 | sort -u); do
  grep -qx "LABEL=\"$target\"" "$rules" || fail "udev rule jumps to a missing label $target"
done
grep -q 'GROUP="dialout"' "$rules" || fail "the udev rule does not give dialout access"
grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$rules" || fail "the udev rule does not keep ModemManager off"

# ---- The command-line tool from the unpacked package -------------------------------------
"$bin/rq_vtmx4_cli" new -o "$work/installed.ign" || fail "unpacked rq_vtmx4_cli new failed"
"$built_cli" new -o "$work/built.ign"
cmp "$work/installed.ign" "$work/built.ign" || fail "unpacked and built tool write different files"
size=$(stat -c %s "$work/installed.ign")
[ "$size" -eq 5980 ] || fail "new configuration has $size bytes, not 5980"
version_re='version 79, built [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}$'
"$bin/rq_vtmx4_cli" --version | grep -Eqx "rq_vtmx4_cli $version_re" ||
  fail "rq_vtmx4_cli --version: $("$bin/rq_vtmx4_cli" --version)"
"$bin/rq_vtmx4_unit_sim" --version | grep -Eqx "rq_vtmx4_unit_sim $version_re" ||
  fail "rq_vtmx4_unit_sim --version: $("$bin/rq_vtmx4_unit_sim" --version 2>&1)"

if [ ! -x "$bin/rq_vtmx4" ]; then
  echo "no window in this build: desktop integration not checked"
  echo "package test passed"
  exit 0
fi

"$bin/rq_vtmx4" --version | grep -Eqx "rq_vtmx4 $version_re" ||
  fail "rq_vtmx4 --version: $("$bin/rq_vtmx4" --version 2>&1)"
for lib in libqt6widgets6 qt6-qpa-plugins; do
  grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "no dependency on $lib"
done

# ---- Desktop entry, icon, file type -------------------------------------------------------
desktop=$work/root/usr/share/applications/rq_vtmx4.desktop
[ -f "$desktop" ] || fail "no desktop entry"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate complains: $out"
entry() { grep -E "^$1=" "$desktop" | head -1 | cut -d= -f2-; }
[ "$(entry Exec)" = "rq_vtmx4 %f" ] || fail "Exec=$(entry Exec)"
mime_type=application/x-rq-vtmx4-ign
[ "$(entry MimeType)" = "$mime_type;" ] || fail "MimeType=$(entry MimeType)"
for lang in de fr cs; do
  [ -n "$(entry "Name\\[$lang\\]")" ] || fail "no Name[$lang]"
  [ -n "$(entry "Comment\\[$lang\\]")" ] || fail "no Comment[$lang]"
done
icon=$(entry Icon)
[ -f "$work/root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 16 24 32 48 64 128 256; do
  png=$work/root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
  file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "icon $png: $(file -b "$png" 2>&1)"
done

# The MIME definition parses and gives .ign files (by name and by content) their type.
data=$work/data
mkdir -p "$data/mime/packages"
cp "$work/root/usr/share/mime/packages/"*.xml "$data/mime/packages/"
out=$(XDG_DATA_HOME=$data XDG_DATA_DIRS=$data update-mime-database "$data/mime" 2>&1) ||
  fail "update-mime-database: $out"
[ -z "$out" ] || fail "update-mime-database complains: $out"
grep -qx "50:$mime_type:\\*.ign" "$data/mime/globs2" || fail "no *.ign glob for $mime_type"
grep -aq "TAVRENIX_KEY" "$data/mime/magic" || fail "no content rule for $mime_type"
grep -qx "$mime_type text/plain" "$data/mime/subclasses" || fail "$mime_type is not text"

# ---- The installed window opens a file named on its command line ------------------------
export XDG_CONFIG_HOME=$work/config
folder=$XDG_CONFIG_HOME/RQ_VTMX4_Kelvora
mkdir -p "$folder"
"$bin/rq_vtmx4_unit_sim" --link "$work/unit" --engine off >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/unit" ] && break; sleep 0.1; done
[ -e "$work/unit" ] || { cat "$work/sim.out" >&2; fail "the unit simulator did not start"; }
printf '[BASIC]\nComPort=1\n[PORTS]\nCOM1=%s\n' "$work/unit" >"$folder/RQ_VTMX4_Kelvora_v79.ini"

# A complete file with two groups given again at the end (the last group read wins).
bike="$work/my bike.ign"
cp "$work/installed.ign" "$bike"
printf 'RETARD 17 3\r\nMAPA2_ACCEL 4200\r\n' >>"$bike"
"$bin/rq_vtmx4_cli" convert "$bike" "$work/expected.state"
"$bin/rq_vtmx4_cli" convert "$work/installed.ign" "$work/defaults.state"
if cmp -s "$work/expected.state" "$work/defaults.state"; then
  fail "the test file does not differ from the defaults"
fi

RQ_VTMX4_ANNOUNCE_SHOWN=1 QT_QPA_PLATFORM=offscreen \
  "$bin/rq_vtmx4" DEUTSCH "$bike" >"$work/window.out" 2>"$work/window.err" &
window=$!
pids+=($window)
for _ in $(seq 1200); do
  grep -q window-shown "$work/window.out" && break
  kill -0 "$window" 2>/dev/null || break
  sleep 0.1
done
grep -q window-shown "$work/window.out" || { cat "$work/window.err" >&2; fail "the window did not come up"; }
kill -TERM "$window"
status=0
wait "$window" || status=$?
[ "$status" -eq 0 ] || { cat "$work/window.err" >&2; fail "the window ended with $status"; }

cmp "$folder/_RQ_VTMX4_Kelvora_v79.ini" "$work/expected.state" ||
  fail "the state file at close does not hold the opened file's configuration"
settings=$(tr -d '\r' <"$folder/RQ_VTMX4_Kelvora_v79.ini")
grep -qx "File=$bike" <<<"$settings" || fail "the opened file is not the last file: $settings"
grep -qx "IniDir=$bike" <<<"$settings" || fail "IniDir is not the opened file: $settings"
grep -qx "Language=1" <<<"$settings" || fail "DEUTSCH before the file did not select German"

echo "package test passed"
