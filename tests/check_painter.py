#!/usr/bin/python3
"""Paints every gauge afresh into a temporary folder and compares each
bitmap with the committed one, byte for byte."""
import filecmp
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main():
    passed = failed = 0
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([sys.executable, os.path.join(ROOT, "tools", "paint_gauges.py"), "--out", out],
                       check=True, stdout=subprocess.DEVNULL)
        for gauge in sorted(os.listdir(out)):
            fresh = os.path.join(out, gauge)
            committed = os.path.join(ROOT, gauge, "bitmaps")
            names = sorted(set(os.listdir(fresh)) | set(os.listdir(committed)))
            for name in names:
                a, b = os.path.join(fresh, name), os.path.join(committed, name)
                if os.path.exists(a) and os.path.exists(b) and filecmp.cmp(a, b, shallow=False):
                    passed += 1
                else:
                    failed += 1
                    print(f"{gauge}/bitmaps/{name}: differs from a fresh painting "
                          "(run tools/paint_gauges.py and commit the result)")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
