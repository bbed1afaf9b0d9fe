#!/usr/bin/env bash
# `cmake --install` into a scratch prefix, checked with the desktop's own tools: the launcher and
# metadata validate, the icon sizes are what their folders say, a saved .webarchive gets the MHTML
# type, the README page that "Help" opens is there with its pictures, and man shows the pages.
source "$(dirname "$0")/lib.sh"
need desktop-file-validate appstreamcli update-mime-database xdg-mime man

# A prefix with a space: the launcher's Exec line must quote it.
for prefix in "$scratch/plain" "$scratch/with space"; do
  cmake --install "$build" --prefix "$prefix" >/dev/null
  share=$prefix/share
  for program in tickwell tickwell-menu tickwell-defaults; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not installed"
  done
  [ ! -e "$prefix/bin/tickwell-feed" ] || fail "tickwell-feed is a development tool and is not installed"
  [ ! -e "$prefix/bin/tickwell-archiver" ] || fail "tickwell-archiver is a helper and stays out of PATH"
  if [ -x "$build/bin/tickwell-archiver" ]; then
    [ -x "$prefix/lib/tickwell/tickwell-archiver" ] || fail "tickwell-archiver is not in lib/tickwell"
  fi

  desktop=$share/applications/com.brantlow.Tickwell.desktop
  desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  case "$prefix" in
    *" "*) expected="\"$prefix/bin/tickwell\"" ;;
    *) expected="$prefix/bin/tickwell" ;;
  esac
  [ "$exec_line" = "$expected" ] || fail "the launcher runs $exec_line, not $expected"
done

appstreamcli validate --no-net "$share/metainfo/com.brantlow.Tickwell.metainfo.xml" || fail "the metainfo does not validate"
# The metainfo, the desktop entry and the icons agree with each other.
appstreamcli validate-tree --no-net "$prefix" || fail "the installed tree does not validate"
newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$share/metainfo/com.brantlow.Tickwell.metainfo.xml" | head -n1)
[ "$newest" = "$version" ] || fail "the newest release in the metainfo is $newest, the project is $version"

icons=0
for icon in "$share"/icons/hicolor/*/apps/com.brantlow.Tickwell.png; do
  folder=$(basename "$(dirname "$(dirname "$icon")")")
  [ "$(png_size "$icon")" = "$folder" ] || fail "$icon is $(png_size "$icon")"
  icons=$((icons + 1))
done
[ "$icons" -ge 6 ] || fail "only $icons icon sizes"

# Without the entry the content is sniffed as mail; with it the extension decides, in any case.
# The base types come from a database of our own, built from freedesktop.org's list alone: the
# system's may hold an installed Tickwell's entry, which would make the control prove nothing.
update-mime-database "$share/mime" 2>/dev/null
base=$scratch/base
mkdir -p "$base/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$base/mime/packages/"
update-mime-database "$base/mime" 2>/dev/null
printf 'From: <Saved by Tickwell>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/related; type="text/html"; boundary="b"\r\n\r\n--b\r\nContent-Type: text/html\r\n\r\n<html></html>\r\n--b--\r\n' >"$scratch/Article.webarchive"
cp "$scratch/Article.webarchive" "$scratch/LOUD.WEBARCHIVE"
filetype() { env XDG_DATA_DIRS="$1" XDG_DATA_HOME="$scratch/no-user-data" XDG_CURRENT_DESKTOP=X-Generic xdg-mime query filetype "$2"; }
for file in "$scratch/Article.webarchive" "$scratch/LOUD.WEBARCHIVE"; do
  type=$(filetype "$share:$base" "$file")
  [ "$type" = "application/x-mimearchive" ] || fail "$(basename "$file") is $type"
done
without=$(filetype "$base" "$scratch/Article.webarchive")
[ "$without" != "application/x-mimearchive" ] || fail "the type was known without the installed entry; the check proves nothing"

page=$prefix/share/doc/tickwell/README.html
[ -f "$page" ] || fail "the README page is not installed"
grep -q '<h1' "$page" || fail "the README page has no heading"
grep -o '<img src="[^"]*"' "$page" | sed 's/<img src="//; s/"$//' | while read -r picture; do
  [ -f "$(dirname "$page")/$picture" ] || fail "the README page shows $picture, which is not installed"
done
# MANPATH alone: an installed Tickwell's pages elsewhere must not stand in for these.
for program in tickwell tickwell-menu tickwell-defaults; do
  found=$(MANPATH="$prefix/share/man" man -w "$program") || fail "man does not find $program's page"
  [ "$found" = "$prefix/share/man/man1/$program.1.gz" ] || fail "man finds $found for $program"
done
MANPATH="$prefix/share/man" MANWIDTH=80 man tickwell-defaults 2>"$scratch/man.err" >"$scratch/man.txt" || fail "man cannot show tickwell-defaults: $(cat "$scratch/man.err")"
grep -q 'tickwell-defaults - read and edit' "$scratch/man.txt" || fail "the page of tickwell-defaults lacks its name line"
[ ! -s "$scratch/man.err" ] || fail "man complains: $(cat "$scratch/man.err")"
[ -f "$share/doc/tickwell/copyright" ] || fail "the copyright file is not installed"
echo "installed tree: ok"
