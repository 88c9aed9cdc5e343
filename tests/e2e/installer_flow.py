"""The installer's pages and steps for the end-to-end tests and the demo walk.

A page state is a set of skinshot overrides on the install skin: rendered, it is the look the
real window must have in that state, and its dump gives the controls' rectangles to click.
"""

import shutil
from pathlib import Path

from orvia_e2e import Artifacts, Probe, Session, SkinnedRun, SkinViews

WINDOW_CLASS = "OrviaInstall"
WINDOW_TITLE = "安装程序"
MARKUP = "InstallDailog.xml"
PRODUCT_NAME = "Tamro多人视频"

DESKTOP = 0x0010
COMMON_PROGRAMS = 0x0017
PROGRAM_FILES = 0x0026

MACHINE_PRODUCT_KEY = r"Software\Tolma\tamr"
USER_PRODUCT_KEY = r"Software\Tolma\orvia\tamr"
RECORDED_DIR_KEY = r"Software\Tolma\tamr"
COMPANY_KEY = r"Software\Tolma"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\tamro"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"


def edition_page(folder, hant=False):
    state = {"installname.text": PRODUCT_NAME, "pathedit.text": folder,
             "protcheckbtn.selected": "true", "fastbtn.enabled": "true",
             "starinstallbtn.enabled": "true"}
    if hant:
        state["hantsel.selected"] = "true"
    return state


def fast_page(folder, accepted=True, hant=False):
    state = edition_page(folder, hant)
    state.update({"installsetlayout.selectedid": "1", "protlayout.visible": "true",
                  "custombtn.text": "自定义安装"})
    if not accepted:
        state.update({"protcheckbtn.selected": "false", "fastbtn.enabled": "false",
                      "starinstallbtn.enabled": "false"})
    return state


def custom_page(folder, accepted=True, hant=False):
    state = fast_page(folder, accepted, hant)
    state.update({"installsetlayout.selectedid": "2", "custombtn.text": "返回默认安装"})
    return state


def licence_page(underneath):
    state = dict(underneath)
    state["installlayout.selectedid"] = "0"
    return state


def progress_page(folder, value, text, white=False, hant=False):
    state = edition_page(folder, hant)
    state.update({"closebtn.visible": "false", "installsetlayout.selectedid": "3",
                  "titletext.text": "正在安装", "installprogress.value": str(value),
                  "installprogress.text": text})
    if white:
        state["installprogress.textcolor"] = "#FFFFFFFF"
    return state


def failed_page(folder, value=0):
    """The failure as it shows after progress `value`: the text turned white from 50 % on."""
    state = progress_page(folder, value, "安装失败", white=value >= 50)
    state["closebtn.visible"] = "true"
    return state


def finish_page(folder, boot_start=True, logon_start=True, hant=False):
    state = progress_page(folder, 100, "正在安装100%", white=True, hant=hant)
    state.update({"closebtn.visible": "true", "installsetlayout.selectedid": "4",
                  "titletext.text": "完成安装"})
    if not boot_start:
        state["bootstartbtn.selected"] = "false"
    if not logon_start:
        state["runbtn.selected"] = "false"
    return state


class InstallerEnv:
    """The build tree's installer, tools and demo client, in one Wine session, with the
    machine state the installer touches."""

    def __init__(self, build, source, artifact_prefix="install", session=None):
        self.build = Path(build)
        self.source = Path(source)
        self.session = Session(session, build) if session else Session.from_build(self.build)
        self.installer = self.build / "installer" / "OrvInstall.exe"
        self.skinshot = self.build / "tools" / "skinshot" / "skinshot.exe"
        self.skin = self.build / "installer" / "InstallSkin.zip"
        self.client = self.build / "tools" / "democlient" / "client"
        self.setup_files = self.source / "installer" / "setupfiles"
        self.licence = self.build / "installer" / "Licence.gbk"
        self.probe = Probe(self.session, self.build / "tests" / "e2e" / "e2eprobe.exe")
        self.artifacts = Artifacts(self.build / "artifacts", artifact_prefix)
        self.view = SkinViews(self.session, self.skinshot, self.skin, MARKUP)
        self.desktop = self.probe.special_folder(DESKTOP)
        self.programs = self.probe.special_folder(COMMON_PROGRAMS)
        self.program_files = self.probe.special_folder(PROGRAM_FILES)
        self.default_folder = self.program_files.rstrip("\\") + r"\Tolma\Orvia\tamro"
        temp = self.probe.ask("temp")["path"].rstrip("\\")
        self.staging_file = temp + r"\Orvia\orvInstall.7z"

    def close(self):
        self.probe.close()

    def leave(self):
        """After the tests: the default folder and everything an installation leaves removed,
        the probe ended."""
        self.clean([self.default_folder])
        self.close()

    def desktop_shortcut(self):
        return self.desktop + r"\Tamro.lnk"

    def programs_shortcut(self):
        return self.programs + r"\Tamro\Tamro.lnk"

    def clean(self, folders=()):
        """Removes everything an installation leaves: keys, values, shortcuts, the given install
        folders and the staging folder; and ends running copies of the client."""
        self.probe.ask("kill", "tamro.exe")
        for root, key in (("HKLM", COMPANY_KEY), ("HKCU", COMPANY_KEY), ("HKLM", UNINSTALL_KEY)):
            self.probe.ask("delkey", root, key)
        self.probe.ask("delval", "HKLM", RUN_KEY, "tamro")
        for path in (self.desktop_shortcut(), self.programs + r"\Tamro",
                     self.staging_file.rsplit("\\", 1)[0], *folders):
            linux = self.session.linux_path(path)
            if linux.is_dir():
                shutil.rmtree(linux, ignore_errors=True)
            elif linux.exists():
                linux.chmod(0o644)
                linux.unlink()

    def start(self, exe=None, args=()):
        """A running installer (OrvInstall.exe unless `exe` names another setup package) and its
        window."""
        return SkinnedRun(self.probe, self.artifacts, exe or self.installer, WINDOW_CLASS,
                          WINDOW_TITLE, self.view, args)


def installed_files(root):
    """Relative paths (with "/") of every file below a Linux folder."""
    root = Path(root)
    return sorted(str(p.relative_to(root)).replace("\\", "/") for p in root.rglob("*")
                  if p.is_file())


def expected_files(env):
    """Relative path -> source file of everything the demo payload puts into the install
    folder: the client tree itself, and the setup files under install/."""
    files = {rel: env.client / rel for rel in installed_files(env.client)}
    for rel in installed_files(env.setup_files):
        files["install/" + rel] = env.setup_files / rel
    files["install/Licence.txt"] = env.licence
    return files
