#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed plotra-convert there: it must find the
# templates in <prefix>/share/plotra/ and draw exactly what the build folder's converter draws; without them
# it must say where it looked.
# Usage: check_install.sh CMAKE BUILD-DIR EXAMPLE.nc
set -euo pipefail
cmake=$1 build=$2 example=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for file in bin/plotra-convert share/plotra/Hedder.dat share/plotra/Footer.dat share/man/man1/plotra-convert.1.gz \
    share/mime/packages/plotra.xml share/doc/plotra/README.md share/doc/plotra/copyright; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
if [ -x "$build/bin/plotra" ]; then
    for file in bin/plotra share/applications/plotra.desktop share/icons/hicolor/scalable/apps/plotra.svg \
        share/man/man1/plotra.1.gz share/metainfo/plotra.metainfo.xml; do
        [ -f "$prefix/$file" ] || fail "$file is not installed"
    done
fi
[ ! -e "$prefix/bin/Hedder.dat" ] || fail "the templates must not lie beside the installed programs"

"$build/bin/plotra-convert" -q -o "$work/built.dxf" "$example" >/dev/null
"$prefix/bin/plotra-convert" -q -o "$work/installed.dxf" "$example" >/dev/null ||
    fail "the installed plotra-convert failed"
cmp "$work/built.dxf" "$work/installed.dxf" || fail "the installed program draws differently"

# Without the data folder: one message naming both folders, nothing drawn, exit status 1.
mv "$prefix/share/plotra" "$work/templates"
status=0
"$prefix/bin/plotra-convert" -q -o "$work/none.dxf" "$example" >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "exit status $status without templates"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "expected one message, got: $(cat "$work/err")"
grep -qF "$prefix/bin/" "$work/err" && grep -qF "$prefix/share/plotra/" "$work/err" ||
    fail "the message does not name both folders: $(cat "$work/err")"
[ ! -e "$work/none.dxf" ] || fail "a drawing was written without templates"

# Templates named on the command line still work without the data folder.
"$prefix/bin/plotra-convert" -q -o "$work/named.dxf" --header "$work/templates/Hedder.dat" \
    --footer "$work/templates/Footer.dat" "$example" >/dev/null
cmp "$work/built.dxf" "$work/named.dxf" || fail "named templates draw differently"
echo "installed programs find their templates"
