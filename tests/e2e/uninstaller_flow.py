"""The uninstaller's states and steps for the end-to-end tests and the demo walk.

A window state is a set of skinshot overrides on the uninstall skin: rendered, it is the look
the real window must have in that state, and its dump gives the controls' rectangles to click.
The demo client is installed with the real installer first, clicked through like a person.
"""

import time

from orvia_e2e import SkinnedRun, SkinViews, matches, wait_until
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
        self.uninstall_view = SkinViews(self.session, self.skinshot, self.uninstall_skin, MARKUP)

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
            run.click_to_end(no_start, "installfinish")
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


class UninstallerWindow(SkinnedRun):
    """One running uninstaller and its window."""

    def __init__(self, env, exe):
        super().__init__(env.probe, env.artifacts, exe, WINDOW_CLASS, WINDOW_TITLE,
                         env.uninstall_view, rest=POINTER_REST)

    def remove_with_first_click(self):
        """The first click: the bar widens over the button, the removal runs, the bar narrows
        back and the button reads 卸载完成. Returns the screenshot caught while removing (or
        None when the removal was over before one could be taken) and the finished one."""
        wide = self.views(removing(0))
        # Widened but not yet removing: the bar still shows its skin text.
        widened = self.views(dict(removing(0), **{
            "uninstallprogress.text": "正在卸载"}))
        finished = self.views(FINISHED)
        bar = wide.rect("uninstallprogress")
        self.click(READY, "staruninstallbtn")
        self.session.park_pointer(POINTER_REST)
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


def remaining_files(env, folder):
    root = env.session.linux_path(folder)
    return installed_files(root) if root.is_dir() else []
