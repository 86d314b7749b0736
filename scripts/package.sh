#!/usr/bin/env bash
# Builds the Debian package from the release build and checks it as a Debian
# packager would: lintian (no errors, no warnings that are not overridden with
# a reason), the desktop entry, the AppStream metadata; then installs it with
# dpkg, runs what it installed and removes it. Then checks what the Windows
# zip holds (the Windows build's tests install and remove the MSI under Wine)
# and the web app's site zip (from the wasm build, which comes first: the
# .deb and the Windows zip carry its single-file page).
#
# The maintainer is whoever builds the package: PROXCRED_MAINTAINER, as
# "Name <address>". Without it a test package is built and checked under a
# placeholder that names no one, at a domain that cannot exist.
set -euo pipefail
cd "$(dirname "$0")/.."
maintainer=${PROXCRED_MAINTAINER:-"proxcred package test <package-test@proxcred.invalid>"}
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# The web app first: the .deb and the Windows zip carry its single-file page.
echo "== web app (wasm build)"
cmake --preset wasm >/dev/null
cmake --build --preset wasm >/dev/null

echo "== Debian package"
# The README's recipe, as a builder whose umask lets everyone write runs it:
# the package must come out the same.
(
  umask 000
  cmake --preset release -DPROXCRED_MAINTAINER="$maintainer" >/dev/null
  cmake --build --preset release
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
  rm -f "build/release/proxcred_${version}_$(dpkg --print-architecture).deb"
  cpack --preset deb >/dev/null
)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
deb=build/release/proxcred_${version}_$(dpkg --print-architecture).deb
echo "built $deb under umask 000"
# Every folder 0755, every file 0644 or 0755 (symbolic links aside).
unsafe=$(dpkg-deb -c "$deb" | awk '$1 !~ /^(drwxr-xr-x|-rw-r--r--|-rwxr-xr-x|lrwxrwxrwx)$/')
if [ -n "$unsafe" ]; then
  echo "FAILED: the package holds entries others could write to:" >&2
  echo "$unsafe" >&2
  exit 1
fi
echo "modes: folders 0755, files 0644 or 0755"

lintian --fail-on error,warning --display-info --pedantic --show-overrides "$deb"
echo "lintian: no errors or warnings"
desktop-file-validate gui/resources/proxcred.desktop
# The metadata's id is the package's name, as the desktop entry's is: the
# project owns no domain to give it a reverse-DNS id.
appstreamcli validate --no-net --override cid-desktopapp-is-not-rdns=info \
  build/release/packaging/proxcred.metainfo.xml

# Installed and removed again, leaving the machine as it was. Minimal Debian
# images tell dpkg to leave out man pages; this test wants them.
trap '"${sudo[@]}" dpkg --purge proxcred >/dev/null 2>&1 || true' EXIT
"${sudo[@]}" dpkg -i --path-include='/usr/share/man/man1/proxcred*' "$deb"
[ "$(/usr/bin/proxcred-cli --version)" = "proxcred-cli $version" ]
[ "$(/usr/bin/proxcred --version)" = "proxcred $version" ]
[ "$(/usr/bin/proxcred-cli encode -f 26 -F 118 1603)" = 0000000673006206 ]
grep -q '<title>Proximity Credential Translator</title>' /usr/share/proxcred/proxcred.html
man -w proxcred-cli
man proxcred-cli 2>/dev/null | grep -q 'wiegand decode'
"${sudo[@]}" dpkg --purge proxcred
trap - EXIT
[ ! -e /usr/bin/proxcred-cli ]
echo "installed, ran and removed $deb"

echo "== Windows zip"
cmake --preset windows >/dev/null
(cd build/windows && cpack -G ZIP >/dev/null)
zip=build/windows/proxcred-${version}-win64.zip
python3 - "$zip" <<'PYTHON'
import sys, zipfile
wanted = {"proxcred.exe", "proxcred-cli.exe", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "proxcred.txt",
          "proxcred.html"}
held = set(zipfile.ZipFile(sys.argv[1]).namelist())
missing = wanted - held
print(f"{sys.argv[1]}: " + (f"missing {sorted(missing)}" if missing else "holds " + ", ".join(sorted(held))))
sys.exit(1 if missing else 0)
PYTHON

echo "== web app"
site_zip=build/wasm/proxcred-${version}-site.zip
python3 - "$site_zip" <<'PYTHON'
import sys, zipfile
wanted = {"index.html", "app.js", "core.js", "proxcred.js", "proxcred.wasm", "sw.js", "manifest.webmanifest",
          "icon.svg", "icon-192.png", "icon-512.png"}
held = set(zipfile.ZipFile(sys.argv[1]).namelist())
missing = wanted - held
print(f"{sys.argv[1]}: " + (f"missing {sorted(missing)}" if missing else f"holds the site ({len(held)} files)"))
sys.exit(1 if missing else 0)
PYTHON
echo "packages built and checked in ${SECONDS} s"
