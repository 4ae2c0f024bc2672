#!/bin/sh
# Records the About window's tune as the program plays it into a PulseAudio
# null sink while two busy loops keep both cores of a small machine busy,
# and counts the gaps that the offline render of the tune does not have,
# and the underruns of the program's sound that the sound server logged.
#
#   bench/sound_bench.sh BUILD [PROGRAM] [BUSY LOOPS] [KEEP FOLDER]
#
# PROGRAM defaults to BUILD/bixiqin; BUSY LOOPS to 2; the recording and the
# render are copied into KEEP FOLDER when one is given. Needs pulseaudio,
# pulseaudio-utils (parec), Xvfb and xdotool; installs the first two when
# missing (a benchmark's tools, not the program's).
set -eu
build=$(realpath "$1")
program=$(realpath "${2:-$build/bixiqin}")
busy=${3:-2}
keep=${4:-}
seconds=70

for p in pulseaudio pulseaudio-utils; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$p" >/dev/null
  fi
done
cmake --build "$build" --target bixiqin-render-tune bixiqin-bench-gaps >/dev/null

work=$(mktemp -d)
pids=""
cleanup() {
  for p in $pids; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A sound server of our own: one null sink, reached through one socket.
mkdir -p "$work/run"
cat > "$work/server.pa" <<END
load-module module-null-sink sink_name=record rate=44100
set-default-sink record
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/native
END
# Its debug log names every underrun of a stream ("Actual underrun of ...").
HOME=$work XDG_RUNTIME_DIR=$work/run pulseaudio --daemonize=no --exit-idle-time=-1 -n --log-level=debug \
  -F "$work/server.pa" --use-pid-file=no >"$work/server.log" 2>&1 &
pids="$pids $!"
export PULSE_SERVER=unix:$work/native
for i in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

fifo=$work/display
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
pids="$pids $!"
export DISPLAY=:$(head -n1 < "$fifo")

"$build/tools/bixiqin-render-tune" "$work/render.wav" >/dev/null

(cd "$work" && exec "$program" 2>/dev/null) &
app=$!
pids="$pids $app"
main=$(xdotool search --sync --onlyvisible --pid "$app" | head -n1)

for i in $(seq "$busy"); do
  sh -c 'while :; do :; done' &
  pids="$pids $!"
done
sleep 1
parec -d record.monitor --rate=44100 --channels=2 --format=s16le --file-format=wav "$work/recording.wav" &
recorder=$!
pids="$pids $recorder"
sleep 0.5
# "关于": the main window's button at (532, 11), 61 x 28.
xdotool mousemove --window "$main" 562 25 click 1
sleep "$seconds"
kill -INT "$recorder"
wait "$recorder" || true
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $busy busy loops"
echo "underruns of the program's sound in the sound server's log: $(grep -c -E "(Actual|Implicit) underrun of" "$work/server.log" || true)"
[ -n "$keep" ] && mkdir -p "$keep" && cp "$work/recording.wav" "$work/render.wav" "$keep/"
"$build/bench/bixiqin-bench-gaps" "$work/recording.wav" "$work/render.wav"
