#!/usr/bin/python3
"""End-to-end tests of OrvUnInstall: the demo client installed with the real OrvInstall.exe, then
the installed uninstall.exe run under Wine and clicked through with the display's real pointer;
the results read back from the registry, shell links and files.

    test_uninstaller.py --build BUILD_TREE --source SOURCE_DIR [--only TEXT]

Needs the Wine session of BUILD_TREE (the CTest fixture wine_session starts it). Writes
BUILD_TREE/test-results/uninstaller_e2e.xml and keeps screenshots in BUILD_TREE/artifacts.
"""

import hashlib
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from orvia_e2e import check, scenario_main, wait_until  # noqa: E402
from uninstaller_flow import (FINISHED, READY, REFUSED_NOT_INSTALLED,  # noqa: E402
                              REFUSED_PROTECTED, UninstallerEnv, remaining_files)

# The delayed command pings three times (about two seconds) before it removes the folder.
DELAYED_COMMAND_TIMEOUT = 30.0


def tree_digest(root):
    """Relative path -> SHA-256 of every file below a Linux folder, and every folder."""
    root = Path(root)
    digest = {}
    for path in sorted(root.rglob("*")):
        rel = str(path.relative_to(root))
        digest[rel] = hashlib.sha256(path.read_bytes()).hexdigest() if path.is_file() else "dir"
    return digest


def top_level(folder):
    return sorted(p.name for p in Path(folder).iterdir())


def installed_uninstaller(folder):
    return folder + r"\tamro\uninstall.exe"


def closing_the_ready_window_removes_nothing(env):
    folder = env.install_demo()
    root = env.session.linux_path(folder)
    before = tree_digest(root)
    run = env.start_uninstaller(installed_uninstaller(folder))
    try:
        check((run.window.width, run.window.height) == (600, 380),
              f"the window is {run.window.width} x {run.window.height}, not 600 x 380")
        run.expect(READY, "the ready window")
        run.keep("1-ready")
        run.click_to_end(READY, "closebtn")
    finally:
        run.kill()
    time.sleep(3)
    check(tree_digest(root) == before, "closing the ready window changed the install folder")
    check(len(env.shortcuts()) == 3, "closing the ready window removed a shortcut")
    check(env.uninstall_entry(), "closing the ready window removed the uninstall entry")


def two_clicks_remove_the_installation(env):
    folder = env.default_folder
    if not env.uninstall_entry():
        env.install_demo(folder)
    root = env.session.linux_path(folder)
    parent = root.parent
    run = env.start_uninstaller(installed_uninstaller(folder))
    try:
        run.expect(READY, "the ready window")
        removing, finished, took = run.remove_with_first_click()
        if removing is not None:
            env.artifacts.keep(removing, "2-removing")
        env.artifacts.keep(finished, "3-finished")
        print(f"  removal and its animations took {took:.1f} s", flush=True)
        left = remaining_files(env, folder)
        check(left == ["tamro/uninstall.exe"],
              f"after the removal the install folder holds {left[:5]}, not only uninstall.exe")
        check(len(env.shortcuts()) == 3, "a shortcut went before the second click")
        check(env.uninstall_entry(), "the uninstall entry went before the second click")

        run.click(FINISHED, "staruninstallbtn")
        clicked = time.monotonic()
        code = run.wait_exit()
        check(code == 0, f"the exit code after the second click is {code}")
    finally:
        run.kill()
    check(not env.shortcuts(), f"left after the uninstall: {env.shortcuts()}")
    check(not env.uninstall_entry(), "the uninstall entry is still there")
    check(env.product_keys_and_logon_value(folder),
          "the product keys or the logon value did not survive the uninstall")
    wait_until(lambda: not root.exists(), f"{folder} to be removed by the delayed command",
               timeout=DELAYED_COMMAND_TIMEOUT)
    print(f"  the delayed command removed the folder {time.monotonic() - clicked:.1f} s after "
          "the second click", flush=True)
    check(parent.is_dir(), f"{parent} went with the install folder")


def refuses_and_changes_nothing(env, exe, refusal, shot, state, what):
    """Runs the uninstaller at `exe`, which must show `refusal` and end with 0 on its one
    button; `state()` must then read as it did before, a while after the end."""
    before = state()
    run = env.start_uninstaller(exe)
    try:
        run.expect(refusal, "the refusal")
        run.keep(shot)
        run.click_to_end(refusal, "staruninstallbtn")
    finally:
        run.kill()
    time.sleep(3)
    check(state() == before, f"the refused uninstaller changed {what}")


def stray_copy_refuses_and_its_folder_survives(env):
    downloads = env.session.drive_c / "stray" / "Downloads"
    shutil.rmtree(downloads.parent, ignore_errors=True)
    (downloads / "photos").mkdir(parents=True)
    (downloads / "photos" / "1.jpg").write_bytes(b"jpeg")
    (downloads / "tamro.exe").write_bytes(b"a client")
    (downloads.parent / "thesis.doc").write_bytes(b"years of work")
    shutil.copy(env.build / "uninstaller" / "OrvUnInstall.exe", downloads / "uninstall.exe")
    refuses_and_changes_nothing(env, r"C:\stray\Downloads\uninstall.exe", REFUSED_NOT_INSTALLED,
                                "4-refused", lambda: tree_digest(downloads.parent), "its folder")
    shutil.rmtree(downloads.parent, ignore_errors=True)


def uninstaller_whose_root_is_program_files_refuses(env):
    program_files = env.session.linux_path(env.program_files)
    own = program_files / "tamro"
    shutil.rmtree(own, ignore_errors=True)
    own.mkdir()
    (own / "tamro.exe").write_bytes(b"a client")
    shutil.copy(env.build / "uninstaller" / "OrvUnInstall.exe", own / "uninstall.exe")
    refuses_and_changes_nothing(env, env.program_files.rstrip("\\") + r"\tamro\uninstall.exe",
                                REFUSED_PROTECTED, "5-refused-protected",
                                lambda: (top_level(program_files), tree_digest(own)),
                                "Program Files")
    shutil.rmtree(own, ignore_errors=True)


SCENARIOS = [
    ("demo client installed; closebtn in the ready window removes nothing, exit 0",
     closing_the_ready_window_removes_nothing),
    ("two clicks: folders removed with the animated bar, then shortcuts, entry and the rest; "
     "product keys and logon value kept", two_clicks_remove_the_installation),
    ("a copy outside a folder named tamro refuses and its folder survives",
     stray_copy_refuses_and_its_folder_survives),
    ("an uninstaller whose root would be Program Files refuses",
     uninstaller_whose_root_is_program_files_refuses),
]


if __name__ == "__main__":
    sys.exit(scenario_main("uninstaller_e2e", SCENARIOS, UninstallerEnv, UninstallerEnv.leave))
