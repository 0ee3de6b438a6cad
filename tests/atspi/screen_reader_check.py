#!/usr/bin/python3
"""The calculator through the accessibility stack a screen reader uses.

Starts the real program under Xvfb on a private D-Bus session with its own
AT-SPI bus, types 600, Tab, 14, Tab, 170 and clicks two loadings as a user
would, and checks through AT-SPI (as Orca reads it) that the gross weight, the
CG, the scale, the loading buttons and the verdict can be read, and that each
change of the verdict, or of the figures behind it, arrived as a notification
shown, which Orca speaks without being asked. Every process it starts is
stopped by its id. Usage: screen_reader_check.py path/to/KQ71WB
"""
import os
import signal
import subprocess
import sys
import tempfile
import time


def start(command, env, **options):
    return subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=None if os.environ.get("KQ71WB_DEBUG") else subprocess.DEVNULL, **options)


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.1)
    raise SystemExit(f"FAIL: {what} within {seconds} s")


def read_line(fd):
    """Reads up to the newline: Xvfb writes its display number and the newline
    apart, and dies if the pipe is closed between the two."""
    text = b""
    while not text.endswith(b"\n"):
        chunk = os.read(fd, 16)
        if not chunk:
            raise SystemExit("FAIL: Xvfb stopped before giving its display number")
        text += chunk
    return text.decode().strip()


def descendants_of(pid):
    children = [int(child) for child in
                subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout.split()]
    return [grandchild for child in children for grandchild in descendants_of(child)] + children


def main(program):
    started = []  # every process started here, stopped at the end by its id
    folder = tempfile.mkdtemp(prefix="kq71wb-atspi-")
    try:
        read_end, write_end = os.pipe()
        # No reset when the last client leaves: a reset between the bus
        # launcher's visit and the program's start refuses the program.
        xvfb = start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                     os.environ, pass_fds=[write_end])
        started.append(xvfb)
        os.close(write_end)
        display = ":" + read_line(read_end)
        os.close(read_end)

        bus = os.path.join(folder, "bus")
        env = dict(os.environ, DISPLAY=display, DBUS_SESSION_BUS_ADDRESS="unix:path=" + bus,
                   HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                   XDG_RUNTIME_DIR=folder, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.pop("WAYLAND_DISPLAY", None)
        started.append(start(["dbus-daemon", "--session", "--nofork", "--address=unix:path=" + bus], env))
        wait_for(lambda: os.path.exists(bus), 10, "the session bus started")
        launcher = start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env)
        started.append(launcher)
        wait_for(lambda: "boolean true" in subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], env=env, capture_output=True, text=True).stdout,
            10, "the AT-SPI bus launcher started")
        os.environ.update(DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=env["DBUS_SESSION_BUS_ADDRESS"])
        import pyatspi  # connects to the session bus set just above
        app = start([program], env)
        started.append(app)
        return check(pyatspi, env)
    finally:
        for process in reversed(started):
            ids = descendants_of(process.pid) + [process.pid]  # the launcher's own bus and registry too
            for pid in ids:
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        subprocess.run(["rm", "-rf", folder])


def find_all(node, predicate):
    found = [node] if predicate(node) else []
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child:
            found += find_all(child, predicate)
    return found


def find(node, predicate):
    found = find_all(node, predicate)
    return found[0] if found else None


def check(pyatspi, env):
    from gi.repository import GLib

    def calculator():
        for app in pyatspi.Registry.getDesktop(0):
            if app and app.name == "KQ71WB" and app.childCount:
                return app
        return None

    wait_for(calculator, 20, "the calculator appeared to AT-SPI")
    app = calculator()
    heard = []  # what arrived from the line beneath the window, in order

    def listen(event):
        try:
            source = event.source
            if source.getRole() != pyatspi.ROLE_NOTIFICATION:
                return
            if event.type.startswith("object:text-changed:insert"):
                heard.append(("text inserted", str(event.any_data)))
            elif event.type.startswith("object:state-changed:showing") and event.detail1:
                heard.append(("notification shown", source.name))
        except Exception:  # an object gone by the time the event is read
            pass

    # Name changes are listened to as Orca does, so that the names read are
    # current rather than cached.
    pyatspi.Registry.registerEventListener(listen, "object:text-changed:insert", "object:state-changed:showing",
                                           "object:property-change:accessible-name")

    # One key or click at a time, the events of each heard before the next, as
    # a screen reader hears them while a pilot types and then picks two
    # loadings that give the same verdict.
    steps = ["6", "0", "0", "Tab", "1", "4", "Tab", "1", "7", "0", 0, 1]

    def loading_button(index):
        return find_all(app, lambda node: node.getRole() == pyatspi.ROLE_CHECK_BOX)[index]

    def take_next_step():
        if not steps:
            GLib.timeout_add(1500, lambda: pyatspi.Registry.stop() and False)
            return False
        step = steps.pop(0)
        if isinstance(step, int):
            box = loading_button(step).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            command = ["mousemove", "--sync", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1"]
        else:
            command = ["key", step]
        subprocess.run(["xdotool"] + command, env=env, check=True)
        return True

    GLib.timeout_add(400, take_next_step)
    GLib.timeout_add(60000, lambda: pyatspi.Registry.stop() and False)
    pyatspi.Registry.start()

    def text_of(obj):
        return obj.queryText().getText(0, -1)

    def named(name):
        found = find(app, lambda node: node.name == name)
        if not found:
            raise SystemExit(f"FAIL: no object named {name!r}")
        return found

    gross, cg = named("Gross weight"), named("Centre of gravity")
    line = find(app, lambda node: node.getRole() == pyatspi.ROLE_NOTIFICATION)
    buttons = [(button.name, button.getState().contains(pyatspi.STATE_CHECKED))
               for button in find_all(app, lambda node: node.getRole() == pyatspi.ROLE_CHECK_BOX)]
    read = {
        "Gross weight": (text_of(gross), gross.description),
        "Centre of gravity": (text_of(cg), cg.description),
        "line beneath the window": (line.name, line.getRoleName()),
        "scale": (named("Centre of gravity scale").queryValue().currentValue,),
        "loading buttons": tuple(buttons),
    }
    print("Read through AT-SPI:")
    for what, value in read.items():
        print(f"  {what}: {value}")
    print("Heard from the line beneath the window, in order:")
    for kind, text in heard:
        print(f"  {kind}: {text!r}")

    forward, within = "CG forward of the 11.70 in limit.", "Within limits."
    verdicts = [forward, within, forward, within, within]  # the last: new figures, the same verdict
    failures = []
    if read["Gross weight"] != ("768", "within limits"):
        failures.append("the gross weight does not read 768, within limits")
    if read["Centre of gravity"] != ("14.18", "within limits"):
        failures.append("the CG does not read 14.18, within limits")
    if read["scale"] != (14.18,):
        failures.append("the scale does not read the CG")
    if read["line beneath the window"][0] != within:
        failures.append("the line beneath the window does not read the verdict")
    if buttons != [("N271KQ", False), ("N371KQ", True), ("N471KQ", False), ("N571KQ", False)]:
        failures.append("the loading buttons are not named by their gliders, with only the marked one checked")
    if [text for kind, text in heard if kind == "notification shown"] != verdicts:
        failures.append("each change of the verdict, and the new figures of a loading, must be shown once as a notification")
    if [text for kind, text in heard if kind == "text inserted"] != verdicts[:-1]:
        failures.append("each change of the verdict must arrive as inserted text")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
