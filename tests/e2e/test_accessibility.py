#!/usr/bin/python3
"""End-to-end tests of what a person who cannot see the screen or use a pointer meets: the
installer and the uninstaller read through Active Accessibility (Wine's oleacc), worked through
accDoDefaultAction alone and through the keyboard alone (xdotool keys, the pointer parked).

    test_accessibility.py --build BUILD_TREE --source SOURCE_DIR [--only TEXT]

Needs the Wine session of BUILD_TREE. Writes BUILD_TREE/test-results/accessibility_e2e.xml and
keeps, per program, the names and roles of every page in BUILD_TREE/artifacts/.
"""

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from orvia_e2e import Probe, Program, Window, check, scenario_main, wait_until  # noqa: E402
from installer_flow import USER_PRODUCT_KEY, WINDOW_CLASS, WINDOW_TITLE  # noqa: E402
from uninstaller_flow import UninstallerEnv, remaining_files  # noqa: E402
from uninstaller_flow import WINDOW_CLASS as UNINSTALL_CLASS  # noqa: E402
from uninstaller_flow import WINDOW_TITLE as UNINSTALL_TITLE  # noqa: E402

ROLE_CLIENT, ROLE_LINK, ROLE_STATIC, ROLE_TEXT = 10, 30, 41, 42
ROLE_BUTTON, ROLE_CHECK, ROLE_RADIO, ROLE_PROGRESS = 43, 44, 45, 48
UNAVAILABLE, FOCUSED, CHECKED, READONLY = 0x1, 0x4, 0x10, 0x40
INVISIBLE, FOCUSABLE, LINKED = 0x8000, 0x100000, 0x400000
EVENT_SHOW, EVENT_HIDE, EVENT_FOCUS = 0x8002, 0x8003, 0x8005
EVENT_STATE, EVENT_NAME, EVENT_VALUE = 0x800A, 0x800C, 0x800E

# Keys as xdotool names them; a short pause lets the window take each one in order.
KEY_PAUSE = 0.3
# Wine delivers out-of-context WinEvents synchronously: while the program waits in
# NotifyWinEvent for the probe's hook, it answers the probe's other calls, so a reading may see
# a page half switched. On Windows the events are queued and the program never waits.
SETTLE = 0.3


class AccessibleTree:
    """One reading of a window's client object: the object itself and its children."""

    def __init__(self, answer):
        self.self_name = answer["self.name"]
        self.self_role = answer.int("self.role")
        self.children_count = answer.int("children")
        self.items = []
        for i in range(1, answer.int("count") + 1):
            p = f"{i}."
            self.items.append({
                "id": i, "name": answer[p + "name"], "role": answer.int(p + "role"),
                "roletext": answer[p + "roletext"], "state": answer.int(p + "state"),
                "value": answer[p + "value"], "action": answer[p + "action"],
                "rect": (answer.int(p + "x"), answer.int(p + "y"), answer.int(p + "w"),
                         answer.int(p + "h"))})

    def shown(self):
        return [item for item in self.items if not item["state"] & INVISIBLE]

    def find(self, name, role=None, shown=True):
        for item in self.items:
            if item["name"] == name and (role is None or item["role"] == role) and \
                    (not shown or not item["state"] & INVISIBLE):
                return item
        return None

    def get(self, name, role=None):
        item = self.find(name, role)
        check(item is not None, f"no shown control named {name!r} (role {role}); shown: "
              f"{[(i['name'], i['roletext']) for i in self.shown()]}")
        return item

    def table(self):
        return [(item["name"], f"{item['roletext']} ({item['role']})") for item in self.shown()]


class Reader:
    """A screen reader's view of one window, through the accessibility probe."""

    def __init__(self, probe, window):
        self.probe = probe
        self.window = window

    def tree(self):
        answer = self.probe.ask("tree", self.window.hwnd)
        check(answer.ok, f"no accessible tree: {answer.get('why')}")
        return AccessibleTree(answer)

    def wait(self, predicate, what, timeout=30.0):
        """Waits until predicate(tree) holds in two readings a moment apart (under Wine a
        reading can come while the program is between two changes, see SETTLE); returns the
        second tree."""
        found = {}

        def look():
            if not predicate(self.tree()):
                return False
            time.sleep(SETTLE)
            found["tree"] = self.tree()
            return predicate(found["tree"])

        wait_until(look, what, timeout, interval=0.2)
        return found["tree"]

    def act(self, name, role=None):
        item = self.tree().get(name, role)
        answer = self.probe.ask("act", self.window.hwnd, item["id"])
        check(answer.ok and answer["hr"] == "00000000",
              f"accDoDefaultAction on {name} failed: {answer.get('hr') or answer.get('why')}")

    def focus_name(self):
        answer = self.probe.ask("focus", self.window.hwnd)
        if not answer.ok or answer.int("id") <= 0:
            return None
        return self.tree().items[answer.int("id") - 1]["name"]

    def events(self):
        answer = self.probe.ask("events")
        return [(answer.int(f"{i}.event"), answer[f"{i}.name"])
                for i in range(answer.int("count"))]


class AccessEnv(UninstallerEnv):
    def __init__(self, build, source):
        super().__init__(build, source, "access")
        self.accprobe = Probe(self.session, self.build / "tests" / "e2e" / "accprobe.exe")
        self.tables = {}

    def leave(self):
        self.accprobe.close()
        lines = []
        for program, pages in self.tables.items():
            lines.append(f"# {program}\n\n| page | name | role (Wine's text, ROLE_SYSTEM_ number) |"
                         "\n|---|---|---|")
            for page, rows in pages:
                lines += [f"| {page} | {name} | {role} |" for name, role in rows]
            lines.append("")
        (self.artifacts.folder / "access-names-and-roles.md").write_text("\n".join(lines) + "\n")
        super().leave()

    def record(self, program, page, tree):
        self.tables.setdefault(program, []).append((page, tree.table()))

    def open(self, exe, window_class, title):
        program = Program.start(self.session, exe)
        window = Window.find(self.probe, window_class, title, program=program)
        self.session.park_pointer((1, 1))
        return program, Reader(self.accprobe, window)


def expect_items(tree, expected, page):
    """Each (name, role, set flags, clear flags) is a shown control of the tree."""
    for name, role, on, off in expected:
        item = tree.get(name, role)
        check(item["state"] & on == on,
              f"{page}: {name} lacks state {on:#x} (has {item['state']:#x})")
        check(item["state"] & off == 0,
              f"{page}: {name} has state {item['state'] & off:#x}")


def saw(events, event, name):
    return any(e == event and n == name for e, n in events)


def edition_page_checks(tree):
    check(tree.self_role == ROLE_CLIENT and tree.self_name == WINDOW_TITLE,
          f"the client object is {tree.self_name!r} role {tree.self_role}")
    check(tree.children_count == len(tree.items),
          f"AccessibleChildren gives {tree.children_count} children, the count is "
          f"{len(tree.items)}")
    expect_items(tree, [
        ("关闭", ROLE_BUTTON, FOCUSABLE, UNAVAILABLE),
        ("准备安装", ROLE_STATIC, READONLY, FOCUSABLE),
        ("版本选择", ROLE_STATIC, READONLY, 0),
        ("简体中文", ROLE_RADIO, CHECKED | FOCUSABLE, 0),
        ("繁體中文", ROLE_RADIO, 0, CHECKED),
        ("下一步", ROLE_BUTTON, FOCUSABLE, UNAVAILABLE),
        ("取消安装", ROLE_BUTTON, FOCUSABLE, UNAVAILABLE),
    ], "the edition page")
    check(tree.find("Tamro多人视频", ROLE_STATIC), "the product name is not read")
    check(not tree.find("极速安装"), "a control of a hidden page is shown")
    for item in tree.shown():
        check(item["name"], f"a shown control without a name: {item}")
        l, t, w, h = item["rect"]
        check(w > 0 and h > 0, f"{item['name']} has no location")


def install_by_default_actions(env):
    folder = env.default_folder
    env.clean([folder])
    program, reader = env.open(env.build / "installer" / "OrvInstallSlow.exe", WINDOW_CLASS,
                               WINDOW_TITLE)
    try:
        check(env.accprobe.ask("watch", reader.window.pid).ok, "no WinEvent hook")
        tree = reader.wait(lambda t: t.find("下一步"), "the edition page")
        edition_page_checks(tree)
        env.record("OrvInstall", "edition", tree)
        check(reader.focus_name() == "简体中文",
              f"the focus starts on {reader.focus_name()!r}, not the page's first control")

        reader.act("繁體中文", ROLE_RADIO)
        tree = reader.wait(lambda t: t.get("繁體中文")["state"] & CHECKED, "繁體中文 checked")
        check(not tree.get("简体中文")["state"] & CHECKED, "both editions are checked")
        reader.events()

        reader.act("下一步")
        tree = reader.wait(lambda t: t.find("极速安装"), "the fast install page")
        expect_items(tree, [
            ("极速安装", ROLE_BUTTON, FOCUSABLE, UNAVAILABLE),
            ("我已阅读并同意", ROLE_CHECK, CHECKED | FOCUSABLE, 0),
            ("安装许可协议", ROLE_LINK, LINKED | FOCUSABLE, 0),
            ("自定义安装", ROLE_BUTTON, FOCUSABLE, 0),
            ("关闭", ROLE_BUTTON, 0, 0),
        ], "the fast install page")
        check(not tree.find("下一步"), "the edition page's button is still shown")
        env.record("OrvInstall", "fast install", tree)
        events = wait_until(lambda: (lambda e: e if saw(e, EVENT_SHOW, "极速安装") else None)(
            reader.events()), "EVENT_OBJECT_SHOW for 极速安装", timeout=10)
        check(saw(events, EVENT_HIDE, "下一步"), f"no EVENT_OBJECT_HIDE for 下一步: {events}")
        check(saw(events, EVENT_FOCUS, "极速安装"), f"no EVENT_OBJECT_FOCUS for 极速安装: {events}")
        check(reader.focus_name() == "极速安装", "the page switch left the focus elsewhere")

        reader.act("我已阅读并同意")
        tree = reader.wait(lambda t: not t.get("我已阅读并同意")["state"] & CHECKED,
                           "the licence box cleared")
        check(tree.get("极速安装")["state"] & UNAVAILABLE, "极速安装 is enabled without the box")
        start = tree.find("开始安装", shown=False)
        check(start and start["state"] & UNAVAILABLE, "开始安装 is enabled without the box")
        events = reader.events()
        check(saw(events, EVENT_STATE, "我已阅读并同意") and saw(events, EVENT_STATE, "极速安装"),
              f"no EVENT_OBJECT_STATECHANGE for the box and the button: {events}")
        check(reader.probe.ask("act", reader.window.hwnd, tree.get("极速安装")["id"])["hr"] ==
              "80020003", "a disabled button accepts its default action")
        reader.act("我已阅读并同意")
        reader.wait(lambda t: not t.get("极速安装")["state"] & UNAVAILABLE,
                    "极速安装 enabled again")

        reader.act("安装许可协议", ROLE_LINK)
        tree = reader.wait(lambda t: t.find("许可协议", ROLE_TEXT), "the licence page")
        licence = tree.get("许可协议", ROLE_TEXT)
        check(licence["state"] & READONLY, "the licence text is editable")
        check(len(licence["value"]) > 100, "the licence text cannot be read")
        check(not tree.find("极速安装"), "the fast install button shows over the licence")
        env.record("OrvInstall", "licence", tree)
        reader.act("关闭")
        reader.wait(lambda t: t.find("极速安装") and not t.find("许可协议", ROLE_TEXT),
                    "the licence page closed")

        reader.act("自定义安装")
        tree = reader.wait(lambda t: t.find("开始安装"), "the custom install page")
        path = tree.get("选择安装位置", ROLE_TEXT)
        check(path["value"] == folder, f"the folder field reads {path['value']!r}")
        check(path["state"] & READONLY, "the folder field is not read-only")
        expect_items(tree, [("浏览", ROLE_BUTTON, FOCUSABLE, 0),
                            ("返回默认安装", ROLE_BUTTON, FOCUSABLE, 0)], "the custom page")
        env.record("OrvInstall", "custom install", tree)
        reader.act("返回默认安装")
        reader.wait(lambda t: t.find("极速安装"), "back on the fast install page")

        reader.act("极速安装")
        tree = reader.wait(lambda t: t.find("安装进度", ROLE_PROGRESS), "the progress page")
        check(not tree.find("关闭"), "the close button shows during the install")
        env.record("OrvInstall", "progress", tree)
        values = set()

        def finished(t):
            bar = t.find("安装进度", ROLE_PROGRESS)
            if bar:
                values.add(bar["value"])
            return t.find("开始体验") and not bar

        tree = reader.wait(finished, "the finish page", timeout=120)
        between = [v for v in values if v.endswith("%") and 0 < int(v[:-1]) < 100]
        check(between, f"the progress bar's value was never read between 0 and 100: {values}")
        events = reader.events()
        check(saw(events, EVENT_VALUE, "安装进度"), "no EVENT_OBJECT_VALUECHANGE for the bar")
        print(f"  progress values read: {sorted(values, key=lambda v: int(v[:-1]))[:8]}...",
              flush=True)
        expect_items(tree, [
            ("完成安装", ROLE_STATIC, 0, 0),
            ("立即运行", ROLE_CHECK, CHECKED, 0),
            ("开机自动启动", ROLE_CHECK, CHECKED, 0),
            ("显示新特性", ROLE_CHECK, CHECKED, 0),
            ("开始体验", ROLE_BUTTON, FOCUSABLE, 0),
            ("关闭", ROLE_BUTTON, 0, 0),
        ], "the finish page")
        env.record("OrvInstall", "finish", tree)
        reader.act("立即运行")
        reader.wait(lambda t: not t.get("立即运行")["state"] & CHECKED, "立即运行 cleared")
        reader.act("开始体验")
        code = program.wait()
        check(code == 0, f"the exit code after 开始体验 is {code}")
    finally:
        program.kill()
    check(env.probe.registry("HKCU", USER_PRODUCT_KEY, "locale") == ("REG_SZ", "hant"),
          "the Traditional edition was not installed")
    check(env.probe.registry("HKCU", USER_PRODUCT_KEY, "InstallDir") == ("REG_SZ", folder),
          "the install was not registered")


def give_keyboard_focus(env, title):
    """The X input focus onto the program's window. On Windows the window shown last has the
    keyboard; on the test display no window manager hands out the focus, so X gives the keys to
    the window under the pointer, which is parked off every window."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                           env=env.session.env, capture_output=True, text=True).stdout.split()
    check(found, f"no X window titled {title}")
    env.session.xdotool("windowfocus", "--sync", found[-1])


def keys(reader, *names):
    for name in names:
        reader.window.key(name)
        time.sleep(KEY_PAUSE)


def install_by_keyboard(env):
    folder = env.default_folder
    env.clean([folder])
    program, reader = env.open(env.installer, WINDOW_CLASS, WINDOW_TITLE)
    try:
        reader.wait(lambda t: t.find("下一步"), "the edition page")
        give_keyboard_focus(env, WINDOW_TITLE)
        check(reader.focus_name() == "简体中文", "the focus does not start on the edition")
        keys(reader, "Right")
        reader.wait(lambda t: t.get("繁體中文")["state"] & CHECKED, "繁體中文 chosen by Right")
        check(reader.focus_name() == "繁體中文", "the focus did not follow the arrow")
        keys(reader, "Tab")
        check(reader.focus_name() == "下一步", f"Tab went to {reader.focus_name()!r}")
        keys(reader, "Return")
        reader.wait(lambda t: t.find("极速安装"), "the fast install page by Enter")
        check(reader.focus_name() == "极速安装", f"the page starts at {reader.focus_name()!r}")
        keys(reader, "Tab", "Tab")
        check(reader.focus_name() == "安装许可协议", f"Tab Tab went to {reader.focus_name()!r}")
        keys(reader, "space")
        reader.wait(lambda t: t.find("许可协议", ROLE_TEXT), "the licence page by Space")
        env.artifacts.keep(reader.window.screenshot(), "keyboard-licence")
        keys(reader, "Escape")
        reader.wait(lambda t: t.find("极速安装") and not t.find("许可协议", ROLE_TEXT),
                    "the licence page closed by Escape")
        check(program.running, "Escape on the licence page ended the installer")
        check(reader.focus_name() == "极速安装", f"back at {reader.focus_name()!r}")
        env.artifacts.keep(reader.window.screenshot(), "keyboard-focus-mark")
        keys(reader, "Return")
        reader.wait(lambda t: t.find("开始体验") and not t.find("安装进度"), "the finish page",
                    timeout=120)
        check(reader.focus_name() == "立即运行", f"the finish page starts at "
              f"{reader.focus_name()!r}")
        keys(reader, "space")
        reader.wait(lambda t: not t.get("立即运行")["state"] & CHECKED, "立即运行 cleared by Space")
        keys(reader, "Tab", "Tab", "Tab")
        check(reader.focus_name() == "开始体验", f"Tab went to {reader.focus_name()!r}")
        keys(reader, "Return")
        code = program.wait()
        check(code == 0, f"the exit code after Enter on 开始体验 is {code}")
    finally:
        program.kill()
    check(env.probe.registry("HKCU", USER_PRODUCT_KEY, "locale") == ("REG_SZ", "hant"),
          "the Traditional edition was not installed")
    check(env.session.linux_path(folder + r"\tamro\tamro.exe").is_file(),
          "the client was not installed")


def uninstaller_ready_checks(tree):
    check(tree.self_name == UNINSTALL_TITLE, f"the client object is {tree.self_name!r}")
    expect_items(tree, [("IMKwee卸载程序", ROLE_STATIC, READONLY, 0),
                        ("关闭", ROLE_BUTTON, FOCUSABLE, 0),
                        ("一键卸载", ROLE_BUTTON, FOCUSABLE, UNAVAILABLE)], "the ready window")
    check(len(tree.shown()) == 3, f"unnamed or extra controls are read: {tree.table()}")


def uninstall_by_default_actions(env):
    folder = env.install_demo()
    root = env.session.linux_path(folder)
    program, reader = env.open(folder + r"\tamro\uninstall.exe", UNINSTALL_CLASS, UNINSTALL_TITLE)
    try:
        tree = reader.wait(lambda t: t.find("一键卸载"), "the ready window")
        uninstaller_ready_checks(tree)
        env.record("OrvUnInstall", "ready", tree)
        check(reader.focus_name() == "一键卸载", f"the focus starts at {reader.focus_name()!r}")
        reader.act("一键卸载")
        tree = reader.wait(lambda t: t.find("卸载进度", ROLE_PROGRESS), "the removal")
        check(not tree.find("一键卸载"), "the button shows under the bar")
        env.record("OrvUnInstall", "removing", tree)
        tree = reader.wait(lambda t: t.find("卸载完成", ROLE_BUTTON), "the finished window", 60)
        check(tree.find("卸载完成", ROLE_STATIC), "the title does not say 卸载完成")
        env.record("OrvUnInstall", "finished", tree)
        check(remaining_files(env, folder) == ["tamro/uninstall.exe"],
              "the removal left more than uninstall.exe")
        reader.act("卸载完成", ROLE_BUTTON)
        code = program.wait()
        check(code == 0, f"the exit code after the second default action is {code}")
    finally:
        program.kill()
    wait_until(lambda: not root.exists(), "the install folder to go", timeout=30)
    check(not env.uninstall_entry(), "the uninstall entry is still there")


def uninstall_by_keyboard(env):
    folder = env.install_demo()
    root = env.session.linux_path(folder)
    program, reader = env.open(folder + r"\tamro\uninstall.exe", UNINSTALL_CLASS, UNINSTALL_TITLE)
    try:
        reader.wait(lambda t: t.find("一键卸载"), "the ready window")
        give_keyboard_focus(env, UNINSTALL_TITLE)
        check(reader.focus_name() == "一键卸载", f"the focus starts at {reader.focus_name()!r}")
        keys(reader, "Return")
        reader.wait(lambda t: t.find("卸载完成", ROLE_BUTTON), "the finished window", 60)
        # The button was hidden under the bar, which took the focus away; it comes back with
        # the button.
        wait_until(lambda: reader.focus_name() == "卸载完成", "the focus on 卸载完成", timeout=10)
        keys(reader, "Return")
        code = program.wait()
        check(code == 0, f"the exit code after Enter on 卸载完成 is {code}")
    finally:
        program.kill()
    wait_until(lambda: not root.exists(), "the install folder to go", timeout=30)


def escape_closes_the_uninstaller(env):
    folder = env.install_demo()
    program, reader = env.open(folder + r"\tamro\uninstall.exe", UNINSTALL_CLASS, UNINSTALL_TITLE)
    try:
        reader.wait(lambda t: t.find("一键卸载"), "the ready window")
        check(env.accprobe.ask("hold", reader.window.hwnd).ok, "no object to hold")
        give_keyboard_focus(env, UNINSTALL_TITLE)
        keys(reader, "Escape")
        code = program.wait()
        check(code == 0, f"the exit code after Escape is {code}")
    finally:
        program.kill()
    check(env.uninstall_entry(), "Escape removed the installation")
    # A reader that kept the window's object gets failures, not a crash, once it is gone.
    held = env.accprobe.ask("held")
    check(held.ok and held["count.hr"] != "00000000" and held["name.hr"] != "00000000",
          f"calls on the object of a closed window succeed: {held}")
    print(f"  after the window: get_accChildCount {held['count.hr']}, "
          f"get_accName {held['name.hr']}", flush=True)


SCENARIOS = [
    ("the installer's pages read and worked through accDoDefaultAction alone, with events",
     install_by_default_actions),
    ("the installer by keyboard: arrows choose 繁體中文, the licence opened and left with "
     "Escape, Enter finishes", install_by_keyboard),
    ("the uninstaller read and worked through accDoDefaultAction alone",
     uninstall_by_default_actions),
    ("the uninstaller by keyboard: Enter removes, Enter again finishes", uninstall_by_keyboard),
    ("Escape closes the uninstaller; a kept object fails cleanly", escape_closes_the_uninstaller),
]


if __name__ == "__main__":
    sys.exit(scenario_main("accessibility_e2e", SCENARIOS, AccessEnv, AccessEnv.leave))
