#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package built from this build tree, in four steps that share its folder
# BUILD_DIR/package-test (so that no step runs long):
#   build    builds it, checks its control fields and unpacks it;
#   contents inspects what it holds: the file list, copyright, changelog and manual pages, the
#            user manual, the programs run from the unpacked copy, the desktop entry, the .ign
#            file type and the AppStream metadata;
#   window   the unpacked window opens a .ign file named on its command line, and F1 opens its
#            installed manual with the desktop's viewer;
#   lintian  lintian reports no error and no warning (when it is installed).
#
# usage: package_test.sh build|contents|window|lintian BUILD_DIR BUILT_CLI MANUAL_MD
set -euo pipefail
mode=$1
build_dir=$2
built_cli=$3
manual_md=$4
state=$(realpath -m "$build_dir")/package-test
deb=$state/rq-vtmx4.deb
root=$state/root
bin=$root/usr/bin
doc=/usr/share/doc/rq-vtmx4
mime_type=application/x-rq-vtmx4-ign

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
need man man-db
need appstreamcli appstream

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

field() { dpkg-deb -f "$deb" "$1"; }

if [ "$mode" != build ] && [ ! -f "$state/built" ]; then
  fail "no package in $state: the package_deb test builds it first"
fi

case $mode in
build)
# ---- The package ------------------------------------------------------------------------
rm -rf "$state"
mkdir -p "$state"
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
shopt -s nullglob
debs=("$work"/out/rq-vtmx4_*.deb)
shopt -u nullglob
[ ${#debs[@]} -eq 1 ] || fail "expected one rq-vtmx4_*.deb, found ${#debs[@]}"
cp "${debs[0]}" "$deb"
echo "package: $(basename "${debs[0]}"), $(stat -c %s "$deb") bytes"

# A real address for the maintainer, and a description lintian's width (80) holds.
maintainer_re='^[^<]+ <[a-z0-9.-]+@example\.org>$'
[[ "$(field Maintainer)" =~ $maintainer_re ]] || fail "maintainer $(field Maintainer)"
long=$(field Description | awk 'length($0) > 79')
[ -z "$long" ] || fail "description lines longer than 79 columns: $long"
[ "$(field Package)" = rq-vtmx4 ] || fail "package name $(field Package)"
[[ "$(field Version)" == 79-* ]] || fail "version $(field Version) is not the program version 79"
depends=$(field Depends)
echo "Depends: $depends"
# The library dependencies are dpkg-shlibdeps' (versioned), not written by hand.
grep -Eq '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends" || fail "no versioned libc6 dependency"
grep -Eq '(^|, )libstdc\+\+6 \(>= [0-9.]+\)' <<<"$depends" || fail "no libstdc++6 dependency"
dpkg -x "$deb" "$root"
touch "$state/built"
;;

contents)
depends=$(field Depends)

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/contents"
has() { grep -qx "$1" "$work/contents" || fail "the package lacks $1"; }
has /usr/bin/rq_vtmx4_cli
has /usr/bin/rq_vtmx4_unit_sim
has /usr/share/rq-vtmx4/udev/70-rq-vtmx4-serial.rules
# The udev rule is optional: nothing is placed where udev would read it.
if grep -Eq '^/(etc|lib/udev|usr/lib/udev)/' "$work/contents"; then
  fail "the package installs into a system configuration folder"
fi

# The udev rule: every line a comma-separated list of KEY op "value", and every GOTO lands.
rules=$root/usr/share/rq-vtmx4/udev/70-rq-vtmx4-serial.rules
term='[A-Z_]+(\{[A-Za-z_]+\})?(==|!=|=|\+=)"[^"]*"'
if grep -Ev '^[[:space:]]*(#|$)' "$rules" | grep -Evx "$term(, $term)*" >"$work/bad-rules"; then
  fail "udev rule lines not understood: $(cat "$work/bad-rules")"
fi
for target in $(grep -o 'GOTO="[^"]*"' "$rules" | cut -d'"' -f2 | sort -u); do
  grep -qx "LABEL=\"$target\"" "$rules" || fail "udev rule jumps to a missing label $target"
done
grep -q 'GROUP="dialout"' "$rules" || fail "the udev rule does not give dialout access"
grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$rules" || fail "the udev rule does not keep ModemManager off"
grep -qx 'ACTION=="add", SUBSYSTEM=="usb-serial", DRIVER=="ftdi_sio", ATTR{latency_timer}="1"' "$rules" ||
  fail "the udev rule does not set the latency timer of FTDI adapters to 1 ms"

# ---- Copyright, changelog, manual pages, user manual ----------------------------------------
has $doc/copyright
has $doc/changelog.Debian.gz
has $doc/Kelvora_manual_en.pdf
copyright=$root$doc/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in the machine-readable format"
grep -qx 'License: GPL-3.0-or-later' "$copyright" || fail "copyright names no GPL-3.0-or-later"
grep -q '/usr/share/common-licenses/GPL-3' "$copyright" || fail "copyright does not point to GPL-3"
changelog=$root$doc/changelog.Debian.gz
gzip -t "$changelog" || fail "changelog.Debian.gz is not gzip"
first=$(zcat "$changelog" | head -1)
[[ "$first" == "rq-vtmx4 ($(field Version)) "* ]] || fail "changelog starts with: $first"

# The manual: a PDF with at least one page per top-level section of its source.
pdf=$root$doc/Kelvora_manual_en.pdf
file -b "$pdf" | grep -q '^PDF document' || fail "the manual is not a PDF: $(file -b "$pdf")"
sections=$(grep -c '^# ' "$manual_md")
pages=$(grep -ac '/Type /Page$' "$pdf" || true)
echo "manual: $sections sections, $pages pages, $(stat -c %s "$pdf") bytes"
[ "$pages" -ge "$sections" ] || fail "the manual has $pages pages for $sections sections"

# Every program has a manual page that man renders without warnings, and it names every
# option its --help lists.
programs=(rq_vtmx4_cli rq_vtmx4_unit_sim)
[ -x "$root/usr/bin/rq_vtmx4" ] && programs+=(rq_vtmx4)
for program in "${programs[@]}"; do
  page=$root/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || fail "no manual page for $program"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
    fail "man cannot render $program.1: $warnings"
  [ -z "$warnings" ] || fail "man warns about $program.1: $warnings"
  text=$(zcat "$page" | sed 's/\\-/-/g')
  help=$("$root/usr/bin/$program" --help 2>&1)
  for option in $(grep -oE -- '(^|[ [])--?[a-z][a-z-]*' <<<"$help" | tr -d ' [' | sort -u); do
    grep -qF -- "$option" <<<"$text" || fail "$program.1 does not describe $option"
  done
done
for command in new convert show diff read verify program info monitor history cells check; do
  zcat "$root/usr/share/man/man1/rq_vtmx4_cli.1.gz" | grep -q "^\.B.* $command\b" ||
    fail "rq_vtmx4_cli.1 does not describe the command $command"
done

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
  exit 0
fi

"$bin/rq_vtmx4" --version | grep -Eqx "rq_vtmx4 $version_re" ||
  fail "rq_vtmx4 --version: $("$bin/rq_vtmx4" --version 2>&1)"
for lib in libqt6widgets6 qt6-qpa-plugins; do
  grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "no dependency on $lib"
done

# ---- Desktop entry, icon, file type -------------------------------------------------------
desktop=$root/usr/share/applications/rq_vtmx4.desktop
[ -f "$desktop" ] || fail "no desktop entry"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate complains: $out"
entry() { grep -E "^$1=" "$desktop" | head -1 | cut -d= -f2-; }
[ "$(entry Exec)" = "rq_vtmx4 %f" ] || fail "Exec=$(entry Exec)"
[ "$(entry MimeType)" = "$mime_type;" ] || fail "MimeType=$(entry MimeType)"
for lang in de fr cs; do
  [ -n "$(entry "Name\\[$lang\\]")" ] || fail "no Name[$lang]"
  [ -n "$(entry "Comment\\[$lang\\]")" ] || fail "no Comment[$lang]"
done
icon=$(entry Icon)
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 16 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png
  file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "icon $png: $(file -b "$png" 2>&1)"
done

# The MIME definition parses and gives .ign files (by name and by content) their type.
data=$work/data
mkdir -p "$data/mime/packages"
cp "$root/usr/share/mime/packages/"*.xml "$data/mime/packages/"
out=$(XDG_DATA_HOME=$data XDG_DATA_DIRS=$data update-mime-database "$data/mime" 2>&1) ||
  fail "update-mime-database: $out"
[ -z "$out" ] || fail "update-mime-database complains: $out"
grep -qx "50:$mime_type:\\*.ign" "$data/mime/globs2" || fail "no *.ign glob for $mime_type"
grep -aq "TAVRENIX_KEY" "$data/mime/magic" || fail "no content rule for $mime_type"
grep -qx "$mime_type text/plain" "$data/mime/subclasses" || fail "$mime_type is not text"

# ---- AppStream metadata -------------------------------------------------------------------
metainfo=$root/usr/share/metainfo/org.example.rq_vtmx4.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream metadata"
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
grep -q "<mediatype>$mime_type</mediatype>" "$metainfo" || fail "the metadata does not provide $mime_type"
grep -q '<launchable type="desktop-id">rq_vtmx4.desktop</launchable>' "$metainfo" ||
  fail "the metadata does not launch the desktop entry"
grep -q '<screenshot type="default">' "$metainfo" || fail "the metadata has no screenshot"
;;

window)
if [ ! -x "$bin/rq_vtmx4" ]; then
  echo "no window in this build: nothing to check"
  exit 0
fi
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
"$bin/rq_vtmx4_cli" new -o "$work/installed.ign"
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

# ---- F1 opens the installed manual with the desktop's viewer --------------------------------
# On an X server (Xvfb) Qt hands the manual to xdg-open; a stand-in on PATH records what it
# was given. The window starts in a folder without a manual, as from the desktop menu.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  fake=$work/fakebin
  mkdir -p "$fake" "$work/elsewhere"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$work/viewer.log" >"$fake/xdg-open"
  chmod +x "$fake/xdg-open"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.err" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { cat "$work/xvfb.err" >&2; fail "Xvfb did not start"; }
  display=:$(head -1 "$work/display")
  (cd "$work/elsewhere" &&
    exec env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
      DISPLAY="$display" QT_QPA_PLATFORM=xcb PATH="$fake:$PATH" RQ_VTMX4_ANNOUNCE_SHOWN=1 \
      "$bin/rq_vtmx4" >"$work/f1.out" 2>"$work/f1.err") &
  window=$!
  pids+=($window)
  for _ in $(seq 1200); do
    grep -q window-shown "$work/f1.out" && break
    kill -0 "$window" 2>/dev/null || break
    sleep 0.1
  done
  grep -q window-shown "$work/f1.out" || { cat "$work/f1.err" >&2; fail "the window did not come up on Xvfb"; }
  id=$(DISPLAY=$display xdotool search --sync --onlyvisible --pid "$window" | head -1)
  DISPLAY=$display xdotool windowfocus --sync "$id" key F1
  for _ in $(seq 100); do [ -s "$work/viewer.log" ] && break; sleep 0.1; done
  expected="file://$root$doc/Kelvora_manual_en.pdf"
  [ "$(cat "$work/viewer.log" 2>/dev/null)" = "$expected" ] ||
    fail "F1 gave the viewer \"$(cat "$work/viewer.log" 2>/dev/null)\", not $expected"
  kill -TERM "$window"
  wait "$window" || true
  echo "F1 opened $expected"
else
  echo "Xvfb or xdotool missing: F1 on the installed window not checked"
fi
;;

lintian)
# ---- lintian ------------------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian_start=$(date +%s)
  out=$(lintian --display-info --pedantic --fail-on error,warning "$deb" 2>&1) || {
    echo "$out" >&2
    fail "lintian reports errors or warnings"
  }
  echo "lintian: no errors, no warnings ($(($(date +%s) - lintian_start)) s); kept:"
  echo "${out:-  (nothing)}"
else
  echo "lintian is not installed: the package was not checked by it"
fi
;;

*)
  fail "unknown step $mode"
  ;;
esac
echo "package test ($mode) passed"
