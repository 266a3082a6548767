#!/usr/bin/env bash
# Installs the Debian package into a Debian 12 system in a folder (made by
# debootstrap), runs both programs there, removes the package and checks that
# none of its files are left.
# Usage: check_package_in_chroot.sh CHROOT_DIR PACKAGE.deb SAMPLE_MODEL
# Needs root and Debian's package archive; it changes the system in the
# folder (the package's dependencies stay installed).
set -uo pipefail
chroot_dir="$(cd "$1" && pwd)"
deb="$2"
sample="$3"
fail=0

mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[$i]}" 2>/dev/null; done
  rm -rf "$chroot_dir/tmp/nettor-check"
}
trap cleanup EXIT
for m in proc sys dev; do
  if ! mountpoint -q "$chroot_dir/$m"; then
    mount --bind "/$m" "$chroot_dir/$m" && mounted+=("$chroot_dir/$m")
  fi
done
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
mkdir -p "$chroot_dir/tmp/nettor-check"
cp "$deb" "$sample" "$chroot_dir/tmp/nettor-check/"
run() { chroot "$chroot_dir" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive HOME=/root "$@"; }

name="$(basename "$deb")"
model="/tmp/nettor-check/$(basename "$sample")"
files="$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\.||' | grep -v '/$')"

run apt-get update -q > /dev/null || { echo "chroot: apt-get update failed"; exit 1; }
if ! run apt-get install -y -q --no-install-recommends "/tmp/nettor-check/$name" > "$chroot_dir/tmp/nettor-check/install.log" 2>&1; then
  tail -20 "$chroot_dir/tmp/nettor-check/install.log"; echo "chroot: apt-get install ./$name failed"; exit 1
fi
echo "chroot: installed $name"
run nettor-cli --version || fail=1
run nettor --version || fail=1
if out="$(run nettor-cli info "$model")" && grep -q '^faces: [1-9]' <<<"$out"; then
  echo "chroot: nettor-cli info $(basename "$model"): $(grep '^faces:' <<<"$out")"
else
  echo "chroot: nettor-cli info failed: $out"; fail=1
fi
# The shared MIME database, when the system has one, learns the cut-edge type.
if [ -x "$chroot_dir/usr/bin/update-mime-database" ]; then
  if [ -s "$chroot_dir/usr/share/mime/application/x-nettor-cut-edges.xml" ]; then
    echo "chroot: the MIME database knows application/x-nettor-cut-edges"
  else
    echo "chroot: the MIME database did not learn the cut-edge type"; fail=1
  fi
fi
run man -w nettor-cli > /dev/null 2>&1 || [ -f "$chroot_dir/usr/share/man/man1/nettor-cli.1" ] || { echo "chroot: no man page"; fail=1; }

run apt-get remove -y -q nettor > /dev/null 2>&1 || { echo "chroot: apt-get remove failed"; fail=1; }
state="$(run dpkg-query -W -f='${Status}' nettor 2>/dev/null)"
case "$state" in
  "" | "unknown ok not-installed" | "deinstall ok not-installed") ;;
  *) echo "chroot: after removal the package is '$state'"; fail=1 ;;
esac
left=0
while read -r f; do
  if [ -e "$chroot_dir$f" ]; then echo "chroot: $f is left behind"; left=1; fi
done <<<"$files"
[ -e "$chroot_dir/usr/share/mime/application/x-nettor-cut-edges.xml" ] && { echo "chroot: the MIME database still knows the cut-edge type"; left=1; }
[ $left -eq 0 ] && echo "chroot: apt-get remove left none of the $(wc -l <<<"$files") files behind" || fail=1
exit $fail
