#!/usr/bin/python3
"""The 32-bit programs as most users run them: in a 64-bit Windows (a 64-bit Wine prefix, where
they run under WOW64). The demo package is installed with the fast install and removed with its
own uninstall.exe, clicked like a person; what they leave is read back as a 64-bit program sees
it: files below "Program Files (x86)", the machine-wide keys in the registry's 32-bit view
(Wow6432Node), nothing in the 64-bit view.

    test_wow64.py --build BUILD_TREE --source SOURCE_DIR [--only TEXT]

Starts a Wine session of its own (a 64-bit prefix) in BUILD_TREE/wow64-session. Writes
BUILD_TREE/test-results/wow64_e2e.xml and keeps screenshots in BUILD_TREE/artifacts.
"""

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from orvia_e2e import check, scenario_main, wait_until  # noqa: E402
from installer_flow import (MACHINE_PRODUCT_KEY, RUN_KEY, UNINSTALL_KEY,  # noqa: E402
                            USER_PRODUCT_KEY, expected_files, installed_files)
from uninstaller_flow import FINISHED, READY, UninstallerEnv  # noqa: E402

SOURCE = Path(__file__).resolve().parents[2]
SESSION_SCRIPT = SOURCE / "tools" / "wine" / "wine-session.sh"
# The delayed command pings three times (about two seconds) before it removes the folder.
DELAYED_COMMAND_TIMEOUT = 30.0


def wow64_key(key):
    """Where a 32-bit program's HKLM\\Software key lies in the registry's 64-bit view."""
    return "Software\\Wow6432Node\\" + key[len("Software\\"):]


class Wow64Env(UninstallerEnv):
    """The installer and uninstaller environment in a 64-bit prefix started for these tests."""

    def __init__(self, build, source):
        self.session_dir = Path(build) / "wow64-session"
        subprocess.run([str(SESSION_SCRIPT), "start", str(self.session_dir), "win64"], check=True,
                       timeout=300)
        super().__init__(build, source, artifact_prefix="wow64", session=self.session_dir)

    def leave(self):
        try:
            super().leave()
        finally:
            subprocess.run([str(SESSION_SCRIPT), "stop", str(self.session_dir)], timeout=60)

    def reg64(self, key, value):
        """A machine value as the 64-bit reg.exe reads it: its data, or None when missing."""
        result = self.session.run("reg", ["query", "HKLM\\" + key, "/v", value, "/reg:64"],
                                  timeout=60)
        if result.returncode != 0:
            return None
        for line in result.stdout.splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == value:
                return parts[2].strip()
        return None


def install_into_program_files_x86(env):
    check(env.program_files.rstrip("\\").lower() == r"c:\program files (x86)",
          f"a 32-bit program's Program Files is {env.program_files}")
    folder = env.install_demo()
    check(folder.lower().startswith(r"c:\program files (x86)\tolma\orvia\tamro"),
          f"the default install folder is {folder}")
    root = env.session.linux_path(folder)
    check(sorted(installed_files(root)) == sorted(expected_files(env)),
          f"{root} does not hold the demo client's files")
    check(not (env.session.drive_c / "Program Files" / "Tolma").exists(),
          "the installer wrote into the 64-bit Program Files")

    client = folder + r"\tamro\tamro.exe"
    # What the 32-bit probe reads (the 32-bit view) ...
    check(env.product_keys_and_logon_value(folder),
          "the 32-bit view lacks the product keys or the logon value")
    check(env.uninstall_entry(), "the 32-bit view lacks the uninstall entry")
    # ... lies in Wow6432Node for a 64-bit program, and nowhere else.
    check(env.reg64(wow64_key(MACHINE_PRODUCT_KEY), "InstallDir") == folder,
          "the 64-bit view has no InstallDir below Wow6432Node")
    check((env.reg64(wow64_key(UNINSTALL_KEY), "DisplayIcon") or "").lower() ==
          (folder + r"\tamro\uninstall.exe").lower(),
          "the 64-bit view has no uninstall entry below Wow6432Node")
    check(env.reg64(wow64_key(RUN_KEY), "tamro") == client,
          "the 64-bit view has no logon value below Wow6432Node")
    for key, value in ((MACHINE_PRODUCT_KEY, "InstallDir"), (UNINSTALL_KEY, "DisplayIcon"),
                       (RUN_KEY, "tamro")):
        check(env.reg64(key, value) is None, f"{key}\\{value} is in the 64-bit view itself")
    check(env.probe.registry("HKCU", USER_PRODUCT_KEY, "InstallDir") == ("REG_SZ", folder),
          "the user's InstallDir is missing")


def uninstall_from_program_files_x86(env):
    folder = env.default_folder
    if not env.uninstall_entry():
        env.install_demo(folder)
    root = env.session.linux_path(folder)
    run = env.start_uninstaller(folder + r"\tamro\uninstall.exe")
    try:
        run.expect(READY, "the ready window")
        _, finished, _ = run.remove_with_first_click()
        env.artifacts.keep(finished, "finished")
        run.click(FINISHED, "staruninstallbtn")
        code = run.wait_exit()
        check(code == 0, f"the exit code after the second click is {code}")
    finally:
        run.kill()
    check(not env.shortcuts(), f"left after the uninstall: {env.shortcuts()}")
    check(not env.uninstall_entry(), "the uninstall entry is still in the 32-bit view")
    check(env.reg64(wow64_key(UNINSTALL_KEY), "DisplayIcon") is None,
          "the uninstall entry is still below Wow6432Node")
    check(env.reg64(wow64_key(MACHINE_PRODUCT_KEY), "InstallDir") == folder,
          "the product key did not survive the uninstall")
    # cmd.exe from the 32-bit system folder (SysWOW64 under WOW64) removes the folder.
    started = time.monotonic()
    wait_until(lambda: not root.exists(), f"{folder} to be removed by the delayed command",
               timeout=DELAYED_COMMAND_TIMEOUT)
    print(f"  the delayed command removed the folder {time.monotonic() - started:.1f} s after "
          "the second click", flush=True)


SCENARIOS = [
    ("WOW64: the fast install lands in Program Files (x86) and the registry's 32-bit view",
     install_into_program_files_x86),
    ("WOW64: the installed uninstaller removes it, the delayed command included",
     uninstall_from_program_files_x86),
]


if __name__ == "__main__":
    sys.exit(scenario_main("wow64_e2e", SCENARIOS, Wow64Env, Wow64Env.leave))
