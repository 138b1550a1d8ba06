#!/usr/bin/env bash
# The main job: every gauge module of the native build through a few host
# cycles, with a short summary of what each one shows.
set -euo pipefail
cd "$(dirname "$0")/.."
host=build/linux/host/panelhost
modules=()
for name in $(cat build/linux/gauge_modules.txt); do
  modules+=("build/linux/modules/$name.so")
done
if [ ${#modules[@]} -eq 0 ]; then
  echo "no gauge modules are built yet"
  exit 0
fi
"$host" cycle "${modules[@]}" --cycles 5 --set airspeed_knots=100 \
  --set fuel_quantity_1=3000000 --set fuel_quantity_2=1500000
