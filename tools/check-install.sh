#!/usr/bin/env bash
# Installs a build into a scratch DESTDIR and checks what a user's system
# would get: the desktop entry and AppStream data as Debian's tools validate
# them, the installed programs, the help page where the program looks for it,
# the manual pages rendered without warnings; then builds the Debian package
# and runs lintian on it (no errors; the warnings we keep are listed below).
#   tools/check-install.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=/usr/local
app=org.dimora3.Dimora3

DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" > /dev/null
installed=$stage$prefix
echo "== installed into $installed"

desktop-file-validate --no-hints "$installed/share/applications/$app.desktop"
appstreamcli validate --no-net --pedantic "$installed/share/metainfo/$app.metainfo.xml" > /dev/null
echo "   desktop entry and AppStream data valid"

for size in 48x48 256x256; do
  test -s "$installed/share/icons/hicolor/$size/apps/$app.png"
done
test -s "$installed/share/icons/hicolor/scalable/apps/$app.svg"

"$installed/bin/dimora3-cli" --version | grep -q '^dimora3-cli '
"$installed/bin/dimora3-cli" black "$root/samples/sierpinski-carpet.bmp" --json | grep -q '"dimension"'
echo "   dimora3-cli runs: $("$installed/bin/dimora3-cli" --version)"

# The desktop program looks for its help page in share/dimora3 beside bin.
test -s "$installed/bin/../share/dimora3/help.htm"
if [ -x "$installed/bin/dimora3" ]; then
  QT_QPA_PLATFORM=offscreen "$installed/bin/dimora3" --version | grep -q '^dimora3 '
fi

# The Python module, where Debian's python3 looks for it whatever the prefix.
python_dir=$(sed -n 's/^DIMORA_PYTHON_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ -n "$python_dir" ]; then
  PYTHONPATH="$stage$python_dir" /usr/bin/python3 -c 'import dimora3, sys; print(dimora3.black(sys.argv[1]))' \
    "$root/samples/sierpinski-carpet.bmp" | grep -q '^BoxCount(D='
  echo "   the Python module measures from $python_dir"
fi

for page in "$installed"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  if [ -n "$warnings" ]; then
    echo "man -l $page warns:"; echo "$warnings"; exit 1
  fi
done
echo "   manual pages render: $(cd "$installed/share/man/man1" && echo *)"

# The package. Warnings kept, each for a reason:
#   no-manual-page-for-... : none expected; every program has its page.
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(ls "$build"/dimora3_*_amd64.deb)
lintian --fail-on error --suppress-tags-from-file "$root/packaging/lintian-accepted" "$deb"
echo "   $(basename "$deb"): lintian finds no errors"
