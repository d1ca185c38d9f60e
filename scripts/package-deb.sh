#!/usr/bin/env bash
# Builds the Debian package build-deb/plotra_<version>_<arch>.deb with CPack and checks it with lintian, which
# must report no errors. With --try-install it then installs the package with apt, converts the bundled
# example with the installed program and templates, removes the package and checks that nothing is left.
# Needs root (or sudo) for what is missing and for --try-install.
set -euo pipefail
cd "$(dirname "$0")/.."

try_install=false
case "${1:-}" in
  --try-install) try_install=true ;;
  "") ;;
  *) echo "usage: $0 [--try-install]" >&2; exit 2 ;;
esac

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

scripts/setup.sh lintian

# Debian's hardening flags, all of them (bindnow too), as a package built by Debian's own tools would get.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DPLOTRA_TESTS=OFF -DPLOTRA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-deb -j"$(nproc)"
rm -f build-deb/plotra_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
deb=$(echo build-deb/plotra_*.deb)
echo "Package: $deb"

# The package is kept free of lintian warnings as well as errors.
lintian --fail-on error,warning --info "$deb"

if ! $try_install; then
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-deb/bin/plotra-convert -q -o "$work/built.dxf" examples/contour.nc >/dev/null
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
/usr/bin/plotra-convert -q -o "$work/installed.dxf" examples/contour.nc >/dev/null
cmp "$work/built.dxf" "$work/installed.dxf"
echo "The installed plotra-convert draws examples/contour.nc with the installed templates."

as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq plotra >/dev/null
left=()
while read -r path; do
  [ -e "$path" ] && [ ! -d "$path" ] && left+=("$path")
done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|')
if [ "${#left[@]}" -gt 0 ] || dpkg-query -W -f='${db:Status-Abbrev}' plotra 2>/dev/null | grep -q '^[ir]'; then
  echo "Left behind after apt remove: ${left[*]} $(dpkg-query -W -f='${db:Status-Abbrev}' plotra 2>/dev/null)" >&2
  exit 1
fi
echo "apt remove plotra left nothing behind."
