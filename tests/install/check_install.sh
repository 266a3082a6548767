#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a user gets:
# the tree, the desktop entry, the metainfo and the file types through their
# validators, the installed programs, and the Debian package that cpack
# makes from the same build.
# Usage: check_install.sh BUILD_DIR
# With NETTOR_CHROOT=<folder holding a Debian 12 system> it also installs the
# package there, runs it and removes it again (not part of the test run:
# making such a folder takes minutes and a network).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "$1" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/nettor-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt"; exit 1; }

# ---- the install tree
prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1; then
  cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1
fi
expected=(
  bin/nettor bin/nettor-cli
  share/doc/nettor/index.html
  share/applications/nettor.desktop
  share/icons/hicolor/scalable/apps/nettor.svg
  share/mime/packages/nettor.xml
  share/metainfo/nettor.metainfo.xml
  share/man/man1/nettor-cli.1
)
for size in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/nettor.png"); done
for f in "${expected[@]}"; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done
for f in bin/nettor bin/nettor-cli; do
  [ -x "$prefix/$f" ] || fail "$f is not executable"
done
# Every picture the manual shows is installed with it.
pictures="$(grep -oE 'src="[^"]+"' "$prefix/share/doc/nettor/index.html" | sed 's/^src="//; s/"$//' | sort -u)"
[ -n "$pictures" ] || fail "the installed manual shows no pictures"
for p in $pictures; do
  [ -s "$prefix/share/doc/nettor/$p" ] || fail "the manual's picture $p is not installed"
done
# Each PNG icon is as large as the folder it is in says.
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/nettor.png" | grep -q "PNG image data, $size x $size," \
    || fail "the ${size}x${size} icon is not a $size x $size PNG"
done
# Nothing else is installed: no tests, benchmarks or libraries.
extra="$(cd "$prefix" && find . -type f | sed 's|^\./||' | grep -vE '^share/doc/nettor/' | sort)"
wanted="$(printf '%s\n' "${expected[@]}" | grep -v '^share/doc/nettor/' | sort)"
[ "$extra" = "$wanted" ] || fail "the tree differs from the expected one: $(diff <(echo "$wanted") <(echo "$extra") | grep '^[<>]' | tr '\n' ' ')"
[ $failures -eq 0 ] && ok "install tree: ${#expected[@]} files and $(wc -w <<<"$pictures") manual pictures"

# ---- the validators
desktop="$prefix/share/applications/nettor.desktop"
if out="$(desktop-file-validate "$desktop" 2>&1)" && [ -z "$out" ]; then ok "desktop-file-validate"; else fail "desktop-file-validate: $out"; fi
grep -qx 'Exec=nettor %f' "$desktop" || fail "the desktop entry does not start nettor with a file"
grep -qx 'Icon=nettor' "$desktop" || fail "the desktop entry's icon is not the installed nettor icon"
for type in application/x-nettor-project application/x-nettor-cut-edges model/obj image/vnd.dxf image/x-3ds application/x-metasequoia application/x-hexagreat3d; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not open $type"
done
metainfo="$prefix/share/metainfo/nettor.metainfo.xml"
if out="$(appstreamcli validate --no-net "$metainfo" 2>&1)"; then ok "appstreamcli validate"; else fail "appstreamcli validate: $out"; fi
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not version $version"
mime="$prefix/share/mime/packages/nettor.xml"
if out="$(xmllint --noout "$mime" "$metainfo" 2>&1)"; then ok "xmllint"; else fail "xmllint: $out"; fi
# The shared MIME database takes the file: the type is found by its
# extension and by its first line.
if out="$(XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime" 2>&1)" && [ -z "$out" ]; then
  grep -qx 'application/x-nettor-cut-edges:\*\.nte' <(cut -d: -f2- "$prefix/share/mime/globs2") \
    || fail "the MIME database has no *.nte glob"
  grep -aq '#Nettor Cut Edge Info' "$prefix/share/mime/magic" || fail "the MIME database has no magic for .nte"
  [ -s "$prefix/share/mime/application/x-nettor-cut-edges.xml" ] || fail "the MIME database has no cut-edge type"
  grep -qx 'application/x-nettor-project:\*\.nettor' <(cut -d: -f2- "$prefix/share/mime/globs2") \
    || fail "the MIME database has no *.nettor glob"
  ok "update-mime-database"
else
  fail "update-mime-database: $out"
fi

# ---- the installed programs
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
sample="$root/samples/house.obj"
out="$("$prefix/bin/nettor-cli" --version 2>&1)"
[ "$out" = "nettor-cli $version" ] && ok "nettor-cli --version: $out" || fail "nettor-cli --version printed '$out', not 'nettor-cli $version'"
# The version needs no display.
out="$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/nettor" --version 2>&1)"
[ "$out" = "nettor $version" ] && ok "nettor --version: $out" || fail "nettor --version printed '$out', not 'nettor $version'"
installed_info="$("$prefix/bin/nettor-cli" info "$sample" 2>&1)"
built_info="$("$build/src/nettor-cli" info "$sample" 2>&1)"
if grep -q '^faces: [1-9]' <<<"$installed_info" && [ "$installed_info" = "$built_info" ]; then
  ok "nettor-cli info $(basename "$sample"): $(grep '^faces:' <<<"$installed_info")"
else
  fail "the installed nettor-cli info gives '$installed_info', the built one '$built_info'"
fi
if out="$(bash "$root/tests/install/check_man_page.sh" "$prefix/bin/nettor-cli" "$prefix/share/man/man1/nettor-cli.1" 2>&1)"; then
  ok "man page"
else
  fail "man page: $out"
fi
# The window comes up on a display with the model in it, and the program quits.
if command -v xvfb-run > /dev/null; then
  out="$(QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$prefix/bin/nettor" --quit-when-shown "$sample" 2>&1)"
  rc=$?
  if [ $rc -eq 0 ] && grep -qx "shown: $(basename "$sample" .obj) - Nettor" <<<"$out"; then
    ok "nettor window shown: ${out##*shown: }"
  else
    fail "nettor --quit-when-shown (exit $rc): $out"
  fi
else
  fail "xvfb-run is missing, so the window cannot be checked"
fi

# ---- the Debian package
packages="$work/packages"
if (cd "$build" && cpack -G DEB -B "$packages" > "$work/cpack.log" 2>&1); then
  deb="$(ls "$packages"/nettor_"$version"_*.deb 2>/dev/null | head -1)"
else
  deb=""
  cat "$work/cpack.log"
fi
if [ -z "$deb" ]; then
  fail "cpack -G DEB made no nettor_${version}_*.deb"
else
  info="$(dpkg-deb --info "$deb")"
  field() { sed -n "s/^ $1: //p" <<<"$info"; }
  [ "$(field Package)" = nettor ] || fail "package name is '$(field Package)'"
  [ "$(field Version)" = "$version" ] || fail "package version is '$(field Version)', not $version"
  [ "$(field Section)" = graphics ] || fail "package section is '$(field Section)'"
  grep -qE '^[^<]+ <[^>]+@[^>]+>$' <<<"$(field Maintainer)" || fail "package maintainer is '$(field Maintainer)'"
  [ -n "$(field Description)" ] && [ "$(grep -c '^  ' <<<"$info")" -gt 0 ] || fail "the package has no description"
  # The libraries come from dpkg-shlibdeps, with versions.
  depends="$(field Depends)"
  depended="$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')"
  for lib in libc6 libstdc++6 libqt6widgets6 libqt6opengl6 libassimp5 qt6-qpa-plugins; do
    grep -qxF "$lib" <<<"$depended" || fail "the package does not depend on $lib: $depends"
  done
  grep -q "libqt6widgets6 (>= " <<<"$depends" || fail "the package's dependencies carry no versions: $depends"
  contents="$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./||')"
  for f in "${expected[@]}"; do
    grep -qx "usr/$f" <<<"$contents" || fail "the package lacks /usr/$f"
  done
  for p in $pictures; do
    grep -qx "usr/share/doc/nettor/$p" <<<"$contents" || fail "the package lacks the manual's $p"
  done
  outside="$(grep -v '/$' <<<"$contents" | grep -v '^usr/' || true)"
  [ -z "$outside" ] || fail "the package installs outside /usr: $outside"
  [ $failures -eq 0 ] && ok "package $(basename "$deb"): depends on $(wc -l <<<"$depended") packages, $(grep -vc '/$' <<<"$contents") files"
fi

if [ -n "${NETTOR_CHROOT:-}" ] && [ -n "$deb" ]; then
  bash "$root/tests/install/check_package_in_chroot.sh" "$NETTOR_CHROOT" "$deb" "$sample" || fail "the package in $NETTOR_CHROOT"
fi

if [ $failures -ne 0 ]; then
  echo "install checks: $failures failed"
  exit 1
fi
echo "install checks: all passed"
