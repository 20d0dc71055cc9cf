#!/usr/bin/env bash
# Packs the build with CPack, unpacks the package with dpkg -x into a scratch root, and checks
# that the files are where the desktop entry says, that the dependencies came from the libraries,
# and that the unpacked tractionctl and program run and the program finds its manual.
#   tst_package.sh BUILD_DIR VERSION
set -uo pipefail
build="$1" version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what="$1"; shift; if "$@"; then echo "PASS: $what"; else fail "$what"; fi; }

start=$SECONDS
if ! cpack --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack builds the package"
  exit 1
fi
deb="$(ls "$work"/pack/*.deb)"
echo "packed $(basename "$deb") ($(du -k "$deb" | cut -f1) KB) in $((SECONDS - start)) s"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for lib in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 libqcustomplot qt6-qpa-plugins; do
  check "depends on $lib" grep -q "$lib" <<<"$depends"
done

root="$work/root"
dpkg -x "$deb" "$root" || { fail "dpkg -x unpacks the package"; exit 1; }

desktop="$root/usr/share/applications/veltorane-traction.desktop"
check "the desktop entry is installed" test -f "$desktop"
exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
check "Exec=$exec_name is an installed program" test -x "$root/usr/bin/$exec_name"
check "Icon=$icon_name is in the hicolor theme" \
  test -n "$(find "$root/usr/share/icons/hicolor" -name "$icon_name.svg" -o -name "$icon_name.png" 2>/dev/null)"
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
else
  fail "desktop-file-validate is missing (scripts/deps has desktop-file-utils)"
fi
check "the desktop entry opens a file it is given" grep -qx "Exec=traction %f" "$desktop"
check "the desktop entry takes .tra files" grep -qx "MimeType=application/x-veltorane-tra;" "$desktop"
mime="$root/usr/share/mime"
check "the file types are installed" test -f "$mime/packages/veltorane-traction.xml"
if command -v update-mime-database >/dev/null; then
  check "the MIME database takes the file types" update-mime-database "$mime"
  check ".tra and .tune files are known by name" \
    bash -c "grep -q 'application/x-veltorane-tra:\\*.tra' '$mime/globs' && grep -q 'application/x-veltorane-tune:\\*.tune' '$mime/globs'"
fi
metainfo="$root/usr/share/metainfo/veltorane-traction.metainfo.xml"
check "the AppStream metainfo is installed" test -f "$metainfo"
if command -v appstreamcli >/dev/null; then
  check "appstreamcli validate accepts the metainfo" appstreamcli validate --no-net "$metainfo"
else
  fail "appstreamcli is missing (scripts/deps has appstream)"
fi
check "the udev rule for FTDI latency is installed" test -f "$root/usr/lib/udev/rules.d/60-veltorane-ftdi-latency.rules"
if command -v lintian >/dev/null; then
  # Errors fail; warnings are listed (the README says which remain and why).
  lintian --tag-display-limit 0 "$deb" | tee "$work/lintian.txt"
  check "lintian finds no errors in the package" bash -c "! grep -q '^E: ' '$work/lintian.txt'"
else
  fail "lintian is missing (scripts/deps has lintian)"
fi
for f in usr/bin/tractionctl usr/bin/unit-sim; do
  check "$f is installed" test -x "$root/$f"
done
for page in traction tractionctl unit-sim; do
  check "the man page of $page is installed and reads" \
    bash -c "zcat '$root/usr/share/man/man1/$page.1.gz' | man --warnings -l - 2>&1 >/dev/null | (! grep .)"
done
completion="$root/usr/share/bash-completion/completions/tractionctl"
check "the bash completion is installed and parses" bash -n "$completion"
check "the bash completion completes tractionctl" grep -q "complete .*-F _tractionctl tractionctl" "$completion"

out="$("$root/usr/bin/tractionctl" --version)"
check "the installed tractionctl --version says $version" test "$out" = "tractionctl $version"

manual="$root/usr/share/veltorane-traction/Traction_Manual.pdf"
check "the manual is installed as a PDF" test "$(head -c4 "$manual" 2>/dev/null)" = "%PDF"
help="$("$root/usr/bin/$exec_name" --help)"
echo "$help"
check "the installed program finds its manual" grep -qxF "Manual: $manual" <<<"$help"
check "the installed program says its version" test "$("$root/usr/bin/$exec_name" --version)" = "traction $version"

echo "$failures failed, whole run $((SECONDS - start)) s"
exit $((failures > 0))
