#!/usr/bin/python3
"""The calculator as the Orca screen reader speaks it to a blind pilot.

Starts the real program and Orca under Xvfb, on a private D-Bus session with
its own AT-SPI bus and a speech-dispatcher with a silent synthesizer,
drives the program with xdotool as a pilot does with Orca's ordinary keys
(the keypad's flat review and where-am-I), and reads what Orca said from the
SPEECH OUTPUT lines of its debug log. Each key waits for Orca to take it and
each step for Orca's own words, never for a time; the run ends with words the
program announces, which Orca speaks only after all it was given before.
Every process it starts is stopped by its id, with all its descendants.
Usage: orca_check.py path/to/KQ71WB   (KQ71WB_DEBUG=1 keeps Orca's log)

The desktop (desktop()), the log reader (Orca), the waits and the steps'
runner (follow(), verdict()) are for other checks to import:
sys.path.insert(0, "tests/orca"); from orca_check import desktop.
"""
import collections
import contextlib
import os
import pathlib
import re
import signal
import subprocess
import sys
import tempfile
import time

FORWARD, WITHIN = "CG forward of the 11.70 in limit.", "Within limits."
SUMMARY = ("Gross weight 782.5 lb, within limits. CG 14.13 in, within limits. "
           "Pilot weight for this loading: 130 to 229 lb (59 to 104 kg). Room to 900 lb: 117.5 lb (53.2 kg). "
           "Cockpit placard for N271KQ (example), pilot at -20 in and nothing else aboard: 130 to 229 lb (59 to 104 kg).")

# What a pilot does, the keys (repeat: pressed again, one line of speech at a
# time, until the first words heard are said), what Orca must say in order
# (heard), and what the line beneath the window must announce (announced:
# heard in the step; over the whole run Orca must speak the line's messages
# exactly as often as listed here, and no others, so that a message repeated
# at a keystroke fails). Insert is Orca's key.
Step = collections.namedtuple("Step", "does keys heard announced repeat", defaults=((), (), False))
STEPS = [
    Step("types the empty weight's first figure", ["6"],
         announced=[FORWARD, "Arm, Aircraft Empty is blank: its 6 lb are counted at the datum."]),
    Step("types the rest, the warning said once already", ["0", "0"]),
    Step("goes on to its arm", ["Tab"], ["Arm, Aircraft Empty text."]),
    Step("types the arm", ["1", "4"], announced=[WITHIN]),
    Step("goes on to the pilot's weight and types it", ["Tab", "1", "7", "0"], ["Weight, Pilot text."], [FORWARD]),
    Step("arrives in the pilot's arm, -20 by default", ["Tab"], ["Arm, Pilot text.", "-20 selected."]),
    Step("asks where am I", ["KP_Enter"], ["Arm, Pilot text.", "-20 selected."]),
    Step("reviews down from the window's top line to the gross weight", ["Insert+KP_Home", "KP_Page_Up"],
         ["Gross Weight 770 5000"], repeat=True),
    Step("reviews along it to the gross weight", ["KP_Right"], ["770"], repeat=True),
    Step("asks what the figure is", ["Insert+KP_Begin"], ["Gross weight, 770, within limits label."]),
    Step("reviews down to the CG", ["KP_Page_Up"], ["Moment /  Weight  = Flying Weight CG 6.49"], repeat=True),
    Step("reviews its last word", ["Insert+KP_End", "KP_Begin"], ["6.49"]),
    Step("asks what the figure is", ["Insert+KP_Begin"],
         ["Centre of gravity, 6.49, out of limits, forward of the 11.70 in limit label."]),
    Step("reviews the moments of the first two rows", ["Insert+KP_Home", "KP_Page_Up"], ["Aircraft Empty 600 14 8400"],
         repeat=True),
    Step("reviews the next line", ["KP_Page_Up"], ["Pilot 170 -20 -3400"]),
    Step("reviews along it to the moment", ["KP_Right"], ["-3400"], repeat=True),
    Step("asks what the figure is", ["Insert+KP_Begin"], ["Moment, Pilot, -3400 label."]),
    Step("leaves flat review and tabs past the 18 fields below to the scale", ["KP_Subtract"] + ["Tab"] * 19,
         ["Centre of gravity scale slider 6.49.", "CG 6.49 in, forward of the scale."]),
    Step("asks where am I", ["KP_Enter"], ["Centre of gravity scale slider 6.49 36 percent."]),
    Step("tabs on to the second loading", ["Tab", "Tab"], ["N371KQ (example) check box not checked."]),
    Step("presses it, and the focus goes back to the pilot's weight", ["space"],
         ["checked", "Weight, Pilot text.", "170 selected."], [WITHIN]),
    Step("reviews down to the first loading", ["KP_Page_Up"], ["not checked N271KQ (example)"], repeat=True),
    # The pointer is routed there first (Insert+KP_Divide). Orca takes a
    # click after which it finds the pointer where it was for a failure, and
    # clicks again by other means, the last of which gives the button the
    # focus; on a busy machine the pointer's move is sometimes read too early.
    # Already there, the pointer cannot seem not to have moved.
    Step("clicks it there with Orca's mouse button", ["Insert+KP_Divide", "KP_Divide"], announced=[WITHIN]),
    # Orca leaves flat review as the focus moves (KP_Subtract would reach the
    # field as a minus once it has).
    Step("tabs on to item 3's weight", ["Tab", "Tab", "Tab"], ["Weight, item 3 text."]),
    Step("types a misread weight", ["l"], announced=['Weight, item 3: "l" is read as 0.']),
    Step("types on, the misread growing letter by letter", ["7", "0"]),
    # The misread gone, the verdict stands as it was: nothing is said again.
    Step("mends it", ["BackSpace", "BackSpace", "BackSpace"]),
    Step("asks for the whole result", ["F8"], announced=[SUMMARY]),
    Step("copies the load sheet", ["ctrl+shift+c"], announced=["Load sheet copied."]),
    # Orca speaks what the program tells it in the order told: once these
    # words are heard, so is every announcement before them.
    Step("asks for the whole result again, which ends the run", ["F8"], announced=[SUMMARY]),
]

# Orca's speech, in braces when spoken unasked or for the focus, in brackets
# when read by flat review; and the messages the line beneath has had.
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'\s*([\[{])")
NOTIFICATION = re.compile(r"\[notification \| (.*?)\] \(")
# Orca takes keys in turn with the program's events; when more than 50 events
# wait, it drops announcements among them. So each key waits for Orca's word
# that it took the key before the next is pressed, as a pilot's pace allows.
KEY_TAKEN = "PROCESS ATSPI_KEY_RELEASED_EVENT"
# And a key waits until Orca has dealt with every event it queued: a key that
# reaches a busy Orca (a loaded machine) is passed on to the program by the
# AT-SPI registry, and its keypad commands arrive in the field as text.
QUEUED, DEQUEUED = "EVENT MANAGER: Queueing ", "EVENT MANAGER: Dequeued "
# Nor while Orca carries out the command a key was bound to (building flat
# review, clicking), which it does after it has taken the key's release.
HANDLING, HANDLED = "vvvvv CONSUME ATSPI_KEY_PRESSED_EVENT", "^^^^^ CONSUME ATSPI_KEY_PRESSED_EVENT"
PRUNED = re.compile(r"EVENT MANAGER: (\d+) events pruned")
# Orca as /usr/bin/orca starts it, but for its refusal to start while any
# other Orca of the same user runs, in whatever session: each check has its
# own session, and two checks may run at once.
ORCA = ("import sys; sys.argv[0] = '/usr/bin/orca'; source = open(sys.argv[0]).read()"
        ".replace('if otherOrcas():', 'if False:'); exec(compile(source, sys.argv[0], 'exec'))")


# How long anything may take before it counts as missing: a bound for a
# failure on a slow, loaded machine, never a pause of its own.
PATIENCE = 120


def start(command, env, **options):
    return subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=None if os.environ.get("KQ71WB_DEBUG") else subprocess.DEVNULL, **options)


def wait_for(condition, what, seconds=PATIENCE):
    """Returns what condition() returns once it is true, looking again and
    again; fails once seconds have passed without it."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.05)
    raise SystemExit(f"FAIL: {what() if callable(what) else what} within {seconds} s")


def descendants_of(pid):
    children = [int(child) for child in
                subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout.split()]
    return [grandchild for child in children for grandchild in descendants_of(child)] + children


def stop(process):
    for pid in descendants_of(process.pid) + [process.pid]:  # the bus launcher's own bus and registry too
        with contextlib.suppress(ProcessLookupError):
            os.kill(pid, signal.SIGTERM)
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Orca:
    """What Orca has said so far, read from its debug log as it grows."""

    def __init__(self, log):
        self.log, self.said, self.unasked, self.messages = log, [], [], set()
        self.keys_taken, self.queued, self.handling, self.offset, self.rest = 0, 0, 0, 0, b""

    def heard(self):
        with open(self.log, "rb") as log:
            log.seek(self.offset)
            chunk = log.read()
        self.offset += len(chunk)
        lines = (self.rest + chunk).split(b"\n")
        self.rest = lines.pop()
        for line in map(lambda line: line.decode(errors="replace"), lines):
            if match := SPEECH.search(line):
                self.said.append(match.group(1))
                self.unasked.append(match.group(2) == "{")
            self.messages.update(NOTIFICATION.findall(line))
            self.keys_taken += KEY_TAKEN in line
            self.queued += (QUEUED in line) - (DEQUEUED in line)
            self.handling += (HANDLING in line) - (HANDLED in line)
            if pruned := PRUNED.search(line):
                self.queued -= int(pruned.group(1))
        return self.said

    def idle(self):
        """Whether Orca has dealt with every event it queued and every
        command it was given."""
        self.heard()
        return self.queued == 0 and self.handling == 0

    def wait_for_words(self, since, words, announced=()):
        """Waits until words were said in order, and the announcements at any
        point among them, after the first since things said."""
        def all_said():
            remaining = iter(self.heard()[since:])
            return all(word in remaining for word in words) and all(a in self.said[since:] for a in announced)
        wait_for(all_said, lambda: f"Orca said {list(words) + list(announced)!r} (it said {self.said[since:]!r})")


@contextlib.contextmanager
def desktop(screen="1024x768", settings=""):
    """A desktop of its own for a screen reader: Xvfb, a private D-Bus session
    with its own AT-SPI bus, speech-dispatcher with a silent synthesizer,
    and Orca logging what it says, with more of its settings if given (lines
    of Python). Yields the environment to start programs in,
    the Orca whose log is read, and the processes it stops by their ids at the
    end, to which a caller adds those it starts."""
    started = []
    # The AT-SPI registry gives Orca 3 s to answer a key, then passes the key
    # on to the program: a keypad command arrives in a field as text. Where
    # it may (as root), the desktop outruns a loaded machine's other work.
    if os.geteuid() == 0:
        os.setpriority(os.PRIO_PROCESS, 0, -10)
    folder = tempfile.mkdtemp(prefix="kq71wb-orca-")
    home, prefs, log = (os.path.join(folder, name) for name in ("home", "prefs", "orca.log"))
    try:
        speechd = os.path.join(home, ".config", "speech-dispatcher")
        os.makedirs(os.path.join(speechd, "modules"))
        os.makedirs(prefs)
        # No sound card here: without a null sink speech-dispatcher blocks on
        # its first utterance, and Orca with it. One synthesizer, loaded once
        # (the others it would find can block it too), and a silent one: Orca
        # stops the speech at every key before it takes the key, and a
        # synthesizer at work on a loaded machine outlasts the 100 ms that Qt's
        # accessibility bridge waits, which then hands the key to the program
        # (a keypad command arrives in a field as text). The words are read
        # from Orca's log, never from the sound.
        pathlib.Path(home, ".asoundrc").write_text("pcm.!default {type null}\n")
        pathlib.Path(speechd, "modules", "silent.conf").write_text(
            'GenericExecuteSynth "true"\nAddVoice "en" "MALE1" "silent"\nDefaultVoice "silent"\n')
        pathlib.Path(speechd, "speechd.conf").write_text(
            'AudioOutputMethod "alsa"\nAddModule "silent" "sd_generic" "silent.conf"\nDefaultModule silent\n')
        # Orca writes its log in blocks; a line at a time lets the check wait
        # for each line. Its finer levels only slow it down. Keys are not
        # echoed, so that each key's answer is the program's or flat review's.
        # Orca gives up on an AT-SPI answer after 0.8 s, and then clicks
        # nowhere or says nothing; a loaded machine answers later.
        pathlib.Path(prefs, "orca-customizations.py").write_text(
            "import orca.debug, orca.settings, pyatspi\norca.settings.enableKeyEcho = False\n"
            "orca.debug.debugLevel = orca.debug.LEVEL_INFO\norca.debug.debugFile.reconfigure(line_buffering=True)\n"
            f"pyatspi.setTimeout({PATIENCE * 1000}, {PATIENCE * 1000})\n" + settings)

        read_end, write_end = os.pipe()
        # No reset when the last client leaves: a reset between the bus
        # launcher's visit and the program's start refuses the program.
        started.append(start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen + "x24", "-nolisten", "tcp",
                              "-noreset"], os.environ, pass_fds=[write_end]))
        os.close(write_end)
        with os.fdopen(read_end) as given:  # the number and the newline may come apart: a line waits for both
            display = given.readline().strip()
        if not display:
            raise SystemExit("FAIL: Xvfb stopped before giving its display number")

        runtime = os.path.join(folder, "runtime")
        os.makedirs(runtime, mode=0o700)
        bus = os.path.join(folder, "bus")
        env = dict(os.environ, DISPLAY=":" + display, DBUS_SESSION_BUS_ADDRESS="unix:path=" + bus,
                   HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_RUNTIME_DIR=runtime,
                   QT_QPA_PLATFORM="xcb", GSETTINGS_BACKEND="memory")
        for unwanted in ("WAYLAND_DISPLAY", "SPEECHD_ADDRESS", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
            env.pop(unwanted, None)
        started.append(start(["dbus-daemon", "--session", "--nofork", "--address=unix:path=" + bus], env))
        wait_for(lambda: os.path.exists(bus), "the session bus started")
        started.append(start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env))
        wait_for(lambda: "boolean true" in subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], env=env, capture_output=True, text=True).stdout,
            "the AT-SPI bus launcher started")
        started.append(start(["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", speechd], env))
        wait_for(lambda: os.path.exists(os.path.join(runtime, "speech-dispatcher", "speechd.sock")),
                 "speech-dispatcher listened")

        started.append(start(["/usr/bin/python3", "-c", ORCA, "--user-prefs", prefs, "--debug-file", log], env))
        wait_for(lambda: os.path.exists(log), "Orca started its log")
        orca = Orca(log)
        orca.wait_for_words(0, ["Screen reader on."])
        yield env, orca, started
    finally:
        for process in reversed(started):
            stop(process)
        if os.environ.get("KQ71WB_DEBUG"):
            print("Orca's log:", log)
        else:
            subprocess.run(["rm", "-rf", folder])


def follow(orca, steps, take_keys):
    """Takes each step's keys (take_keys(step)) and waits for its words, printing what Orca said at
    each; returns the failure, if a step failed, and where the last step's words begin."""
    since = 0
    for step in steps:
        since = len(orca.heard())
        try:
            take_keys(step)
            orca.wait_for_words(since, step.heard, step.announced)
        except SystemExit as failure:
            return [f"the pilot {step.does}: {failure}"], since
        print(f"  {step.does} ({' '.join(step.keys)}): {orca.said[since:]}")
    return [], since


def verdict(failures, announced, steps, speaker):
    """Prints the failures, the announcements heard other than as the steps list them among them;
    returns the exit status."""
    listed = collections.Counter(words for step in steps for words in step.announced)
    if not failures and announced != listed:
        failures.append(f"{speaker} was heard {dict(announced)}, not {dict(listed)}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


def drive(orca, env):
    def press(name, answered):
        wait_for(orca.idle, f"Orca dealt with all it was given before {name}")
        said = len(orca.heard())
        taken = orca.keys_taken + len(name.split("+"))  # Orca's key, Insert, is taken too
        subprocess.run(["xdotool", "key", name], env=env, check=True)
        wait_for(lambda: orca.heard() is not None and orca.keys_taken >= taken, f"Orca took {name}")
        if answered:  # a flat review key says one thing, sometimes after Orca took the key
            wait_for(lambda: len(orca.heard()) > said, f"Orca answered {name}")

    def take_keys(step):
        since = len(orca.said)
        for name in step.keys:
            press(name, step.repeat)
        for _ in range(40 if step.repeat else 0):
            if step.heard[0] in orca.said[since:]:
                break
            press(step.keys[-1], True)

    failures, since = follow(orca, STEPS, take_keys)
    # Everything up to the last step's announcement, which Orca spoke after
    # all the program told it before.
    announced = collections.Counter()
    if not failures:
        end = since + orca.said[since:].index(STEPS[-1].announced[-1]) + 1
        announced.update(words for words, unasked in zip(orca.said[:end], orca.unasked) if unasked and words in orca.messages)
    return verdict(failures, announced, STEPS, "the line beneath the window")


def main(program):
    with desktop() as (env, orca, started):
        started.append(start([program], env))
        # No window manager gives the window the focus, so it is given here.
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^KQ 71 Weight"], env=env,
                                capture_output=True, text=True, timeout=PATIENCE, check=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], env=env, check=True)
        orca.wait_for_words(0, ["Weight, Aircraft Empty text."])
        print("Orca said, step by step:")
        return drive(orca, env)


if __name__ == "__main__":
    # Ended from outside, it still stops what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main(os.path.abspath(sys.argv[1])))
