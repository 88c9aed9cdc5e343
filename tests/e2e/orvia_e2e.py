"""End-to-end test harness: real Windows programs under Wine, driven like a person.

Run with Debian's /usr/bin/python3 (it needs python3-pil). Everything happens inside one Wine
session started by tools/wine/wine-session.sh (the CTest fixture wine_session, or
tools/run.sh): programs start in the background, their windows are found through the probe
program, the display's real pointer and keyboard act on them (xdotool), screenshots come from
the X display, and results are read back from the real registry, shell links and files.

    session = Session.from_build(build_dir)         # build/<tree>: its wine-session and tools
    probe = Probe(session, session.build / "tests/e2e/e2eprobe.exe")
    program = Program.start(session, exe)
    window = Window.find(probe, "OrviaInstall", program=program)
    view = SkinView.render(session, skinshot_exe, skin_zip, "InstallDailog.xml", {...})
    window.click(view.centre("nextbtn"))
    wait_until(lambda: window.matches(view), "the next page")
    report = Report("installer_e2e"); with report.case("name"): ...; report.write(path)
    run = SkinnedRun(probe, artifacts, exe, "OrviaInstall", "安装程序", SkinViews(...))
    sys.exit(scenario_main("installer_e2e", SCENARIOS, make_env, finish))

Nothing here knows a particular program; the installer's, the uninstaller's and the Flash
player's own steps live in their test scripts.
"""

import argparse
import os
import select
import signal
import shlex
import subprocess
import tempfile
import threading
import time
import traceback
import xml.etree.ElementTree as ET
from contextlib import contextmanager
from pathlib import Path, PureWindowsPath

from PIL import Image, ImageChops, ImageGrab

# A screenshot matches an expected image when at most this share of its pixels differ by more
# than the channel tolerance (the rule the framework's rendering tests use). A state can change
# fewer pixels than that share of a window, so the controls a state sets are compared with
# EXACT_SHARE, and the loose share serves only for the rest.
CHANNEL_TOLERANCE = 48
MAX_DIFFERENT_SHARE = 0.01
EXACT_SHARE = 0.0
DEFAULT_TIMEOUT = 30.0
# Limit of every X tool call (xdotool, xprop) and of every answer awaited from the probe: a hung
# program or display fails the case instead of the whole run.
TOOL_TIMEOUT = 20.0
PROBE_TIMEOUT = 30.0
# How long a test watches for something that must not happen.
QUIET_PERIOD = 2.0


class Failure(AssertionError):
    """A check that did not hold; reported as a test failure (not an error)."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, what, timeout=DEFAULT_TIMEOUT, interval=0.1):
    """Polls predicate until it returns a true value and returns that value; fails after
    timeout seconds with a message naming what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def run_tool(args, env, timeout=TOOL_TIMEOUT):
    """Runs an X tool to its end and returns its output; fails when it does not end in time or
    fails."""
    try:
        result = subprocess.run([str(a) for a in args], env=env, capture_output=True, text=True,
                                errors="replace", timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"{' '.join(map(str, args))} did not end within {timeout:.0f} s")
    if result.returncode != 0:
        raise Failure(f"{' '.join(map(str, args))} failed: {result.stderr.strip()[-300:]}")
    return result.stdout


class LineReader:
    """Lines from a pipe, each awaited for at most a given time. It reads the pipe's descriptor
    itself, `chunk` bytes at a time: with chunk 1 nothing past the line is taken, so the pipe's
    Python stream can still be read after it."""

    def __init__(self, stream, chunk=65536):
        self.fd = stream.fileno()
        self.chunk = chunk
        self.pending = b""

    def line(self, timeout, what):
        """The next line as text, "" at the end of the stream; fails after timeout seconds."""
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise Failure(f"no answer from {what} within {timeout:.0f} s")
            data = os.read(self.fd, self.chunk)
            if not data:
                line, self.pending = self.pending, b""
                return line.decode("utf-8", "replace")
            self.pending += data
        line, _, self.pending = self.pending.partition(b"\n")
        return line.decode("utf-8", "replace") + "\n"


class Session:
    """One Wine session: its prefix, display and the environment every program runs with."""

    def __init__(self, session_dir, build=None):
        self.dir = Path(session_dir)
        self.build = Path(build) if build else None
        env_file = self.dir / "env"
        if not env_file.is_file():
            raise RuntimeError(f"no Wine session in {self.dir} (start one with "
                               "tools/wine/wine-session.sh start)")
        self.env = dict(os.environ)
        for line in env_file.read_text().splitlines():
            line = line.strip()
            if line.startswith("export "):
                key, _, value = line[len("export "):].partition("=")
                parts = shlex.split(value)
                self.env[key] = parts[0] if parts else ""
        self.display = self.env["DISPLAY"]
        self.prefix = Path(self.env["WINEPREFIX"])
        self.loader = self.env["WINELOADER"]

    @classmethod
    def from_build(cls, build):
        return cls(Path(build) / "wine-session", build)

    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    def windows_path(self, path):
        """A Linux path as Wine's drive Z: shows it."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def linux_path(self, windows_path):
        """A path on drive C: or Z: as a Linux path."""
        path = PureWindowsPath(windows_path)
        drive = path.drive.upper()
        parts = path.parts[1:]
        if drive == "C:":
            return self.drive_c.joinpath(*parts)
        if drive == "Z:":
            return Path("/").joinpath(*parts)
        raise ValueError(f"no Linux path for {windows_path}")

    def environment(self, extra=None):
        env = dict(self.env)
        env.update(extra or {})
        return env

    def popen(self, exe, args=(), extra_env=None, **kwargs):
        """Starts a program (a Windows path, a Linux path or a Wine built-in's name) in the
        background, with `extra_env` added to the session's environment."""
        return subprocess.Popen([self.loader, str(exe), *map(str, args)],
                                env=self.environment(extra_env), **kwargs)

    def run(self, exe, args=(), extra_env=None, timeout=120):
        """Runs a program to its end: its exit code and output, as text."""
        return subprocess.run([self.loader, str(exe), *map(str, args)],
                              env=self.environment(extra_env), capture_output=True, text=True,
                              errors="replace", timeout=timeout)

    def xdotool(self, *args):
        return run_tool(["xdotool", *args], self.env)

    def pointer(self):
        """Where the pointer rests on the screen."""
        fields = dict(line.partition("=")[::2]
                      for line in self.xdotool("getmouselocation", "--shell").splitlines())
        return int(fields["X"]), int(fields["Y"])

    def move_pointer(self, point):
        """Moves the pointer and waits until it is there. xdotool's --sync waits for a motion,
        which never comes when the pointer already rests at the point: no move is asked then."""
        point = (int(point[0]), int(point[1]))
        if self.pointer() != point:
            self.xdotool("mousemove", "--sync", *point)

    def screenshot(self, box=None):
        """The display (or the box left, top, right, bottom of it) as an RGB image. The grab
        talks to the X server from this process, so it runs on a thread of its own that is
        given up when the server does not answer in time."""
        grabbed = {}

        def grab():
            try:
                grabbed["image"] = ImageGrab.grab(xdisplay=self.display)
            except Exception as error:  # handed to the waiting thread
                grabbed["error"] = error

        thread = threading.Thread(target=grab, daemon=True)
        thread.start()
        thread.join(TOOL_TIMEOUT)
        if "error" in grabbed:
            raise grabbed["error"]
        if "image" not in grabbed:
            raise Failure(f"the X display gave no screenshot within {TOOL_TIMEOUT:.0f} s")
        image = grabbed["image"].convert("RGB")
        return image.crop(box) if box else image

    def park_pointer(self, point=(1, 1)):
        """Moves the pointer where no window of the tests lies (by default a corner), so that
        nothing stays hot under it."""
        self.move_pointer(point)


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class Answer(dict):
    """One probe answer: ok plus its key=value fields."""

    def __init__(self, line):
        fields = line.rstrip("\n").split("\t")
        super().__init__()
        self.ok = fields[0] == "ok"
        for field in fields[1:]:
            key, _, value = field.partition("=")
            self[key] = _unescape(value)

    def int(self, key):
        return int(self[key])


class Probe:
    """The Windows probe program, kept running: one command line in, one answer line out."""

    def __init__(self, session, exe):
        self.session = session
        self.process = session.popen(exe, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        self.answers = LineReader(self.process.stdout)

    def ask(self, *fields, timeout=PROBE_TIMEOUT):
        line = "\t".join(str(f) for f in fields) + "\n"
        self.process.stdin.write(line.encode("utf-8"))
        self.process.stdin.flush()
        answer = self.answers.line(timeout, f"the probe ({fields[0]})")
        if not answer:
            raise RuntimeError("the probe program ended")
        return Answer(answer)

    def close(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()

    # Read-backs used by most tests.
    def registry(self, root, key, value):
        """(type, data) of a registry value, or None when it is missing."""
        answer = self.ask("reg", root, key, value)
        return (answer["type"], answer.get("data")) if answer.ok else None

    def key_exists(self, root, key):
        return self.ask("regkey", root, key).int("exists") == 1

    def special_folder(self, csidl):
        answer = self.ask("folder", hex(csidl))
        check(answer.ok, f"no special folder {csidl:#x}")
        return answer["path"]

    def shortcut(self, path):
        answer = self.ask("lnk", path)
        return answer if answer.ok else None


class Program:
    """A Windows program running in the background of the session."""

    def __init__(self, session, process, name):
        self.session = session
        self.process = process
        self.name = name

    @classmethod
    def start(cls, session, exe, args=()):
        process = session.popen(exe, args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return cls(session, process, Path(exe).name)

    @property
    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=DEFAULT_TIMEOUT):
        """The exit code once the program has ended; fails when it does not end in time."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{self.name} did not end within {timeout:.0f} s")

    def kill(self):
        if self.running:
            self.process.kill()
            self.process.wait()

    def suspend(self):
        """Stops every thread of the program (Wine runs it in the process it was started as)."""
        os.kill(self.process.pid, signal.SIGSTOP)

    def resume(self):
        os.kill(self.process.pid, signal.SIGCONT)


class Window:
    """A top-level window found through the probe; points are client coordinates."""

    def __init__(self, session, probe, answer):
        self.session = session
        self.probe = probe
        self.hwnd = answer.int("hwnd")
        self.pid = answer.int("pid")
        self.x, self.y = answer.int("x"), answer.int("y")
        self.width, self.height = answer.int("w"), answer.int("h")
        self.title = answer["title"]

    @classmethod
    def find(cls, probe, window_class, title=None, program=None, timeout=60.0):
        """Waits for a visible window of the class (and title). With a program, fails early
        when the program ends first. The first program of a fresh prefix can take long to show
        its window (font caches), hence the generous default."""
        fields = ("window", window_class) + ((title,) if title is not None else ())

        def look():
            if program is not None and not program.running:
                raise Failure(f"{program.name} ended (code {program.process.returncode}) "
                              f"before its window {window_class} appeared")
            answer = probe.ask(*fields)
            return answer if answer.ok else None

        return cls(probe.session, probe, wait_until(look, f"a window of class {window_class}",
                                                     timeout))

    def screen_point(self, point):
        return self.x + int(point[0]), self.y + int(point[1])

    def move_to(self, point):
        self.session.move_pointer(self.screen_point(point))

    def click(self, point):
        """Presses and releases the left button at a client point with the real pointer."""
        self.move_to(point)
        self.session.xdotool("click", 1)

    def key(self, *keys):
        self.session.xdotool("key", *keys)

    def screenshot(self):
        return self.session.screenshot((self.x, self.y, self.x + self.width,
                                        self.y + self.height))

    def close_from_outside(self):
        """WM_CLOSE posted by another program."""
        check(self.probe.ask("close", self.hwnd).ok, "could not post WM_CLOSE")

    def native_children(self):
        """Class, visibility, text and rectangle (left, top, right, bottom in this window's
        client coordinates) of every native child window."""
        answer = self.probe.ask("children", self.hwnd)
        check(answer.ok, "the window is gone")
        children = []
        for i in range(answer.int("count")):
            x, y = answer.int(f"{i}.x"), answer.int(f"{i}.y")
            children.append({"class": answer[f"{i}.class"],
                             "visible": answer[f"{i}.visible"] == "1",
                             "text": answer[f"{i}.text"],
                             "rect": (x, y, x + answer.int(f"{i}.w"), y + answer.int(f"{i}.h"))})
        return children

    def native_child(self, window_class, text=None):
        """The first visible native child of the class (and text); fails when there is none."""
        for child in self.native_children():
            if child["visible"] and child["class"] == window_class and \
                    (text is None or child["text"] == text):
                return child
        raise Failure(f"no visible {window_class} {text or ''} in the window")

    def click_child(self, child, offset=None):
        """Clicks a native child at its centre, or at an offset from its top left corner."""
        l, t, r, b = child["rect"]
        self.click(offset and (l + offset[0], t + offset[1]) or ((l + r) // 2, (t + b) // 2))

    def caret(self):
        """The caret of the window's thread: (owner hwnd, blinking), owner 0 when none."""
        answer = self.probe.ask("caret", self.hwnd)
        check(answer.ok, "no thread information for the window")
        return answer.int("caret"), answer.int("blinking") == 1


class SkinView:
    """A skin rendered by skinshot with attribute overrides: the expected look of one state of
    a window, and the rectangles of its controls (client coordinates)."""

    def __init__(self, image, controls):
        self.image = image
        self.controls = controls

    @classmethod
    def render(cls, session, skinshot, skin, markup, overrides=None):
        with tempfile.TemporaryDirectory(prefix="orvia-skinview-") as folder:
            png = Path(folder) / "view.png"
            args = [session.windows_path(skin), markup, session.windows_path(png), "--dump"]
            for name, value in (overrides or {}).items():
                args += ["--set", f"{name}={value}"]
            result = subprocess.run([session.loader, str(skinshot), *args], env=session.env,
                                    capture_output=True, timeout=120)
            if result.returncode != 0:
                raise RuntimeError("skinshot failed: " + result.stderr.decode("utf-8", "replace"))
            image = Image.open(png).convert("RGB")
            image.load()
        controls = {}
        for line in result.stdout.decode("utf-8").splitlines():
            parts = line.split()
            if len(parts) != 5:
                continue
            _, _, name, rect, visible = parts
            l, t, r, b = (int(v) for v in rect.split(","))
            if name != "-" and name not in controls:
                controls[name] = {"rect": (l, t, r, b), "visible": visible == "1"}
        return cls(image, controls)

    def rect(self, name):
        if name not in self.controls:
            raise KeyError(f"the skin has no control {name}")
        return self.controls[name]["rect"]

    def centre(self, name):
        l, t, r, b = self.rect(name)
        return (l + r) // 2, (t + b) // 2

    def crop(self, name):
        return self.image.crop(self.rect(name))

    def areas(self, names):
        """(name, rectangle) of each visible control of `names`, clipped to the view."""
        width, height = self.image.size
        areas = []
        for name in names:
            control = self.controls.get(name)
            if not control or not control["visible"]:
                continue
            l, t, r, b = control["rect"]
            box = (max(l, 0), max(t, 0), min(r, width), min(b, height))
            if box[0] < box[2] and box[1] < box[3]:
                areas.append((name, box))
        return areas


def changed_controls(state):
    """The controls a state sets, layouts left out: where one state's look differs from
    another's."""
    names = []
    for key in state:
        name = key.partition(".")[0]
        if not name.endswith("layout") and name not in names:
            names.append(name)
    return names


class SkinViews:
    """The views of one skin, each state (a dict of overrides) rendered once: views(state)."""

    def __init__(self, session, skinshot, skin, markup):
        self.session = session
        self.skinshot = skinshot
        self.skin = skin
        self.markup = markup
        self._views = {}

    def __call__(self, state):
        key = tuple(state.items())
        if key not in self._views:
            self._views[key] = SkinView.render(self.session, self.skinshot, self.skin,
                                               self.markup, state)
        return self._views[key]


class SkinnedRun:
    """A program running in the background whose window shows a skin: each state of the window
    is the view `views(state)` gives, which the window's screenshots must match and whose
    layout says where its controls are clicked. While the window is compared the pointer rests
    at `rest` (a screen point off the window)."""

    def __init__(self, probe, artifacts, exe, window_class, title, views, args=(), rest=(1, 1)):
        self.session = probe.session
        self.artifacts = artifacts
        self.views = views
        self.rest = rest
        self.program = Program.start(self.session, exe, args)
        self.window = Window.find(probe, window_class, title, program=self.program)

    def screenshot(self):
        return self.window.screenshot()

    def keep(self, name):
        return self.artifacts.keep(self.screenshot(), name)

    def expect(self, state, what, ignore=(), timeout=15.0, interval=0.2, exact=None):
        """Waits until the window looks like the skin in `state` and returns its view: the
        controls `exact` names (by default those the state sets) exactly, the rest loosely. On
        failure keeps both images and their difference as artifacts."""
        view = self.views(state)
        areas = view.areas(changed_controls(state) if exact is None else exact)
        self.session.park_pointer(self.rest)
        last = {}

        def looks_right():
            last["shot"] = self.screenshot()
            last["wrong"] = mismatches(last["shot"], view.image, ignore, areas)
            return not last["wrong"]

        try:
            wait_until(looks_right, what, timeout, interval=interval)
        except Failure:
            name = "mismatch-" + what.replace(" ", "-")
            self.artifacts.keep_mismatch(last["shot"], view.image, name)
            raise Failure(f"the window does not show {what}: {', '.join(last['wrong'])} "
                          f"(see artifacts {self.artifacts.prefix}-{name}-*.png)")
        return view

    def stays(self, state, what, ignore=(), exact=None):
        """After an action that must change nothing visible: the window keeps the look of
        `state` for a while."""
        view = self.expect(state, what, ignore, exact=exact)
        areas = view.areas(changed_controls(state) if exact is None else exact)
        deadline = time.monotonic() + QUIET_PERIOD
        while time.monotonic() < deadline:
            if mismatches(self.screenshot(), view.image, ignore, areas):
                self.artifacts.keep_mismatch(self.screenshot(), view.image,
                                             "changed-" + what.replace(" ", "-"))
                raise Failure(f"the window changed although {what}")
            time.sleep(0.2)

    def click(self, state, name):
        """Clicks the centre of control `name` as laid out in `state`."""
        view = self.views(state)
        check(view.controls[name]["visible"], f"{name} is not visible in that state")
        self.window.click(view.centre(name))

    def click_at(self, point):
        self.window.click(point)

    def click_to_end(self, state, name, timeout=DEFAULT_TIMEOUT):
        """Clicks control `name`, after which the program must end with exit code 0."""
        self.click(state, name)
        code = self.wait_exit(timeout)
        check(code == 0, f"the exit code after {name} is {code}")

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        return self.program.wait(timeout)

    def kill(self):
        self.program.kill()


def difference(actual, expected, ignore=(), box=None):
    """Share of pixels differing by more than the channel tolerance, leaving out the ignored
    rectangles (left, top, right, bottom), over the whole images or the rectangle `box`; 1 for
    images of other sizes."""
    if actual.size != expected.size:
        return 1.0
    actual, expected = actual.convert("RGB"), expected.convert("RGB")
    if ignore:
        actual, expected = actual.copy(), expected.copy()
        for ignored in ignore:
            actual.paste((0, 0, 0), ignored)
            expected.paste((0, 0, 0), ignored)
    if box:
        actual, expected = actual.crop(box), expected.crop(box)
    diff = ImageChops.difference(actual, expected)
    channels = [band.point(lambda v: 255 if v > CHANNEL_TOLERANCE else 0) for band in diff.split()]
    mask = ImageChops.lighter(ImageChops.lighter(channels[0], channels[1]), channels[2])
    return mask.histogram()[255] / float(actual.size[0] * actual.size[1])


def matches(actual, expected, ignore=(), share=MAX_DIFFERENT_SHARE):
    return difference(actual, expected, ignore) <= share


def mismatches(actual, expected, ignore=(), areas=()):
    """What keeps `actual` from matching `expected`: the whole beyond the loose share, each
    (name, rectangle) of `areas` beyond the exact one. Empty when it matches."""
    wrong = []
    share = difference(actual, expected, ignore)
    if share > MAX_DIFFERENT_SHARE:
        wrong.append(f"{share:.1%} of the window's pixels differ")
    for name, box in areas:
        share = difference(actual, expected, ignore, box)
        if share > EXACT_SHARE:
            wrong.append(f"{share:.1%} of {name}'s pixels differ")
    return wrong


class Artifacts:
    """PNG files kept for a person to look at, in build/<tree>/artifacts/<prefix>-<name>.png."""

    def __init__(self, folder, prefix):
        self.folder = Path(folder)
        self.prefix = prefix
        self.folder.mkdir(parents=True, exist_ok=True)

    def keep(self, image, name):
        path = self.folder / f"{self.prefix}-{name}.png"
        image.save(path)
        return path

    def keep_mismatch(self, actual, expected, name):
        """Both images and their difference, for a failed comparison."""
        self.keep(actual, name + "-actual")
        self.keep(expected, name + "-expected")
        if actual.size == expected.size:
            self.keep(ImageChops.difference(actual, expected), name + "-difference")


class Report:
    """Test cases and their outcomes, written as a JUnit-style XML report whose root carries
    the totals tools/test.sh adds up."""

    def __init__(self, name, path=None):
        """With a path, the report is rewritten there after every case, so that a run killed
        from outside still leaves the cases it finished."""
        self.name = name
        self.path = path
        self.cases = []
        self.started = time.monotonic()

    @contextmanager
    def case(self, name):
        started = time.monotonic()
        entry = {"name": name, "outcome": "passed", "message": "", "detail": ""}
        self.cases.append(entry)
        try:
            yield
        except Failure as failure:
            entry.update(outcome="failure", message=str(failure), detail=traceback.format_exc())
        except Exception as error:  # a harness or environment problem, not a product failure
            entry.update(outcome="error", message=f"{type(error).__name__}: {error}",
                         detail=traceback.format_exc())
        entry["time"] = time.monotonic() - started
        print(f"[{entry['outcome']:>7}] {name} ({entry['time']:.1f} s)"
              + (f": {entry['message']}" if entry["message"] else ""), flush=True)
        if self.path:
            self.write(self.path)

    @property
    def failed(self):
        return sum(1 for c in self.cases if c["outcome"] != "passed")

    def run(self, scenarios, only=None, *arguments):
        """Runs each scenario (name, function) whose name holds `only` as a case, calling the
        function with `arguments`."""
        for name, scenario in scenarios:
            if only and only not in name:
                continue
            with self.case(name):
                scenario(*arguments)

    def write(self, path=None):
        path = path or self.path
        failures = sum(1 for c in self.cases if c["outcome"] == "failure")
        errors = sum(1 for c in self.cases if c["outcome"] == "error")
        totals = {"tests": str(len(self.cases)), "failures": str(failures),
                  "errors": str(errors), "disabled": "0",
                  "time": f"{time.monotonic() - self.started:.3f}", "name": self.name}
        root = ET.Element("testsuites", totals)
        suite = ET.SubElement(root, "testsuite", totals)
        for case in self.cases:
            element = ET.SubElement(suite, "testcase", {"name": case["name"], "classname": self.name,
                                                        "time": f"{case['time']:.3f}"})
            if case["outcome"] != "passed":
                child = ET.SubElement(element, case["outcome"], {"message": case["message"]})
                child.text = case["detail"]
        Path(path).parent.mkdir(parents=True, exist_ok=True)
        ET.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)


def scenario_main(name, scenarios, make_env, finish):
    """The command line of a scenario script: --build BUILD_TREE --source SOURCE_DIR
    [--only TEXT]. Runs the scenarios (name, function of the environment) whose name holds TEXT
    as the cases of the report BUILD_TREE/test-results/<name>.xml, with the environment
    make_env(build, source) gives and finish(environment) after them, whatever happened.
    Returns the exit status: 1 when a case did not pass."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the build tree (build/win64)")
    parser.add_argument("--source", required=True, help="the source folder")
    parser.add_argument("--only", help="run only scenarios whose name contains this text")
    args = parser.parse_args()

    report = Report(name, Path(args.build) / "test-results" / f"{name}.xml")
    env = make_env(args.build, args.source)
    try:
        report.run(scenarios, args.only, env)
    finally:
        finish(env)
        report.write()
    return 1 if report.failed else 0
