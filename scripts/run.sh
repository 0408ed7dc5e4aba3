#!/usr/bin/env bash
# The first quick-start command: installs, builds, prepares the default data volume and
# starts the viewer with the per-user data root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
DATA_HOME="${XDG_DATA_HOME:-$HOME/.local/share}/mundora"
mkdir -p "$DATA_HOME"
build/tools/volume/mundora-volume --out "$DATA_HOME/volume"
cd "$DATA_HOME"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; starting Mundora in a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$OLDPWD/build/mundora"
fi
exec "$OLDPWD/build/mundora"
