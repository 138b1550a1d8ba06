#!/usr/bin/env bash
# panelhost's command line: help for every command, and errors that name
# the problem and exit non-zero.
# usage: cli_test.sh PANELHOST MODULE_FOLDER MODULE_SUFFIX
set -u
panelhost=$1
modules=$2
suffix=$3
airspeed="$modules/QAV_MetricOnly_US_450$suffix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# check NAME EXPECTED_EXIT EXPECTED_TEXT COMMAND...
check() {
  local name=$1 want_exit=$2 want_text=$3
  shift 3
  local output status
  output=$("$@" 2>&1)
  status=$?
  if [ "$status" -eq "$want_exit" ] && grep -qF -- "$want_text" <<<"$output"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED $name: exit $status (wanted $want_exit), output:"
    echo "$output" | head -5
  fi
}

check "no command" 2 "usage: panelhost" "$panelhost"
check "main help" 0 "render MODULE" "$panelhost" --help
for verb in render run inspect cycle; do
  check "$verb help" 0 "usage: panelhost $verb" "$panelhost" "$verb" --help
done
check "unknown command" 2 "unknown command 'paint'" "$panelhost" paint
check "missing module" 1 "cannot load module $work/none$suffix" "$panelhost" render "$work/none$suffix" --out "$work/x.png"
check "unknown variable" 2 "unknown variable 'speed'" "$panelhost" render "$airspeed" --set speed=3 --out "$work/x.png"
check "bad value" 2 "bad value 'fast' for airspeed_knots" "$panelhost" render "$airspeed" --set airspeed_knots=fast --out "$work/x.png"
check "set without value" 2 "--set needs NAME=VALUE" "$panelhost" cycle "$airspeed" --set airspeed_knots
check "bad cycles" 2 "--cycles takes a whole number" "$panelhost" cycle "$airspeed" --cycles -1
check "bad click" 2 "--click takes X,Y" "$panelhost" render "$airspeed" --click 3 --out "$work/x.png"
check "render without out" 2 "render needs --out" "$panelhost" render "$airspeed"
check "unknown option" 2 "unknown option --colour" "$panelhost" render "$airspeed" --colour --out "$work/x.png"
check "missing scenario" 1 "cannot read scenario" "$panelhost" run "$work/none.scn"
check "render writes" 0 "wrote $work/a.png (150 x 150)" "$panelhost" render "$airspeed" --set airspeed_knots=80 --out "$work/a.png"
check "inspect consistent" 0 "consistent" "$panelhost" inspect "$airspeed"
check "cycle prints" 0 "AirspeedNeedle (needle) 185.2" "$panelhost" cycle "$airspeed" --set 0x3D=100
check "inspect finds problems" 1 "which the module lacks" "$panelhost" inspect "$modules/probe_gauge$suffix"
for module in ORIM_TR410 QAV_MetricOnly_US_450 QAV_98_200L_Fuel_Quantity; do
  check "inspect $module" 0 "consistent" "$panelhost" inspect "$modules/$module$suffix"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
