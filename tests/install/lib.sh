# Shared by the install and package tests: failing with a reason, a scratch folder, the PNG size.
set -euo pipefail
build=${TICKWELL_BUILD_DIR:?the build folder}
version=${TICKWELL_VERSION:?the project version}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap installs it)"
  done
}
# Width and height of a PNG, read from its header.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
