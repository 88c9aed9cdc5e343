"""The uninstaller's states and steps for the end-to-end tests and the demo walk.

A window state is a set of skinshot overrides on the uninstall skin: rendered, it is the look
the real window must have in that state, and its dump gives the controls' rectangles to click.
The demo client is installed with the real installer first, clicked through like a person.
"""

import time

from orvia_e2e import (Failure, Program, SkinView, Window, check, difference, matches,
                       wait_until, MAX_DIFFERENT_SHARE)
from installer_flow import (MACHINE_PRODUCT_KEY, RUN_KEY, UNINSTALL_KEY, USER_PRODUCT_KEY,
                            InstallerEnv, edition_page, fast_page, finish_page, installed_files)

WINDOW_CLASS = "KweeUnInstall"
WINDOW_TITLE = "卸载程序"
MARKUP = "UnInstallDailog.xml"
REFUSAL_COLOUR = "#FFD0453C"

# The progress bar at its widest, where the removal runs.
WIDE_BAR = "22,166,582,216"
# A point that the bar covers only once it is fully widened.
WIDE_BAR_LEFT_END = (30, 231)
# Where the pointer rests while the window is compared: off the window, which sits at 0,0.
POINTER_REST = (300, 450)

READY = {}
FINISHED = {"titletext.text": "卸载完成", "staruninstallbtn.text": "卸载完成"}
REFUSED_NOT_INSTALLED = {"titletext.text": "无法卸载：本程序不在Tamro的安装文件夹中",
                         "titletext.textcolor": REFUSAL_COLOUR, "staruninstallbtn.text": "关闭"}
REFUSED_PROTECTED = dict(REFUSED_NOT_INSTALLED, **{
    "titletext.text": "无法卸载：安装位置是系统或用户文件夹"})


def removing(percent):
    """The widened bar during the removal."""
    return {"titletext.text": "正在卸载", "staruninstallbtn.visible": "false",
            "uninstallprogress.visible": "true", "uninstallprogress.pos": WIDE_BAR,
            "uninstallprogress.width": "560", "uninstallprogress.value": str(percent),
            "uninstallprogress.text": f"已卸载{percent}%"}


class UninstallerEnv(InstallerEnv):
    """The installer's environment plus the uninstaller's skin, for installing the demo client
    and taking it off again."""

    def __init__(self, build, source, artifact_prefix="uninstall", session=None):
        super().__init__(build, source, artifact_prefix, session)
        self.uninstall_skin = self.build / "uninstaller" / "uninstall_skin.zip"
        self._uninstall_views = {}

    def uninstall_view(self, state):
        key = tuple(state.items())
        if key not in self._uninstall_views:
            self._uninstall_views[key] = SkinView.render(self.session, self.skinshot,
                                                         self.uninstall_skin, MARKUP, state)
        return self._uninstall_views[key]

    def install_demo(self, folder=None):
        """Installs the demo client into the default folder with the real installer: fast
        install, the client not started at the finish, the logon value kept."""
        folder = folder or self.default_folder
        self.clean([folder])
        run = self.start()
        try:
            run.expect(edition_page(folder), "the installer's first page")
            run.click(edition_page(folder), "nextbtn")
            run.expect(fast_page(folder), "the fast install page")
            run.click(fast_page(folder), "fastbtn")
            run.expect(finish_page(folder), "the finish page", timeout=60)
            run.click(finish_page(folder), "bootstartbtn")
            no_start = finish_page(folder, boot_start=False)
            run.expect(no_start, "bootstartbtn cleared")
            run.click(no_start, "installfinish")
            code = run.wait_exit()
            check(code == 0, f"the installer ended with {code}")
        finally:
            run.kill()
        return folder

    def start_uninstaller(self, exe):
        return UninstallerWindow(self, exe)

    def product_keys_and_logon_value(self, folder):
        client = folder + r"\tamro\tamro.exe"
        return (self.probe.registry("HKLM", MACHINE_PRODUCT_KEY, "InstallDir") == ("REG_SZ", folder)
                and self.probe.registry("HKLM", MACHINE_PRODUCT_KEY, "AppName") ==
                ("REG_SZ", client)
                and self.probe.registry("HKCU", USER_PRODUCT_KEY, "InstallDir") ==
                ("REG_SZ", folder)
                and self.probe.registry("HKCU", USER_PRODUCT_KEY, "locale") is not None
                and self.probe.registry("HKLM", RUN_KEY, "tamro") == ("REG_SZ", client))

    def shortcuts(self):
        """The shortcut files (and the Programs sub folder) that exist."""
        paths = (self.desktop_shortcut(), self.programs_shortcut(), self.programs + r"\Tamro")
        return [p for p in paths if self.session.linux_path(p).exists()]

    def uninstall_entry(self):
        return self.probe.key_exists("HKLM", UNINSTALL_KEY)


class UninstallerWindow:
    """One running uninstaller and its window."""

    def __init__(self, env, exe):
        self.env = env
        self.session = env.session
        self.program = Program.start(env.session, exe)
        self.window = Window.find(env.probe, WINDOW_CLASS, WINDOW_TITLE, program=self.program)

    def screenshot(self):
        return self.window.screenshot()

    def keep(self, name):
        return self.env.artifacts.keep(self.screenshot(), name)

    def expect(self, state, what, ignore=(), timeout=15.0, interval=0.2):
        """Waits until the window looks like the skin in `state`; on failure keeps both images
        and their difference as artifacts."""
        view = self.env.uninstall_view(state)
        self.session.xdotool("mousemove", "--sync", *POINTER_REST)
        last = {}

        def looks_right():
            last["shot"] = self.screenshot()
            last["share"] = difference(last["shot"], view.image, ignore)
            return last["share"] <= MAX_DIFFERENT_SHARE

        try:
            wait_until(looks_right, what, timeout, interval=interval)
        except Failure:
            name = "mismatch-" + what.replace(" ", "-")
            self.env.artifacts.keep_mismatch(last["shot"], view.image, name)
            raise Failure(f"the window does not show {what}: {last['share']:.1%} of the pixels "
                          f"differ (see artifacts {self.env.artifacts.prefix}-{name}-*.png)")
        return last["shot"]

    def click(self, state, name):
        view = self.env.uninstall_view(state)
        check(view.controls[name]["visible"], f"{name} is not visible in that state")
        self.window.click(view.centre(name))

    def remove_with_first_click(self):
        """The first click: the bar widens over the button, the removal runs, the bar narrows
        back and the button reads 卸载完成. Returns the screenshot caught while removing (or
        None when the removal was over before one could be taken) and the finished one."""
        wide = self.env.uninstall_view(removing(0))
        # Widened but not yet removing: the bar still shows its skin text.
        widened = self.env.uninstall_view(dict(removing(0), **{
            "uninstallprogress.text": "正在卸载"}))
        finished = self.env.uninstall_view(FINISHED)
        bar = wide.rect("uninstallprogress")
        self.click(READY, "staruninstallbtn")
        self.session.xdotool("mousemove", "--sync", *POINTER_REST)
        caught = []

        def done():
            shot = self.screenshot()
            if (not caught and matches(shot, wide.image, ignore=[bar]) and
                    shot.getpixel(WIDE_BAR_LEFT_END) != (255, 255, 255) and
                    not matches(shot.crop(bar), widened.image.crop(bar))):
                caught.append(shot)
            return matches(shot, finished.image)

        started = time.monotonic()
        wait_until(done, "the finished look", timeout=60, interval=0.02)
        return (caught[0] if caught else None), self.screenshot(), time.monotonic() - started

    def wait_exit(self, timeout=30.0):
        return self.program.wait(timeout)

    def kill(self):
        self.program.kill()


def remaining_files(env, folder):
    root = env.session.linux_path(folder)
    return installed_files(root) if root.is_dir() else []
