#!/bin/sh
# Builds the installer: installs the build into a staging folder with `cmake --install`, adds
# the program icon at each size the icon file holds, and wraps it all with makeself.
#
#   make-installer.sh CMAKE BUILD_DIR INSTALL_SCRIPT MAKESELF OUTPUT
set -eu
cmake=$1
build=$2
script=$3
makeself=$4
output=$5

stage="$(dirname "$output")/stage"
package="$stage/.kamplayer-installer"
rm -rf "$stage"
mkdir -p "$package"
"$cmake" --install "$build" --prefix "$package/program" --strip >/dev/null
cp "$script" "$package/install.sh"
chmod 755 "$package/install.sh"

# One PNG per size; of two frames of one size the deeper one wins (listed last after sorting).
ico="$package/program/skin/icon.ico"
identify -format '%p %w %h %z\n' "$ico" | sort -k2,2n -k3,3n -k4,4n |
  while read -r index width height depth; do
    mkdir -p "$package/icons/${width}x${height}"
    convert "$ico[$index]" "PNG32:$package/icons/${width}x${height}/kamplayer.png"
  done

# makeself's own header, except that --target is ours (the folder to install into) rather than
# the header's (a folder to unpack the raw package into, past the install script).
header="$(dirname "$output")/header.sh"
stock=$(sed -n 's/^HEADER=//p' "$makeself" | head -n 1)
sed -e '/^  --target dir /,+1d' -e '/^    --target)$/,/^\t;;$/c\    --target)\n\tbreak ;;' "$stock" >"$header"
if ! grep -q '^	break ;;$' "$header" || grep -q 'targetdir="\\${2' "$header"; then
  echo "make-installer.sh: the makeself header $stock is not the one expected" >&2
  exit 1
fi
usage="$(dirname "$output")/usage.txt"
printf '%s\n' \
  "Started without arguments it installs: an upgrade in place when the folder it lies in is a" \
  "program directory, otherwise into \$XDG_DATA_HOME/kamplayer (~/.local/share/kamplayer)." \
  "  --target DIR          Install into DIR instead" >"$usage"

# --nox11: started by the updater without a terminal, it must not look for one.
# --keep-umask: the installed files get the user's usual modes.
"$makeself" --quiet --nox11 --keep-umask --sha256 --nomd5 --nocrc \
  --header "$header" --help-header "$usage" \
  "$stage" "$output.part" "kamplayer" ./.kamplayer-installer/install.sh
rm -f "$header" "$usage"
mv -f "$output.part" "$output"
rm -rf "$stage"
