"""What the screen-reader test and the Orca test share: their checks, a
private X server, a runtime folder of their own for the accessibility bus,
pelko's environment, and the walk over what the accessibility bus shows."""

import os
import subprocess
import sys
import tempfile
import time

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def exit_with_verdict():
    print("\n%d failed" % len(failures) if failures else "\nall checks passed")
    sys.exit(1 if failures else 0)


def start_x_server(*options):
    """Xvfb on a display it picks itself (-displayfd: no race with other X
    servers): the process and the display's name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", *options],
        pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return server, ":" + number


def private_runtime(folder=None):
    """A runtime folder of this run's own for the accessibility bus. That bus
    is started on demand with its socket in the runtime folder of its
    starter, ~/.cache without one: another run at the same time (ctest -j, a
    second checkout) took over the path, and pelko joined that run's bus."""
    folder = folder or tempfile.mkdtemp(prefix="pelko-a11y-")
    os.makedirs(folder, mode=0o700, exist_ok=True)
    os.chmod(folder, 0o700)
    subprocess.run(["dbus-update-activation-environment", "XDG_RUNTIME_DIR=" + folder], check=True)
    return folder


def pelko_env(env):
    """pelko's environment on the X server: libxkbcommon-x11 reads the key map
    with strndup on a buffer without a final NUL, which is allowed; a
    sanitizer's strict string checks would stop pelko there."""
    env = dict(env, QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    if "ASAN_OPTIONS" in env:
        env["ASAN_OPTIONS"] += ":strict_string_checks=0"
    return env


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def find_app(registry, name, until):
    """The application `name` once the accessibility bus shows it with a
    window, waited for with until(condition); None if it never comes."""
    def lookup():
        for app in children(registry.getDesktop(0)):
            if app is not None and app.name == name and app.childCount > 0:
                return app
        return None
    found = []
    until(lambda: found.append(lookup()) or found[-1] is not None)
    return found[-1] if found else None
