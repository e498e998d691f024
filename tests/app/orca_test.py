#!/usr/bin/python3
"""A blind learner's session, heard through the real Orca: Debian's own
/usr/bin/orca and speech-dispatcher (the dummy voice, its audio into libao's
null driver), on a private X server, D-Bus session and accessibility bus.
pelko is driven with keys alone (XTEST, as a keyboard would), and what Orca
says is read from its debug file ("SPEECH OUTPUT: '...'" lines).

Usage: dbus-run-session -- /usr/bin/python3 orca_test.py PELKO WORD_LIST_CPP
(and, run by the test itself: orca_test.py --a11y-bus PELKOS_SESSION_BUS)

First pelko's window gets the keyboard while pelko is on no accessibility
bus: its session bus is one of its own, on which the test then puts the
session's accessibility bus (as a reader that starts the bus does), and Orca
must then hear the window and its focus. Then a practise of level 1 (the
first answer wrong, every other one right), the two lists, a speed challenge
with one right answer, its High Scores table, and the About dialog. Every
verdict comes from the order of what is said: an utterance belongs to the
key pressed before it and to what it follows, never to a moment the test
happened to look. Keys are pressed only once what the last one caused has
been heard, so that nothing pelko says on its own (a tick) can meet a key's
answer. Every wait is generous (a sanitizer build on a busy machine) and
fails the test when it runs out; how fast anything comes is never checked.
The whole transcript is printed at the end.
"""

import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

import a11y_session
from a11y_session import check, exit_with_verdict, pelko_env, private_runtime, start_x_server

for name in ("DISPLAY", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY", "SPEECHD_ADDRESS"):
    os.environ.pop(name, None)

HERE = os.path.dirname(os.path.abspath(__file__))
WAIT = 60  # seconds for any one thing to be said


class GaveUp(Exception):
    """A wait ran out: its check has failed and the session ends here."""


def level_one_meanings(word_list_cpp):
    """French word -> its meanings, for level 1, from the built-in list."""
    with open(word_list_cpp, encoding="utf-8") as source:
        rows = re.findall(r'\{u"((?:[^"\\]|\\.)*)",\s*u"((?:[^"\\]|\\.)*)"\}', source.read())
    plain = lambda s: " ".join(s.replace("\\t", "\t").split())
    meanings = {}
    for french, english in rows[:50]:
        meanings.setdefault(plain(french), set()).add(plain(english))
    return meanings


def accepts(path):
    """A Unix socket that takes a connection: its server listens (the file
    is there from bind(), a moment before that)."""
    with socket.socket(socket.AF_UNIX) as probe:
        try:
            probe.connect(path)
            return True
        except OSError:
            return False


class Session:
    """The X server, speech-dispatcher, Orca and pelko, and what Orca says."""

    def __init__(self):
        self.scratch = tempfile.mkdtemp(prefix="pelko-orca-")
        self.processes = []
        self.said = []  # every utterance so far, in order
        self.read_upto = 0
        self.log = os.path.join(self.scratch, "orca-debug.out")

    def start(self, pelko_path):
        home = self.folder("home")
        # (Without it, pelko could join another run's bus, unheard by this Orca.)
        runtime = private_runtime(self.folder("runtime"))
        config = self.folder("config")
        self.folder("config", "Dravilo")
        with open(os.path.join(config, "Dravilo", "pelko.conf"), "w") as profile:
            profile.write("[Results]\nBestResult1=58\n")
        # libao plays into nothing: speech-dispatcher's audio goes nowhere.
        with open(os.path.join(home, ".libao"), "w") as libao:
            libao.write("default_driver=null\n")
        speechd_config = self.folder("speechd")
        with open(os.path.join(speechd_config, "speechd.conf"), "w") as conf:
            conf.write('AudioOutputMethod "libao"\nAddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\n')
        # -r: no auto-repeat, so that a key held a while by a busy machine
        # between xdotool's press and release is still pressed once.
        server, self.display = start_x_server("-r")
        self.processes.append(server)
        speechd_socket = os.path.join(runtime, "speechd.sock")
        self.env = dict(os.environ, DISPLAY=self.display, HOME=home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=config, SPEECHD_ADDRESS="unix_socket:" + speechd_socket)
        quiet = open(os.path.join(self.scratch, "speechd.out"), "w")
        self.spawn(["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", speechd_config,
                    "--log-dir", self.folder("speechd-log"), "--communication-method", "unix_socket",
                    "--socket-path", speechd_socket], stdout=quiet, stderr=quiet)
        self.until(lambda: accepts(speechd_socket), "speech-dispatcher listens")
        orca_out = open(os.path.join(self.scratch, "orca.out"), "w")
        self.spawn(["/usr/bin/python3", os.path.join(HERE, "orca_launcher.py"), "--user-prefs",
                    self.folder("orca-prefs"), "--debug-file", self.log], stdout=orca_out, stderr=orca_out)
        self.wait_said(lambda u: u == "Screen reader on.", "Orca starts")

        env = pelko_env(dict(self.env, DBUS_SESSION_BUS_ADDRESS=self.start_pelko_bus()))
        self.pelko = self.spawn([pelko_path], env=env)

    def start_pelko_bus(self):
        """A session bus for pelko alone, with no services to start: Qt joins
        the accessibility bus only when org.a11y.Bus appears on it."""
        config = os.path.join(self.scratch, "pelko-bus.conf")
        with open(config, "w") as conf:
            conf.write('<busconfig><type>session</type><listen>unix:dir=%s</listen><auth>EXTERNAL</auth>'
                       '<policy context="default"><allow send_destination="*" eavesdrop="true"/>'
                       '<allow eavesdrop="true"/><allow own="*"/></policy>'
                       '</busconfig>' % self.folder("pelko-bus"))
        read_end, write_end = os.pipe()
        self.spawn(["dbus-daemon", "--config-file", config, "--nofork", "--print-address=%d" % write_end],
                   pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.pelko_bus = pipe.readline().strip()
        if not self.pelko_bus:
            sys.exit("pelko's session bus did not start")
        return self.pelko_bus

    def open_a11y_bus(self):
        """Puts the session's accessibility bus on pelko's session bus."""
        door = self.spawn(["/usr/bin/python3", os.path.abspath(__file__), "--a11y-bus", self.pelko_bus],
                          stdout=subprocess.PIPE, text=True)
        if not check(door.stdout.readline() == "open\n", "the accessibility bus is put on pelko's session bus"):
            raise GaveUp()

    def folder(self, *parts):
        path = os.path.join(self.scratch, *parts)
        os.makedirs(path, exist_ok=True)
        return path

    def spawn(self, command, **kwargs):
        kwargs.setdefault("env", self.env)
        process = subprocess.Popen(command, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if not a11y_session.failures:
            shutil.rmtree(self.scratch, ignore_errors=True)

    @staticmethod
    def until(condition, what, seconds=WAIT):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return True
            time.sleep(0.05)
        check(False, what)
        raise GaveUp()

    def heard(self):
        """Reads what Orca has said since the last call."""
        try:
            with open(self.log, "rb") as log:
                log.seek(self.read_upto)
                chunk = log.read()
        except FileNotFoundError:
            return []
        # Only whole lines: Orca may be half-way through writing one.
        chunk = chunk[:chunk.rfind(b"\n") + 1]
        self.read_upto += len(chunk)
        new = []
        for line in chunk.decode("utf-8", "replace").splitlines():
            found = re.search(r"SPEECH OUTPUT: '(.*)'(?: ?\{.*\})?$", line)
            if found:
                new.append(found.group(1))
        self.said.extend(new)
        return new

    def mark(self):
        self.heard()
        return len(self.said)

    def since(self, mark):
        self.heard()
        return self.said[mark:]

    def wait_said(self, matches, what, mark=None, seconds=WAIT):
        """The first utterance after `mark` that `matches`; fails if none comes."""
        start = len(self.said) if mark is None else mark
        found = []

        def look():
            self.heard()
            found.extend(u for u in self.said[start:] if matches(u))
            return bool(found)
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if look():
                return found[0]
            time.sleep(0.05)
        check(False, "Orca says %s (heard since: %r)" % (what, self.said[start:][-8:]))
        raise GaveUp()

    def key(self, *keys):
        """Presses keys as a keyboard does and returns a mark before them."""
        mark = self.mark()
        subprocess.run(["xdotool", "key", "--delay", "60"] + list(keys), env=self.env, check=True)
        return mark

    def joined(self, app):
        """Whether the accessibility bus has told Orca of `app` (its debug file
        logs every event it gets)."""
        told = "children-changed:add for [desktop frame | main] in None (1, 0, [application | %s])" % app
        try:
            with open(self.log, "rb") as log:
                return told.encode() in log.read()
        except FileNotFoundError:
            return False

    def windows(self, title):
        return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], env=self.env,
                              capture_output=True, text=True, timeout=WAIT).stdout.split()

    def until_closed(self, title):
        """Waits for the window to go: the keys after it go to the one below."""
        self.until(lambda: not self.windows(title), "the window %r closes" % title)

    def focus_window(self, title):
        # No window manager here: give the window the keyboard as one would.
        ids = subprocess.run(["xdotool", "search", "--sync", "--name", title], env=self.env,
                             capture_output=True, text=True, timeout=WAIT).stdout.split()
        subprocess.run(["xdotool", "windowfocus", "--sync", ids[-1]], env=self.env, timeout=WAIT)


QUESTION = re.compile(r"^(?P<french>.+?)\. 1 (?P<c1>.+), 2 (?P<c2>.+), 3 (?P<c3>.+), 4 (?P<c4>.+?)\.?$")


def is_question(utterance):
    return QUESTION.match(utterance) is not None


def tab_to(session, spoken, limit=40):
    """Tabs until Orca names the control `spoken` (as Orca says it)."""
    named = lambda u: u.endswith((" push button.", " tree.", " text."))
    for _ in range(limit):
        mark = session.key("Tab")
        if session.wait_said(named, "where Tab went", mark).startswith(spoken):
            return True
    check(False, "Tab reaches %r" % spoken)
    raise GaveUp()


def practise(session, meanings):
    mark = session.mark()
    tab_to(session, "Start Practise push button")
    mark = session.key("space")
    question = session.wait_said(is_question, "the first question", mark)
    asked = []
    wrong_word = None
    heard_again = False
    for n in range(200):
        parts = QUESTION.match(question)
        french = parts.group("french")
        choices = [parts.group("c%d" % k) for k in range(1, 5)]
        right = [k for k, c in enumerate(choices) if c in meanings.get(french, ())]
        if not check(len(right) == 1, "question %d: %r offers its meaning once" % (n + 1, question)):
            raise GaveUp()
        if french == wrong_word and n > 0:
            heard_again = True
        asked.append(french)
        answer = right[0] if n > 0 else (right[0] + 1) % 4
        mark = session.key(str(answer + 1))
        verdict = session.wait_said(lambda u: u.startswith(("right", "wrong")), "a verdict", mark)
        meaning = "%s means %s" % (french, choices[right[0]])
        if n == 0:
            wrong_word = french
            check(verdict.rstrip(".") == "wrong: " + meaning, "a wrong answer is told with the meaning: %r" % verdict)
        elif n == 1:
            check(verdict.rstrip(".") == "right", "a right answer is told: %r" % verdict)
        else:
            if verdict.rstrip(".") != "right":
                check(False, "answer %d told right: %r" % (n + 1, verdict))
        # Looked for after the verdict, wherever the reading of the log stands.
        after = session.said.index(verdict, mark) + 1
        following = session.wait_said(lambda u: is_question(u) or u.startswith("Practise complete"),
                                      "the next question or the end", after)
        between = session.since(mark)
        questions = [u for u in between if is_question(u)]
        if len(questions) > 1 or any("percent" in u for u in between[:between.index(verdict)]):
            check(False, "between two questions only the verdict and the next question: %r" % between)
        if following.startswith("Practise complete"):
            return following, asked, heard_again, after
        question = following
    check(False, "the practise ends")
    raise GaveUp()


def main():
    pelko_path, word_list_cpp = sys.argv[1], sys.argv[2]
    meanings = level_one_meanings(word_list_cpp)
    session = Session()
    try:
        session.start(pelko_path)
        run(session, meanings)
    except GaveUp:
        pass  # its check has failed: the exit status says so
    finally:
        finish(session)
        session.close()


def finish(session):
    if getattr(session, "finished", False):
        return
    session.finished = True
    session.heard()
    print("\n-- what Orca said:")
    for utterance in session.said:
        print("   " + utterance)


def run(session, meanings):
    # The window is activated while pelko is on no accessibility bus: Qt
    # joins one a moment after the window is up, or when a reader starts it,
    # and sends nothing of what came before. pelko tells the reader of the
    # window and its focus once it has joined.
    session.focus_window("French Vocabulary")
    check(not session.joined("pelko"), "pelko is on no accessibility bus while its window is activated")
    joining = session.mark()
    session.open_a11y_bus()
    session.until(lambda: session.joined("pelko"), "pelko joins the accessibility bus")
    frame = session.wait_said(lambda u: u == "French Vocabulary 1-1000 frame.", "the window once pelko joins",
                              joining)
    session.wait_said(lambda u: u == "Exit push button.", "the focus on Exit, after the window",
                      session.said.index(frame, joining) + 1)

    # 1-3: a whole practise, heard.
    end, asked, heard_again, end_mark = practise(session, meanings)
    check(len(asked) == 51, "51 questions asked for 50 words and one wrong answer (%d)" % len(asked))
    check(heard_again, "the word answered wrong is asked, and heard, again")
    check(re.fullmatch(r"Practise complete: (\d+ minutes? )?\d+ seconds?, 51 tries\. New best result\.", end)
          is not None, "the end says the result in words and that it is a new best: %r" % end)

    # 4: the time on its key, outside a drill. pelko answers it after all
    # that the end of the practise made it send, so whatever Orca said of
    # the end came before the answer.
    mark = session.key("t")
    no_drill = session.wait_said(lambda u: u.startswith("No practise"), "T outside a drill", mark)
    check(no_drill == "No practise or speed challenge is running.", "T says there is no drill")
    spoken_at_end = session.said[end_mark:session.said.index(no_drill, mark)]
    check(not any("tree" in u or "push button" in u for u in spoken_at_end),
          "the focus stays where it was at the end: %r" % spoken_at_end)

    # 5: both lists from the keyboard, their rows in words. The end showed
    # the Results; the other tab is the Answer Log.
    mark = session.key("ctrl+Tab")
    session.wait_said(lambda u: u.startswith("Answer Log tree"), "Ctrl+Tab to the Answer Log", mark)
    row = session.wait_said(lambda u: "means" in u, "the newest log row with the list", mark)
    check(row.rstrip(".") == "Correct: %s means %s" % (asked[-1], sorted(meanings[asked[-1]])[0]),
          "the newest row comes with the list, in words: %r" % row)
    mark = session.key("End")
    row = session.wait_said(lambda u: "means" in u, "the oldest log row", mark)
    check(row.startswith("Incorrect: %s means " % asked[0]), "the wrong answer's row names its word: %r" % row)
    mark = session.key("ctrl+Next")
    session.wait_said(lambda u: u.startswith("Results tree"), "Ctrl+PgDn to the Results", mark)
    row = session.wait_said(lambda u: "tries" in u, "the result row with the list", mark)
    check(re.fullmatch(r"(\d+ minutes? )?\d+ seconds?, 51 tries\.?", row) is not None,
          "the result row in words: %r" % row)

    # 4 and 3: a speed challenge: one right answer, then the credit runs out.
    # T is pressed once the next question has been heard: the next thing
    # pelko says by itself is the time at 6 seconds, so T's answer is on its
    # own (texts given in one turn of pelko's loop are said as one).
    tab_to(session, "Speed Challenge push button")
    mark = session.key("space")
    question = QUESTION.match(session.wait_said(is_question, "the challenge's first question", mark))
    choices = [question.group("c%d" % k) for k in range(1, 5)]
    right = [k for k, c in enumerate(choices) if c in meanings[question.group("french")]][0]
    answered = session.key(str(right + 1))
    verdict = session.wait_said(lambda u: u.startswith(("right", "wrong")), "the challenge's verdict", answered)
    check(verdict == "right.", "a right answer in a challenge is told: %r" % verdict)
    session.wait_said(is_question, "the challenge's next question", session.said.index(verdict, answered) + 1)
    asked = session.key("t")
    score = session.wait_said(lambda u: u.startswith("Time is up"), "the challenge's end", asked)
    check(re.fullmatch(r"Time is up: 1 correct on 1 guess in \d+ seconds\.", score) is not None,
          "the score is said: %r" % score)
    dialog = session.wait_said(lambda u: u.startswith("High Scores"), "the High Scores table", asked)
    # By position alone: T's answer is the first time said after the key,
    # the others up to the score are said unasked.
    said = session.said
    scored = said.index(score, asked)
    times = [u for u in said[asked:scored] if u.endswith((" seconds left.", " second left."))]
    check(times[:1] != [] and re.fullmatch(r"\d+ seconds? left\.", times[0]) is not None,
          "T says the seconds left: %r" % times[:1])
    check(times[1:] == ["6 seconds left.", "3 seconds left."], "the seconds left said unasked: %r" % times[1:])
    check(scored < said.index(dialog, asked), "the score comes before the table: %r" % said[asked:])

    session.focus_window("High Scores")
    mark = session.key("Tab")
    box = session.wait_said(lambda u: "place" in u, "the name box", mark)
    check(box.startswith("Your name for place 1"), "the name box says what it is for: %r" % box)
    escaped = session.key("Escape")
    session.until_closed("High Scores")
    session.focus_window("French Vocabulary")
    # Back in the main window: heard, with where the focus is, before the
    # next Tab, which would otherwise be taken to have gone there.
    back = session.wait_said(lambda u: u == "French Vocabulary 1-1000 frame.", "the main window again", escaped)
    session.wait_said(lambda u: u.endswith(" push button."), "the focus in the main window",
                      session.said.index(back, escaped) + 1)

    # 5: the About dialog's title without its layout blanks.
    tab_to(session, "About push button")
    mark = session.key("space")
    about = session.wait_said(lambda u: "dialog" in u, "the About dialog", mark)
    check(about.startswith("About dialog"), "About is said without stray blanks: %r" % about)
    session.focus_window("About")
    session.key("Escape")
    session.until_closed("About")

    check(not [u for u in session.said if "\t" in u or "  " in u], "nothing said holds a tab or a double blank")
    # The total strip's new figure: 49 of 1000 is drawn "5%" (4.9).
    percents = [u for u in session.said if "percent" in u]
    check(all(u.endswith("5 percent.") for u in percents), "a figure is said as shown: %r" % percents)

    # Leave by the keyboard: Exit is the default button.
    session.focus_window("French Vocabulary")
    session.key("Escape")
    try:
        code = session.pelko.wait(WAIT)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, "pelko exits cleanly (exit code %s)" % code)


def serve_a11y_bus(pelko_bus):
    """org.a11y.Bus on pelko's session bus, as the bus's launcher serves it:
    the address of this session's accessibility bus, and whether it is on.
    Prints "open" once the name is held, then serves until ended."""
    from gi.repository import Gio, GLib
    session = Gio.bus_get_sync(Gio.BusType.SESSION)

    def ask(interface, method, args, answer):
        return session.call_sync("org.a11y.Bus", "/org/a11y/bus", interface, method, args,
                                 GLib.VariantType(answer), Gio.DBusCallFlags.NONE, -1, None)
    address = ask("org.a11y.Bus", "GetAddress", None, "(s)").unpack()[0]
    node = Gio.DBusNodeInfo.new_for_xml(
        "<node><interface name='org.a11y.Bus'><method name='GetAddress'><arg type='s' direction='out'/>"
        "</method></interface><interface name='org.a11y.Status'>"
        "<property name='IsEnabled' type='b' access='read'/>"
        "<property name='ScreenReaderEnabled' type='b' access='read'/></interface></node>")
    bus = Gio.DBusConnection.new_for_address_sync(
        pelko_bus, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)
    for interface in node.interfaces:
        bus.register_object(
            "/org/a11y/bus", interface,
            lambda _bus, _sender, _path, _interface, _method, _args, call: call.return_value(
                GLib.Variant("(s)", (address,))),
            lambda _bus, _sender, _path, interface, name: ask(
                "org.freedesktop.DBus.Properties", "Get", GLib.Variant("(ss)", (interface, name)),
                "(v)").get_child_value(0).get_variant(),
            None)
    Gio.bus_own_name_on_connection(bus, "org.a11y.Bus", Gio.BusNameOwnerFlags.NONE,
                                   lambda *_: print("open", flush=True), None)
    GLib.MainLoop().run()


if __name__ == "__main__" and sys.argv[1:2] == ["--a11y-bus"]:
    serve_a11y_bus(sys.argv[2])
elif __name__ == "__main__":
    main()
    exit_with_verdict()
