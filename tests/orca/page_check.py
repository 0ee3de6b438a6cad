#!/usr/bin/python3
"""The web page as the Orca screen reader speaks it to a blind pilot in Chromium.

Serves the built page on localhost, starts Debian's chromium on it with its
accessibility on, under Orca as orca_check.py starts it for the window, types
into the page at a pilot's pace, each step once Orca has said the last, and
checks Orca's speech step by step. What the page's live region is given is
read from Orca's log too: over the whole run Orca must speak it exactly as
often as the steps list, so that a message dropped or said twice fails.
Usage: page_check.py build-wasm/page   (KQ71WB_DEBUG=1 keeps Orca's log)
"""
import collections
import functools
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading

from orca_check import FORWARD, WITHIN, Step, desktop, follow, start, verdict, wait_for

WHOLE = ("Gross weight 770 lb, within limits. CG 6.49 in, out of limits, forward of the 11.70 in limit. "
         "Pilot weight for this loading: 0 to 43 lb (0 to 19 kg). Room to 900 lb: 130 lb (58.9 kg).")

# What a pilot does, the keys, what Orca must say in order (heard), and what
# the page's live region must have said in the step (announced). Orca is in
# focus mode in a field, so that keys reach the page.
STEPS = [
    Step("tabs into the sheet", ["Tab"], ["Weight, Aircraft Empty entry."]),
    Step("types the empty weight", ["6", "0", "0"],
         announced=[FORWARD + " Arm, Aircraft Empty is blank: its 600 lb are counted at the datum."]),
    Step("goes on to its arm", ["Tab"], ["Arm, Aircraft Empty entry."]),
    Step("types the arm", ["1", "4"], announced=[WITHIN]),
    Step("goes on to the pilot's weight", ["Tab"], ["Weight, Pilot entry."]),
    Step("types it", ["1", "7", "0"], announced=[FORWARD]),
    # Chromium tells of the caret in the field just before the focus; on a
    # busy machine Orca may take the caret's news alone, and then moves on to
    # the field without a word: the pilot asks where the Tabs led.
    Step("goes on to item 3's weight", ["Tab", "Tab", "Tab"]),
    Step("asks where am I", ["KP_Enter"], ["Weight, item 3 entry."]),
    Step("types a weight there, its arm still blank", ["1", "7", "0"],
         announced=["Gross weight over 900 lb. " + FORWARD +
                    " Arm, item 3 is blank: its 170 lb are counted at the datum."]),
    Step("types a misread over it", ["ctrl+a", "l", "7", "0"],
         announced=[FORWARD + ' Weight, item 3: "l70" is read as 0.']),
    # The misread gone, the verdict stands as it was: nothing is said again.
    Step("mends it", ["BackSpace", "BackSpace", "BackSpace"]),
    Step("asks for the whole result", ["F8"], announced=[WHOLE]),
    Step("tabs past the fields below to the whole result's button", ["Tab"] * 17,
         ["Say the whole result push button."]),
    Step("presses it", ["space"], announced=[WHOLE]),
]

# A pilot's pace, in ms from key to key: the next key comes before Orca
# speaks what the page's live region was given at the last.
KEY_GAP = 100
# What the live region is given, as Chromium tells Orca; Orca speaks it with
# its blanks trimmed (a repeat ends in a no-break space).
REGION_TEXT = re.compile(r"object:text-changed:insert for \[status bar \| [^\]]*\] in \[application \| [^\]]*\] "
                         r"\(\d+, \d+, (.*)\)$")
# The core's first view has put the pilot's arm in: the module is running.
STARTED = re.compile(r"object:text-changed:insert for \[entry \| [^\]]*\] in \[application \| [^\]]*\] \(0, 3, -20\)")
CHROMIUM = ["/usr/bin/chromium", "--no-sandbox", "--force-renderer-accessibility", "--no-first-run",
            "--no-default-browser-check", "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--password-store=basic", "--test-type", "--window-position=0,0",
            "--window-size=1024,768"]


def log_lines(orca, pattern):
    with open(orca.log, errors="replace") as log:
        return [match.group(1) if match.groups() else match.group(0)
                for match in map(pattern.search, log.read().splitlines()) if match]


def drive(orca, env):
    def take_keys(step):
        # As in the window's check: a key given to a busy Orca may reach
        # the page before Orca has taken it, or be lost to it. Keys typed
        # into a field go at a pilot's pace, as the page speaks once they
        # pause; Tabs one at a time, each once Orca has dealt with all the
        # last one brought (the third of three Tabs at a pilot's pace was
        # lost once, with the sanitizer build compiling beside).
        tabs = all(name == "Tab" for name in step.keys)
        for keys in [[name] for name in step.keys] if tabs else [step.keys]:
            wait_for(orca.idle, f"Orca dealt with all it was given before the pilot {step.does}")
            taken = orca.keys_taken + sum(len(name.split("+")) for name in keys)
            subprocess.run(["xdotool", "key", "--delay", str(KEY_GAP)] + keys, env=env, check=True)
            wait_for(lambda: orca.heard() is not None and orca.keys_taken >= taken, "Orca took the keys")

    failures, _ = follow(orca, STEPS, take_keys)
    wait_for(orca.idle, "Orca dealt with all it was given")
    # The log cuts a long text to its first 100 characters and " (...)".
    region = [text[:-len(" (...)")] if text.endswith(" (...)") else text.strip()
              for text in log_lines(orca, REGION_TEXT)]
    announced = collections.Counter(words for words, unasked in zip(orca.said, orca.unasked)
                                    if unasked and any(words.startswith(text) for text in region))
    return verdict(failures, announced, STEPS, "the page's live region")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


def main(site):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    profile = tempfile.mkdtemp(prefix="kq71wb-chromium-")
    try:
        # Orca reads a web page from where it stands, not all of it aloud.
        with desktop(settings="orca.settings.sayAllOnLoad = False\norca.settings.pageSummaryOnLoad = False\n") as (
                env, orca, started):
            started.append(start(CHROMIUM + ["--user-data-dir=" + profile,
                                             f"http://127.0.0.1:{server.server_address[1]}/"], env))
            # No window manager gives the window the focus, so it is given here. A search
            # fails when a window it looks at goes meanwhile, as Chromium's first ones do.
            window = wait_for(lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "^KQ-71 Sailplane"], env=env, capture_output=True,
                text=True).stdout.split(), "Chromium showed the page")[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], env=env, check=True)
            wait_for(lambda: log_lines(orca, STARTED), "the page's module started")
            # Orca names the page as it loads, or as its window gets the focus.
            wait_for(lambda: any("KQ-71 Sailplane" in words for words in orca.heard()), "Orca named the page")
            print("Orca said, step by step:")
            return drive(orca, env)
    finally:
        server.shutdown()
        subprocess.run(["rm", "-rf", profile])


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
