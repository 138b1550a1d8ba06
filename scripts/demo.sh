#!/usr/bin/env bash
# The main job: each gauge of the native build drawn in a telling state, and
# the three side by side as a panel, in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
host=build/linux/host/panelhost
modules=build/linux/modules
mkdir -p out
# The demo's radio keeps its stored frequencies and power bus to itself.
export ORIM_REGISTRY_FILE="$PWD/out/registry"
export ORIM_SHM_PREFIX="orim_demo_"

radio=(--set token_5=2 --set com_active=0x2250 --set nav_active=0x1130 --set nav_obs=45 --set nav_radial=8190
       --set nav_to_from=1 --set nav_flags=0 --set nav_deviation=40)
"$host" render "$modules/ORIM_TR410.so" "${radio[@]}" --click 424,70 --click 389,70 --out out/radio.png
"$host" render "$modules/QAV_MetricOnly_US_450.so" --set airspeed_knots=120 --out out/airspeed.png
"$host" render "$modules/QAV_98_200L_Fuel_Quantity.so" --set fuel_quantity_1=3600000 --set fuel_quantity_2=2300000 \
  --out out/fuel.png
"$host" render "$modules/ORIM_TR410.so" "$modules/QAV_MetricOnly_US_450.so" "$modules/QAV_98_200L_Fuel_Quantity.so" \
  "${radio[@]}" --set airspeed_knots=120 --set fuel_quantity_1=3600000 --set fuel_quantity_2=2300000 \
  --click 424,70 --click 389,70 --out out/panel.png
rm -f out/registry
echo
echo "The gauges are drawn in out/: radio.png, airspeed.png, fuel.png and panel.png (all three)."
echo "The modules for the simulator are in dist/."
