#!/usr/bin/python3
"""Reads the real pelko through the desktop's accessibility bus (AT-SPI), the
way a screen reader does: its own X server, the private D-Bus session this is
run in (dbus-run-session), and the accessibility bus started on demand.

Usage: dbus-run-session -- /usr/bin/python3 screen_reader_test.py PELKO

It learns the first three words of level 1 from Review, then answers them
right, right and wrong by the buttons' "Press" action, and checks names,
values, descriptions and the change events a screen reader is sent: what
any reader finds on the bus. What Orca itself says is the Orca test's. It
prints what a screen reader reads for each painted control.

Every verdict follows from what pelko did and sent, in order: each wait is
for a change to be seen (with limits that only run out when it never comes),
never a pause that assumes pelko got somewhere meanwhile.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from a11y_session import (check, children, descendants, exit_with_verdict, find_app, pelko_env, private_runtime,
                          start_x_server)

# The accessibility bus is found through this process's session bus, not
# through a desktop that the caller's display or environment may name.
for name in ("DISPLAY", "AT_SPI_BUS_ADDRESS"):
    os.environ.pop(name, None)
RUNTIME = private_runtime()

import pyatspi  # noqa: E402 (after the environment is settled)
from gi.repository import GLib  # noqa: E402

WAIT = 60  # seconds: ample for a sanitizer build on a busy machine


def spin(seconds, until=None):
    """Delivers bus events for up to `seconds`, or until `until()` holds."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if until is not None and until():
            return True
        if time.monotonic() >= end:
            return until is None
        time.sleep(0.01)


def value_of(node):
    value = node.queryValue()
    return value.currentValue, value.minimumValue, value.maximumValue


def near(figure, expected):
    """A figure is a whisker over its value, so that a reader truncating its
    percentage still says the one shown."""
    return all(abs(a - b) < 1e-6 for a, b in zip(figure, expected))


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    index = names.index("Press")
    action.doAction(index)


def reads(node):
    """One line of what a screen reader has for a control."""
    line = '%s "%s"' % (node.getRoleName(), node.name)
    try:
        line += ", value %g (%g to %g)" % value_of(node)
    except NotImplementedError:  # no value interface
        pass
    if node.description:
        line += ', description "%s"' % node.description
    return line


class Events:
    """Every change event received: (arrival, kind, source, what the source
    said on arrival, the event's detail1)."""

    KINDS = [
        "object:property-change:accessible-name",
        "object:property-change:accessible-description",
        "object:property-change:accessible-value",
        "object:value-changed",
        "object:state-changed:showing",
    ]

    def __init__(self):
        self.seen = []
        self.started = time.monotonic()
        for kind in self.KINDS:
            pyatspi.Registry.registerEventListener(self.on_event, kind)

    def on_event(self, event):
        try:
            said = (event.source.name, event.source.description)
        except Exception:  # the source may be gone already
            said = (None, None)
        self.seen.append((time.monotonic(), event.type, event.source, said, event.detail1))

    def of(self, kind, source):
        return [e for e in self.seen if e[1] == kind and e[2] == source]


def main():
    pelko_path = sys.argv[1]
    scratch = tempfile.TemporaryDirectory()
    config = os.path.join(scratch.name, "config")
    os.makedirs(os.path.join(config, "Dravilo"))
    with open(os.path.join(config, "Dravilo", "pelko.conf"), "w") as profile:
        profile.write("[Results]\nBestResult1=58\n")

    server, display = start_x_server()
    # Always on: no desktop here sets the bus's IsEnabled, as one does when a
    # screen reader starts, so Qt is told to join the accessibility bus itself.
    env = pelko_env(dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=config, HOME=scratch.name,
                         QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    pelko = subprocess.Popen([pelko_path], env=env)
    try:
        app = find_app(pyatspi.Registry, "pelko", lambda condition: spin(WAIT, condition))
        if not check(app is not None, "pelko appears on the accessibility bus"):
            return
        run(app, pelko)
    finally:
        if pelko.poll() is None:
            pelko.kill()
            pelko.wait()
        server.terminate()
        server.wait()
        shutil.rmtree(RUNTIME, ignore_errors=True)


def run(app, pelko):
    events = Events()
    window = app.getChildAtIndex(0)
    controls = children(window)
    by_name = {c.name: c for c in controls}
    gauge = by_name["Time credit"]
    strip = by_name["Words answered right"]
    total = by_name["Total of the best results"]
    display = by_name["Press start button to begin."]
    answers = [c for c in controls if c.getRoleName() == "push button"][2:6]
    title = by_name["French Vocabulary (1 - 50)"]
    clock = controls[controls.index(by_name["Speed Challenge"]) + 1]  # template order

    print("\n-- before the first drill, a screen reader reads:")
    for node in [gauge, strip, total, by_name["Words 1 to 50"], by_name["Words 51 to 100"], title, clock,
                 by_name["Start Practise"], answers[0]]:
        print("   " + reads(node))
    check(value_of(gauge) == (0, 0, 10) and gauge.description == "0 seconds left", "gauge: 0 of 0..10 seconds")
    check(value_of(strip) == (0, 0, 50) and strip.description == "0 of 50", "answer strip: 0 of 0..50")
    # 4.2% of the whole, shown as "4%": the value is the figure shown.
    check(near(value_of(total), (4, 0, 100)) and total.description == "4%", "total strip: 4 of 0..100, '4%'")
    percent = value_of(total)[0] / 100 * 100
    check(int(percent) == 4, "a reader truncating the total's percentage gets 4, not %d" % int(percent))
    check(by_name["Words 1 to 50"].description == "best result 58 tries", "level 1 says its best result")
    check(by_name["Words 51 to 100"].description == "no result yet", "level 2 says it has none")
    check("Words 101 to 150" in by_name, "level 3 is named by its words")
    buttons = [c.name for c in controls if c.getRoleName() == "push button"]
    check(all(n == n.strip() and n for n in buttons), "button names have no padding: %s" % buttons[:8])
    tabs = [n.name for n in descendants(window) if n.getRoleName() == "page tab"]
    check(tabs == ["Answer Log", "Results"], "tab names trimmed: %s" % tabs)
    trees = {n.name: n for n in controls if n.getRoleName() == "tree"}
    check(sorted(trees) == ["Answer Log", "Results"], "lists named: %s" % sorted(trees))
    check([a.name for a in answers] == ["-"] * 4, "four answer buttons found")

    # Learn the first three words from Review, as a learner without sight could.
    # A push button's "Press" clicks a moment after it answers (Qt animates the
    # click), so each press is followed by a wait for what it changes.
    press(by_name["Start Practise"])
    if not check(spin(WAIT, lambda: display.name != "Press start button to begin."), "a question is asked"):
        return
    first = display.name
    press(by_name["Review"])  # shows the word before the first: the level's last
    if not check(spin(WAIT, lambda: " :: " in display.name), "Review shows a word with its meaning"):
        return
    meanings = []
    for _ in range(3):
        shown = display.name
        press(answers[3])  # Next
        if not check(spin(WAIT, lambda: display.name != shown), "Next shows the next word"):
            return
        french, _, english = display.name.partition(" :: ")
        meanings.append((french, english))
    check(meanings[0][0] == first, "Review's first word is the first question's: %r" % (meanings,))

    press(by_name["Start Practise"])
    verdicts = []
    for n, (french, english) in enumerate(meanings):
        if not check(spin(WAIT, lambda: display.name == french), "question %d asks %r" % (n + 1, french)):
            return
        right = n < 2
        chosen = [a for a in answers if (a.name == english.strip()) == right]
        check(len(chosen) >= 1, "a %s answer is offered among %s" % ("right" if right else "wrong",
                                                                     [a.name for a in answers]))
        button = chosen[0]
        verdicts.append((button, button.name, len(events.seen)))
        press(button)
        # The credit the answer added, read first: the gauge drains on every
        # tick after (it takes 4 seconds, ample for one look, to run out).
        credit = value_of(gauge)[0]
        said = button.description
        check(said == ("right" if right else "wrong"), "pressed %r: its description is %r" % (button.name, said))
        if n == 0:
            print("\n-- after one right answer, a screen reader reads:")
            for node in [gauge, strip, total, button, clock]:
                print("   " + reads(node))
            check(near(value_of(strip), (1, 0, 50)) and strip.description == "1 of 50", "answer strip: 1 of 50")
            check(0 < credit < 4 + 1e-6, "a right answer adds credit, 4 seconds at most: %g s" % credit)
    # The drill goes on, the gauge draining on every 200 ms tick: the counts
    # below are taken once the clock has been seen to show two new seconds.
    check(spin(WAIT, lambda: len(events.of("object:property-change:accessible-name", clock)) >= 2),
          "the clock is renamed as the seconds go by")
    print("\n-- a few seconds on, a screen reader reads:\n   " + reads(clock))

    log = trees["Answer Log"]
    rows = [c.name for c in descendants(log) if c.getRoleName() != "table column header"]
    french, english = meanings[2]
    # Rows are read in words: no tabs, and a right answer says its word too.
    check(rows[0] == "Incorrect: %s means %s" % (french.strip(), english.strip()), "wrong row in words: %r" % rows[:1])
    check(rows[1:3] == ["Correct: %s means %s" % (f.strip(), e.strip()) for f, e in reversed(meanings[:2])],
          "right rows name their word: %r" % rows[1:3])

    # What was sent while the drill ran.
    elapsed = time.monotonic() - events.started
    named = [e[3][0] for e in events.of("object:property-change:accessible-name", display)]
    check(all(w in named for w, _ in meanings), "each French word was announced: %r" % named)
    for button, name, mark in verdicts:
        # Events from one sender arrive in order: the verdict's description
        # change comes before the next question's word.
        later = [(e[1], e[2]) for e in events.seen[mark:]]
        verdict = ("object:property-change:accessible-description", button)
        next_word = ("object:property-change:accessible-name", display)
        check(verdict in later and (next_word not in later or later.index(verdict) < later.index(next_word)),
              "the verdict on %r was sent as a description change" % name)
    # The answers and the time are announced in words; a figure change from
    # the gauge or the strip would make a reader cut those short.
    strip_values = events.of("object:property-change:accessible-value", strip)
    check(len(strip_values) == 0, "answer strip sent %d value changes, none" % len(strip_values))
    # A reader that keeps names (as Orca does) learns the painted clock's new one.
    clock_names = [e[3][0] for e in events.of("object:property-change:accessible-name", clock)]
    check(len(clock_names) >= 2, "the clock sent its new names: %s" % clock_names)
    gauge_values = events.of("object:property-change:accessible-value", gauge)
    check(len(gauge_values) == 0, "gauge sent %d value changes in %.1f s, none" % (len(gauge_values), elapsed))
    gauge_words = events.of("object:property-change:accessible-description", gauge)
    check(1 <= len(gauge_words) <= elapsed + 1.5,
          "gauge sent %d description changes in %.1f s (at most one a second)" % (len(gauge_words), elapsed))
    # Each announcement is shown on a notification that keeps its text, so a
    # reader that gets to the event later (Orca on a busy machine) still
    # reads it there: each verdict too, though the next question follows it.
    # An announcement goes out once the press has been handled, after its
    # answer: the third is waited for.
    shown = lambda: [e[2].name for e in events.seen if e[1] == "object:state-changed:showing" and e[4] == 1
                     and e[2].getRoleName() == "notification"]
    verdicts_shown = lambda: [t for t in shown() if t.startswith(("right", "wrong"))]
    spin(WAIT, lambda: len(verdicts_shown()) >= 3)
    french, english = meanings[2]
    check(verdicts_shown() == ["right", "right", "wrong: %s means %s" % (french.strip(), english.strip())],
          "each verdict is still on the notification shown for it: %r" % shown())

    print("\n-- events received, by kind and source:")
    def label(node):
        if node in answers:
            return "answer button %d" % (answers.index(node) + 1)
        return "word display" if node == display else '%s "%s"' % (node.getRoleName(), node.name)
    counts = {}
    for e in events.seen:
        key = "%s from %s" % (e[1], label(e[2]))
        counts[key] = counts.get(key, 0) + 1
    for key in sorted(counts):
        print("   %3d  %s" % (counts[key], key))

    # Leave by the Exit button: a normal exit, so a sanitizer build reports leaks.
    press(by_name["Exit"])
    try:
        code = pelko.wait(WAIT)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, "pelko exits cleanly through Exit (exit code %s)" % code)


if __name__ == "__main__":
    main()
    exit_with_verdict()
