#!/bin/sh
# The main job: install what is missing, build, start the controller simulator
# with the demo project on loopback and start the panel with a local target
# pointing at it. Without a display everything runs under Xvfb and pictures of
# the window are saved to out/screenshots/.
#
#   KV_SIM_PORT      TCP port of the simulator (default 10001)
#   KV_DEMO_SECONDS  how long a headless run lasts (default 25)
set -e
cd "$(dirname "$0")/.."
ROOT=$PWD
./scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target kirovantor3 kvsim kvtool kvshot kvtour

OUT=$ROOT/out
mkdir -p "$OUT/screenshots"
PORT=${KV_SIM_PORT:-10001}

# A fresh settings directory unless the user has settings of their own.
if [ -z "$XDG_CONFIG_HOME" ] && [ ! -d "$HOME/.config/kirovantor3" ]; then
    export XDG_CONFIG_HOME="$OUT/config"
    rm -rf "$XDG_CONFIG_HOME"
fi

DEMO=$OUT/demo.kvp
rm -f "$DEMO"
build/tools/kvtool demo "$DEMO"

# The panel keeps its local project in its working directory (next to the
# program by default); give it the simulator as its active target.
APP=build/app/kirovantor3
mkdir -p build/app/project
build/tools/kvtool route build/app/project/kv_app.kvp "Simulator" "127.0.0.1:$PORT" root werk-zugang >/dev/null

PIDS=""
cleanup() { [ -n "$PIDS" ] && kill $PIDS 2>/dev/null; wait 2>/dev/null || true; }
trap cleanup EXIT INT TERM

build/tools/kvsim/kvsim --port "$PORT" --project "$DEMO" --live 2000 >"$OUT/kvsim.log" 2>&1 &
PIDS="$!"
echo "kvsim serves the demo project on 127.0.0.1:$PORT (log: out/kvsim.log)"

if [ -n "$DISPLAY" ]; then
    "$APP" -app
    exit 0
fi

export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
PIDS="$PIDS $!"
sleep 1
"$APP" -app >"$OUT/app.log" 2>&1 &
PIDS="$PIDS $!"
echo "the panel runs headless under Xvfb (log: out/app.log)"
sleep 6
build/tools/kvshot "$OUT/screenshots/panel.png"
echo "screenshot: out/screenshots/panel.png"
# The picture tour: target dialog, status panel and pages in both styles,
# and a page before and after switching its language.
rm -rf "$OUT/tour" && mkdir -p "$OUT/tour"
build/tools/kvtool route "$OUT/tour/kv_app.kvp" "Simulator" "127.0.0.1:$PORT" root werk-zugang >/dev/null
build/tools/kvtool history "$OUT/tour/kv_app_history.db" 14
QT_QPA_PLATFORM=offscreen build/tools/kvtour "$OUT/screenshots" "$OUT/tour" >"$OUT/tour.log" 2>&1 ||
    echo "the picture tour failed, see out/tour.log"
sleep "${KV_DEMO_SECONDS:-25}"
build/tools/kvshot "$OUT/screenshots/panel-later.png"
echo "screenshot: out/screenshots/panel-later.png"
