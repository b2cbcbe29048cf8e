#!/usr/bin/env bash
# Fails when a build used a Debian package that tools/install-deps.sh does not
# install (by name or as a dependency of a package it names), and names it.
#   tools/check-deps.sh BUILD_DIR...
# What counts as used: the files CMake read while configuring (its file API),
# the headers the compiler read (Ninja's dependency log), the libraries on the
# link lines, the programs the build and the tests run, and the programs that
# make's recipes and tools/ scripts call. What CMake only found (its cache lists
# every tool of a toolchain, used or not) does not count. Each is mapped to its package through
# dpkg's file lists. A fresh machine starts with Debian's required packages and
# git, make, ca-certificates and sudo, so those count as present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$root/build"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Programs that make test, make package and make lint run outside the build's
# own commands (tools/*.sh, the Makefile, the test scripts).
script_programs=(cmake ninja ctest cpack clang clang++ clang-format clang-tidy xargs
  desktop-file-validate appstreamcli man lintian dpkg-deb dpkg-shlibdeps
  parallel xvfb-run Xvfb xauth sudo apt-get dpkg-query)

for build in "$@"; do
  [ -f "$build/CMakeCache.txt" ] || { echo "check-deps: $build is not a configured build folder" >&2; exit 2; }
  # Ask CMake once for the files it reads; the reply comes with the next configure.
  query=$build/.cmake/api/v1/query/cmakeFiles-v1
  if [ ! -e "$query" ] || ! ls "$build"/.cmake/api/v1/reply/cmakeFiles-v1-*.json > /dev/null 2>&1; then
    mkdir -p "$(dirname "$query")" && touch "$query"
    cmake "$build" > /dev/null
  fi
  for reply in "$build"/.cmake/api/v1/reply/cmakeFiles-v1-*.json; do
    grep -o '"path" : "/[^"]*"' "$reply" | sed 's/^"path" : "//; s/"$//'
  done
  ninja -C "$build" -t deps 2> /dev/null | sed -n 's/^    \(\/usr\/.*\)$/\1/p'
  commands=$work/commands
  ninja -C "$build" -t commands > "$commands" 2> /dev/null || true
  grep -oE '(^|[ "])/usr/[^ "]+\.(so|a)(\.[0-9.]+)?' "$commands" | sed 's/^[ "]//' || true
  for lib in $(grep -oE '(^| )-l[A-Za-z0-9_+-]+' "$commands" | sed 's/^ *-l//' | sort -u); do
    for file in "lib$lib.so" "lib$lib.a"; do
      found=$(c++ -print-file-name="$file")
      [ "$found" != "$file" ] && echo "$found"
    done
  done
  # Every program named in a build command (wherever it stands: cmake -E env
  # runs some) and every test command.
  grep -oE '(^|[ "])/usr/(s?bin|lib/[^ "]*/bin)/[^ "]+' "$commands" | sed 's/^[ "]//' || true
  ctest --test-dir "$build" --show-only=json-v1 2> /dev/null |
    grep -A1 '"command"' | sed -n 's/^ *"\(\/usr\/[^"]*\)",\{0,1\}$/\1/p' || true
done > "$work/used-raw"
for program in "${script_programs[@]}"; do
  command -v "$program" || true
done >> "$work/used-raw"

# Each used file (folders belong to many packages and say nothing) also under its
# resolved name and under the other half of merged /usr.
sort -u "$work/used-raw" | xargs -r -d '\n' stat -L -c '%F	%n' 2> /dev/null |
  awk -F'	' '$1 != "directory" { print $2 }' > "$work/files"
{
  cat "$work/files"
  xargs -r -d '\n' realpath -e < "$work/files"
} | awk '{ print }
  /^\/usr\/(lib|bin|sbin)\// { print substr($0, 5) }
  /^\/(lib|bin|sbin)\// { print "/usr" $0 }' | sort -u > "$work/used"

# path -> package, from dpkg's file lists; a file no package owns is our own.
(cd /var/lib/dpkg/info && awk -v used="$work/used" '
  BEGIN { while ((getline line < used) > 0) want[line] = 1 }
  ($0 in want) && !(($0, FILENAME) in seen) {
    seen[$0, FILENAME] = 1
    package = FILENAME; sub(/\.list$/, "", package); sub(/:.*$/, "", package)
    print package "\t" $0
  }' ./*.list) | sed 's/^\.\///' | sort -u > "$work/owners"

# What a fresh machine has after tools/install-deps.sh (with cluster, for make
# test-cluster): the list, the base system, and everything they depend on.
dpkg-query -W -f='${Package}\t${Essential}\t${Priority}\n' |
  awk -F'\t' '$2 == "yes" || $3 == "required" { print $1 }' > "$work/base"
# shellcheck disable=SC2046
apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances $("$root/tools/install-deps.sh" --list cluster) \
  apt git make ca-certificates sudo $(cat "$work/base") 2> /dev/null |
  sed -n 's/^\([^ <][^ ]*\)$/\1/p; s/^ *[|]\{0,1\}[A-Za-z]*: \([^<][^ ]*\)$/\1/p' |
  sed 's/:.*$//' | sort -u > "$work/installed"

missing=$(cut -f1 "$work/owners" | sort -u | comm -23 - "$work/installed")
if [ -n "$missing" ]; then
  echo "tools/install-deps.sh does not install these packages that the build uses:" >&2
  for package in $missing; do
    echo "  $package (for example $(awk -F'\t' -v p="$package" '$1 == p { print $2; exit }' "$work/owners"))" >&2
  done
  exit 1
fi
echo "check-deps: every package the build uses ($(cut -f1 "$work/owners" | sort -u | wc -l)) is installed by tools/install-deps.sh"
