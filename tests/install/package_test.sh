#!/usr/bin/env bash
# The Debian package made from the build tree: its name, fields, files and dependencies, what
# lintian says of it, and its programs unpacked into a scratch root, run headless by bare name
# from PATH.
source "$(dirname "$0")/lib.sh"
need cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb=$scratch/out/tickwell_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$scratch/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tickwell ] || fail "package $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture)"
depends=$(field Depends)
# Libraries come from the programs; plugins Qt loads at run time are named by hand.
for library in libqt6core6 libqt6widgets6 libqt6dbus6 libcurl4 libgumbo1 'libicu[0-9]' qt6-image-formats-plugins qt6-qpa-plugins; do
  grep -Eq "(^|, )$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# What `apt install ./tickwell_*.deb` would do: every dependency can be met.
if command -v apt-get >/dev/null; then
  apt-get install --simulate "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt cannot install the package"; }
fi

# No error and no warning; informational tags are printed but pass.
lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail "lintian finds errors or warnings"; }
cat "$scratch/lintian.log"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$scratch/files"
for file in /usr/bin/tickwell /usr/bin/tickwell-menu /usr/bin/tickwell-defaults \
  /usr/share/man/man1/tickwell.1.gz /usr/share/man/man1/tickwell-menu.1.gz /usr/share/man/man1/tickwell-defaults.1.gz \
  /usr/share/applications/com.brantlow.Tickwell.desktop /usr/share/metainfo/com.brantlow.Tickwell.metainfo.xml \
  /usr/share/mime/packages/com.brantlow.Tickwell.xml /usr/share/icons/hicolor/48x48/apps/com.brantlow.Tickwell.png \
  /usr/share/doc/tickwell/README.html /usr/share/doc/tickwell/copyright /usr/share/doc/tickwell/changelog.gz; do
  grep -qx "$file" "$scratch/files" || fail "the package lacks $file"
done
# Only the programs a person runs are in PATH; the web engine's helper is beside them in lib.
[ "$(grep -c '^/usr/bin/.' "$scratch/files")" = 3 ] || fail "PATH gets more than the three programs: $(grep '^/usr/bin/.' "$scratch/files")"
if [ -x "$build/bin/tickwell-archiver" ]; then
  grep -qx /usr/lib/tickwell/tickwell-archiver "$scratch/files" || fail "the package lacks /usr/lib/tickwell/tickwell-archiver"
fi
if grep -E '_tests$|/bench_|tickwell-feed|make-artwork|make-docs|\.a$|/include/' "$scratch/files"; then
  fail "the package carries build-only files"
fi
grep -q '^Exec=/usr/bin/tickwell$' <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/com.brantlow.Tickwell.desktop) \
  || fail "the packaged launcher does not run /usr/bin/tickwell"

root=$scratch/root
dpkg -x "$deb" "$root"
gzip -dc "$root/usr/share/doc/tickwell/changelog.gz" >"$scratch/changelog"
changelog_version=$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's newest entry is $changelog_version, the package $version"
for program in "$root"/usr/bin/* "$root"/usr/lib/tickwell/*; do
  [ -e "$program" ] || continue
  if readelf -d "$program" | grep -Eq 'RPATH|RUNPATH'; then
    fail "$program keeps a library path of the build"
  fi
done
home=$scratch/home
mkdir -p "$home/config" "$home/data"
run() {
  (cd "$scratch" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$root/usr/bin:/usr/bin:/bin" \
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" LC_ALL=en_US.UTF-8 "$@")
}
for key in QuotePageHost ChartImageHost LogoHost MetalsHost MarketsHost OtherIndicesHost OrderBookHost; do
  run tickwell-defaults write "$key" -string 127.0.0.1:9 >/dev/null
done
run tickwell-defaults write StockSymbols -array ACME >/dev/null
# Without a display, tickwell hands over to the tickwell-menu beside it and prints the menu.
run tickwell --format json >"$scratch/menu.json" 2>"$scratch/menu.err" || { cat "$scratch/menu.err"; fail "tickwell did not print the menu"; }
grep -q '"title": *"Quit"' "$scratch/menu.json" || fail "no menu from the unpacked tickwell: $(head -c 400 "$scratch/menu.json")"
grep -q '"Preferences...' "$scratch/menu.json" || fail "the menu lacks Preferences..."
echo "package: ok ($(basename "$deb"), $(wc -l <"$scratch/files") entries)"
