#!/usr/bin/env bash
# Installs Plotra's MIME types and desktop entry beside a copy of the system's MIME database in a temporary
# data folder and asks the desktop's own tools what NC programs are: every NC extension, in any case, must be
# text/x.gcode (not NetCDF data for .nc, nor a Neo Geo Pocket ROM for .ngc) and open with plotra.desktop.
# Each tool is asked where it is installed; without update-mime-database the test is skipped (status 77).
# Usage: check_mime_types.sh PLOTRA-MIME.XML PLOTRA.DESKTOP [MIME-TYPE-OF]
set -euo pipefail
mime_xml=$1 desktop=$2 qt_tool=${3:-}

system_types=/usr/share/mime/packages/freedesktop.org.xml
if ! command -v update-mime-database >/dev/null || [ ! -f "$system_types" ]; then
    echo "shared-mime-info is not installed"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$work/share
mkdir -p "$data/mime/packages" "$data/applications" "$work/home" "$work/config" "$work/programs"
cp "$system_types" "$data/mime/packages/"
cp "$mime_xml" "$data/mime/packages/plotra.xml"
cp "$desktop" "$data/applications/plotra.desktop"
export XDG_DATA_HOME=$work/home XDG_DATA_DIRS=$data XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/config
# Without fsync the database is written in a fraction of a second.
PKGSYSTEM_ENABLE_FSYNC=0 update-mime-database "$data/mime"
if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data/applications"
fi

programs=()
for name in a.nc B.NC c.Nc d.ngc E.NGC f.tap G.TAP h.cnc I.CNC J.NT K.N L.F74 M.70V N.65V O.M44 P.44W Q.M30 \
    R.4D2 S.V33 T.NCD U.NTD; do
    printf '%%\nO1000\nG00 X0 Y0\nM30\n' >"$work/programs/$name"
    programs+=("$work/programs/$name")
done

failures=0
expect_gcode() {
    local tool=$1 name=$2 type=$3
    if [ "$type" != text/x.gcode ]; then
        echo "FAIL: $tool calls $name $type" >&2
        failures=$((failures + 1))
    fi
}

asked=()
if command -v gio >/dev/null; then
    asked+=(gio)
    for program in "${programs[@]}"; do
        expect_gcode gio "${program##*/}" "$(gio info -a standard::content-type "$program" |
            sed -n 's/^ *standard::content-type: //p')"
    done
fi
if command -v xdg-mime >/dev/null; then
    asked+=(xdg-mime)
    for program in "${programs[@]}"; do
        expect_gcode xdg-mime "${program##*/}" "$(xdg-mime query filetype "$program")"
    done
    if command -v update-desktop-database >/dev/null; then
        application=$(xdg-mime query default text/x.gcode)
        if [ "$application" != plotra.desktop ]; then
            echo "FAIL: NC programs open with '$application'" >&2
            failures=$((failures + 1))
        fi
    fi
fi
if [ -n "$qt_tool" ]; then
    asked+=(QMimeDatabase)
    mapfile -t types < <("$qt_tool" "${programs[@]}")
    for i in "${!programs[@]}"; do
        expect_gcode QMimeDatabase "${programs[$i]##*/}" "${types[$i]:-}"
    done
fi

[ "$failures" -eq 0 ] || exit 1
echo "NC programs are text/x.gcode for: ${asked[*]}"
