#!/bin/sh
# The Debian package as an installer gets it: built with CPack from the build
# tree (first argument, default "build"), its file list compared with
# resources/desktop/package-files.txt, checked by lintian, extracted into a
# scratch root that is then made read-only. From there the installed panel is
# started offscreen by name through PATH, from another folder, with a scratch
# home and, under root, as an unprivileged user:
#   1. without a target it creates its working directory in the home;
#   2. with a target on the installed kvsim it downloads the demo project and
#      shows the first page; the picture is kept as <build>/package-check/panel.png.
set -e
cd "$(dirname "$0")/.."
BUILD=${1:-build}
STARTED=$(date +%s)
OUT=$PWD/$BUILD/package-check
rm -rf "$OUT" && mkdir -p "$OUT"
rm -f "$BUILD"/kirovantor3_*.deb
(cd "$BUILD" && cpack -G DEB >"$OUT/cpack.log" 2>&1) || { cat "$OUT/cpack.log"; exit 1; }
DEB=$(ls "$PWD/$BUILD"/kirovantor3_*.deb)
echo "package: $(basename "$DEB") ($(du -k "$DEB" | cut -f1) kB)"
dpkg-deb -f "$DEB" Depends

dpkg-deb -c "$DEB" | awk '{print $6}' | grep -v '/$' | sort >"$OUT/files.txt"
diff -u resources/desktop/package-files.txt "$OUT/files.txt" || { echo "package file list differs"; exit 1; }

lintian --fail-on error "$DEB" >"$OUT/lintian.log" 2>&1 ||
    { cat "$OUT/lintian.log"; echo "lintian found errors"; exit 1; }
sed 's/^/lintian: /' "$OUT/lintian.log"

SCRATCH=$(mktemp -d)
SIM=""
cleanup() {
    [ -n "$SIM" ] && kill "$SIM" 2>/dev/null
    chmod -R u+w "$SCRATCH" 2>/dev/null
    rm -rf "$SCRATCH"
}
trap cleanup EXIT INT TERM
ROOT=$SCRATCH/root
HOME_DIR=$SCRATCH/home
mkdir -p "$ROOT" "$HOME_DIR" "$SCRATCH/elsewhere"
dpkg -x "$DEB" "$ROOT"
chmod -R a-w "$ROOT"
chmod a+rx "$SCRATCH"
AS_USER=""
if [ "$(id -u)" -eq 0 ]; then
    # The administrator may write anywhere: the panel runs as a user would.
    chown -R nobody:nogroup "$HOME_DIR" "$SCRATCH/elsewhere"
    AS_USER="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
run() {
    (cd "$SCRATCH/elsewhere" && exec $AS_USER env -i HOME="$HOME_DIR" PATH="$ROOT/usr/bin:/usr/bin:/bin" \
        LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen timeout 120 "$@")
}

for program in kirovantor3 kvsim kvtool; do
    version=$(run "$program" --version)
    [ "$version" = "$program $(sed -n 's/.*KV_APP_VERSION = "\(.*\)".*/\1/p' app/kv_app_version.h)" ] ||
        { echo "$program --version says: $version"; exit 1; }
done

WORK_DIR=$HOME_DIR/.local/share/kirovantor3
run kirovantor3 --screenshot "$HOME_DIR/start.png" >"$OUT/panel-first.log" 2>&1 ||
    { cat "$OUT/panel-first.log"; echo "the installed panel did not start"; exit 1; }
[ -f "$WORK_DIR/kv_app.kvp" ] || { echo "no local project in $WORK_DIR"; exit 1; }
[ -z "$(ls -A "$SCRATCH/elsewhere")" ] || { echo "the panel wrote into the folder it was started from"; exit 1; }
[ -z "$(find "$ROOT" -name project)" ] || { echo "the panel made a project folder beside the program"; exit 1; }
echo "working directory created: ~/.local/share/kirovantor3 ($(stat -c %a "$WORK_DIR"))"

run kvsim --port 0 --no-discovery >"$OUT/kvsim.log" 2>&1 &
SIM=$!
PORT=""
for _ in $(seq 50); do
    PORT=$(sed -n 's/^listening on \([0-9]*\)$/\1/p' "$OUT/kvsim.log")
    [ -n "$PORT" ] && break
    sleep 0.1
done
[ -n "$PORT" ] || { cat "$OUT/kvsim.log"; echo "the installed kvsim did not start"; exit 1; }
run kvtool route "$WORK_DIR/kv_app.kvp" Simulator "127.0.0.1:$PORT" root werk-zugang >/dev/null

run kirovantor3 --screenshot "$HOME_DIR/panel.png" >"$OUT/panel.log" 2>&1 ||
    { tail -30 "$OUT/panel.log"; tail -20 "$OUT/kvsim.log"; echo "the installed panel showed no page"; exit 1; }
cp "$HOME_DIR/panel.png" "$OUT/panel.png"
echo "installed panel downloaded the demo project and showed its first page: $BUILD/package-check/panel.png"
echo "package check: $(($(date +%s) - STARTED)) s"
