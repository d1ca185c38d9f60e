#!/usr/bin/env bash
# Installs Plotra's MIME types and desktop entry beside a copy of the system's MIME database and asks the
# desktop's tools what NC programs are: every NC extension, in any case, must be text/x.gcode (not NetCDF for
# .nc, nor a Neo Geo Pocket ROM for .ngc), opened by plotra.desktop. Tools that are not installed are not
# asked; without shared-mime-info the test is skipped (status 77).
# Usage: check_mime_types.sh PLOTRA-MIME.XML PLOTRA.DESKTOP [MIME-TYPE-OF]
# The *_type functions are called by name from a table.
# shellcheck disable=SC2317
set -euo pipefail
qt_tool=${3:-}
system_types=/usr/share/mime/packages/freedesktop.org.xml
command -v update-mime-database >/dev/null && [ -f "$system_types" ] || exit 77

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/home XDG_DATA_DIRS=$work/share XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/config
mkdir -p "$XDG_DATA_DIRS/mime/packages" "$XDG_DATA_DIRS/applications" "$work/nc"
cp "$system_types" "$XDG_DATA_DIRS/mime/packages/"
cp "$1" "$XDG_DATA_DIRS/mime/packages/plotra.xml"
cp "$2" "$XDG_DATA_DIRS/applications/plotra.desktop"
PKGSYSTEM_ENABLE_FSYNC=0 update-mime-database "$XDG_DATA_DIRS/mime"

programs=()
for name in a.nc B.NC c.Nc d.ngc E.NGC f.tap G.CNC H.NT I.N J.F74 K.70V L.65V M.M44 N.44W O.M30 P.4D2 Q.V33 \
    R.NCD S.NTD; do
    printf '%%\nO1000\nG00 X0 Y0\nM30\n' >"$work/nc/$name"
    programs+=("$work/nc/$name")
done
gio_type() { gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
xdg_type() { xdg-mime query filetype "$1"; }
qt_type() { "$qt_tool" "$1"; }

status=0
tools=(gio:gio_type "${qt_tool:-none}":qt_type)
# xdg-mime reads the desktop's database through File::MimeInfo's mimetype; without it, it falls back to
# file(1), which knows none of the desktop's types.
if command -v mimetype >/dev/null; then
    tools+=(xdg-mime:xdg_type)
fi
for tool in "${tools[@]}"; do
    command -v "${tool%%:*}" >/dev/null || continue
    for program in "${programs[@]}"; do
        type=$("${tool#*:}" "$program")
        [ "$type" = text/x.gcode ] || { echo "FAIL: ${tool%%:*} calls ${program##*/} $type" >&2 && status=1; }
    done
done
if command -v xdg-mime >/dev/null && command -v update-desktop-database >/dev/null; then
    update-desktop-database "$XDG_DATA_DIRS/applications"
    opener=$(xdg-mime query default text/x.gcode)
    [ "$opener" = plotra.desktop ] || { echo "FAIL: NC programs open with '$opener'" >&2 && status=1; }
fi
exit $status
