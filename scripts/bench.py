#!/usr/bin/python3
"""What a gauge cycle, a click and a frame cost: prints a table and writes
it to out/bench.md.

Instructions are counted by valgrind's callgrind and attributed to the
module's own object (library calls it makes count elsewhere); the count per
cycle or click is the difference between a long and a short run, divided by
the difference in their lengths, so set-up costs drop out. Times are medians
of batches after a warm-up (panelbench times). Module sizes come from the
Windows build's section tables.
"""
import os
import re
import subprocess
import sys
import tempfile

import pefile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LINUX = os.path.join(ROOT, "build", "linux")
MODULES = os.path.join(LINUX, "modules")
BENCH = os.path.join(LINUX, "host", "panelbench")
GAUGES = ["ORIM_TR410", "QAV_MetricOnly_US_450", "QAV_98_200L_Fuel_Quantity"]
TARGET_CYCLE = {"ORIM_TR410": 1500, "QAV_MetricOnly_US_450": 150, "QAV_98_200L_Fuel_Quantity": 150}
TARGET_SIZE = {"ORIM_TR410": 40 * 1024, "QAV_MetricOnly_US_450": 24 * 1024, "QAV_98_200L_Fuel_Quantity": 24 * 1024}


def module_instructions(module, args):
    """Instructions executed inside the module's object for one run."""
    path = os.path.join(MODULES, module + ".so")
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "callgrind.out")
        env = dict(os.environ, ORIM_REGISTRY_FILE=os.path.join(work, "registry"), ORIM_SHM_PREFIX="bench_")
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, BENCH] + [a if a != "MODULE" else path for a in args],
                       check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        report = subprocess.run(["callgrind_annotate", "--inclusive=no", "--threshold=100", out],
                                check=True, capture_output=True, text=True).stdout
    total = 0
    for line in report.splitlines():
        match = re.match(r"\s*([\d,]+)\s.*\[(.*)\]\s*$", line)
        if match and os.path.realpath(match[2]) == os.path.realpath(path):
            total += int(match[1].replace(",", ""))
    return total


def per_step(module, make_args, short, long):
    return (module_instructions(module, make_args(long)) - module_instructions(module, make_args(short))) / (long - short)


def sizes(module):
    path = os.path.join(ROOT, "build", "windows", "modules", module + ".gau")
    if not os.path.exists(path):
        return None
    pe = pefile.PE(path)
    code_and_data = sum(s.Misc_VirtualSize for s in pe.sections if s.Name.rstrip(b"\0") != b".rsrc")
    return os.path.getsize(path), code_and_data


def main():
    rows = []
    times = {}
    env = dict(os.environ, ORIM_REGISTRY_FILE=os.path.join(tempfile.gettempdir(), "bench_registry"),
               ORIM_SHM_PREFIX="bench_times_")
    for line in subprocess.run([BENCH, "times", MODULES], check=True, capture_output=True, text=True,
                               env=env).stdout.splitlines():
        kind, name, micros = line.split()
        times[(kind, name)] = float(micros)

    lines = ["# Benchmarks", "",
             "Measured on this machine (2 cores); instruction counts are repeatable, times are medians.", "",
             "## Cycle cost", "",
             "| gauge | instructions in the module per cycle | target | wall time per cycle |",
             "|---|---|---|---|"]
    for gauge in GAUGES:
        count = per_step(gauge, lambda n: ["cycles", "MODULE", str(n)], 200, 1200)
        met = "met" if count <= TARGET_CYCLE[gauge] else "not met"
        lines.append(f"| {gauge} | {count:.0f} | at most {TARGET_CYCLE[gauge]} ({met}) | "
                     f"{times[('cycle', gauge)]:.2f} µs |")
    lines += ["", "## Click cost (the radio)", "", "| click | instructions in the module per click |", "|---|---|"]
    for label, area in [("COM knob step (area 27)", 27), ("COM swap, which saves to the registry (area 13)", 13)]:
        count = per_step("ORIM_TR410", lambda n, a=area: ["clicks", "MODULE", str(a), str(n)], 100, 600)
        lines.append(f"| {label} | {count:.0f} |")
    lines += ["", "## Frame cost", "", "| picture | median time per frame | frames per second |", "|---|---|---|"]
    for gauge in GAUGES + ["panel"]:
        micros = times[("frame", gauge)]
        label = "the three-gauge panel (target at most 500 µs)" if gauge == "panel" else gauge
        lines.append(f"| {label} | {micros:.0f} µs | {1e6 / micros:.0f} |")
    lines += ["", "## Module size (Windows build)", "",
              "| module | file | code and data without bitmaps | target |", "|---|---|---|---|"]
    for gauge in GAUGES:
        found = sizes(gauge)
        if not found:
            lines.append(f"| {gauge}.gau | (not built) | | |")
            continue
        file_size, code = found
        met = "met" if code <= TARGET_SIZE[gauge] else "not met"
        lines.append(f"| {gauge}.gau | {file_size / 1024:.1f} KiB | {code / 1024:.1f} KiB | "
                     f"at most {TARGET_SIZE[gauge] // 1024} KiB ({met}) |")
    lines += ["", "## Start-up", "", "| module | load to first drawn frame |", "|---|---|"]
    for gauge in GAUGES:
        lines.append(f"| {gauge} | {times[('startup', gauge)] / 1000:.2f} ms |")
    text = "\n".join(lines) + "\n"
    os.makedirs(os.path.join(ROOT, "out"), exist_ok=True)
    with open(os.path.join(ROOT, "out", "bench.md"), "w", encoding="utf-8") as out:
        out.write(text)
    print(text)
    print("written to out/bench.md")


if __name__ == "__main__":
    sys.exit(main())
