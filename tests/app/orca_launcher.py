#!/usr/bin/python3
"""Starts Debian's own /usr/bin/orca in this process, with two changes made
here and nowhere in Orca's installed files:

- its debug file is opened line-buffered, so every "SPEECH OUTPUT" line is on
  disk the moment Orca logs it and a test can wait for it;
- it does not refuse to start because an Orca of some other session of the
  same user runs (tests may run side by side on one machine).

Usage: orca_launcher.py [orca's own arguments]
"""

import builtins
import runpy
import sys

ORCA = "/usr/bin/orca"


def line_buffered_open(file, mode="r", *args, **kwargs):
    if "w" in mode or "a" in mode:
        kwargs["buffering"] = 1
    return builtins.open(file, mode, *args, **kwargs)


def main():
    sys.argv[0] = ORCA
    # Loaded under another name, so its main() waits until patched.
    orca_main = runpy.run_path(ORCA, run_name="orca_launcher_module")["main"]
    # run_path hands back a copy; the functions still see the real globals.
    namespace = orca_main.__globals__
    namespace["open"] = line_buffered_open
    namespace["otherOrcas"] = lambda: []
    return orca_main()


if __name__ == "__main__":
    sys.exit(main())
