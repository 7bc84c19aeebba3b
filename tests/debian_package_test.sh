#!/usr/bin/env bash
# The Debian package `cpack -G DEB` makes from a build: its Debian file name, the files a
# package must hold, the run-time dependencies dpkg-shlibdeps cannot see, and no lintian error.
#
#   debian_package_test.sh BUILD_DIR VERSION [CPACK]
set -uo pipefail
build="$1"
version="$2"
cpack="${3:-cpack}"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

work="$(mktemp -d)" || { echo "package test: no temporary folder"; exit 1; }
trap 'rm -rf "$work"' EXIT

if ! "$cpack" -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "package test: cpack -G DEB failed"
  exit 1
fi
package="$work/kanat_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$package" ]; then
  ls "$work"
  echo "package test: no $(basename "$package")"
  exit 1
fi
pass "$(basename "$package")"

dpkg-deb -c "$package" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/files"
for file in /usr/bin/kanat /usr/bin/kanat-hesapla /usr/share/applications/kanat.desktop \
            /usr/share/icons/hicolor/48x48/apps/kanat.png /usr/share/doc/kanat/copyright \
            /usr/share/doc/kanat/changelog.gz /usr/share/man/man1/kanat.1.gz \
            /usr/share/man/man1/kanat-hesapla.1.gz; do
  if grep -qx "$file" "$work/files"; then pass "$file"; else fail "the package lacks $file"; fi
done
grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' "$work/files" && pass "AppStream metainfo" ||
  fail "the package has no AppStream metainfo"

depends="$(dpkg-deb -f "$package" Depends)"
for needed in libqt6widgets6 qt6-translations-l10n qt6-image-formats-plugins fonts-dejavu-core; do
  case ", $depends," in
    *", $needed"[\ ,]*) pass "depends on $needed" ;;
    *) fail "Depends '$depends' lacks $needed" ;;
  esac
done

lintian --tag-display-limit 0 "$package" >"$work/lintian.log" 2>&1
status=$?
grep -v '^running with root privileges' "$work/lintian.log"
if [ "$status" -ne 0 ] || grep -q '^E: ' "$work/lintian.log"; then
  fail "lintian reports errors (status $status)"
else
  pass "no lintian error"
fi

if [ "$failures" -eq 0 ]; then echo "package test: all checks passed"; exit 0; fi
echo "package test: $failures failed"
exit 1
