#!/usr/bin/python3
"""The demo of tools/run.sh: the demo setup package walked through under Wine, then the
installed client taken off again with its own uninstaller.

    demo_walk.py --build BUILD_TREE --source SOURCE_DIR --session SESSION_DIR [--watch]

Without --watch it clicks through every page with the display's real pointer (edition,
fast install, licence, custom install, progress, finish), keeps a screenshot of each page in
BUILD_TREE/artifacts/demo-*.png, starts the installed client from the finish page and prints
what was installed; then it closes the client, runs the installed uninstall.exe, clicks its
button twice (screenshots demo-8-uninstall-*.png) and prints what is left. With --watch it only
starts the installer and then the uninstaller and waits for a person to click through each,
printing what was installed and what is left.
"""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from orvia_e2e import Window, matches, wait_until  # noqa: E402
from uninstaller_flow import FINISHED, READY, UninstallerEnv, remaining_files  # noqa: E402
from installer_flow import (MACHINE_PRODUCT_KEY, RUN_KEY, UNINSTALL_KEY,  # noqa: E402
                            USER_PRODUCT_KEY, custom_page, edition_page, fast_page,
                            finish_page, installed_files, licence_page, progress_page)


def walk(env):
    folder = env.default_folder
    env.clean([folder])
    run = env.start()
    shots = []

    def keep(name):
        shots.append(run.keep(name))

    try:
        run.expect(edition_page(folder), "the edition page")
        keep("1-edition")
        run.click(edition_page(folder), "nextbtn")
        run.expect(fast_page(folder), "the fast install page")
        keep("2-fast")
        licence_box = env.view(licence_page(fast_page(folder))).rect("portcontent")
        run.click(fast_page(folder), "lookprotbtn")
        run.expect(licence_page(fast_page(folder)), "the licence page", ignore=[licence_box])
        keep("3-licence")
        run.click(licence_page(fast_page(folder)), "closebtn")
        run.click(fast_page(folder), "custombtn")
        run.expect(custom_page(folder), "the custom install page")
        keep("4-custom")
        # The demo client unpacks in a moment: the pages to look for are rendered first, and
        # the progress page is kept when it is caught.
        progress_view = env.view(progress_page(folder, 0, ""))
        finish_view = env.view(finish_page(folder))
        bar = progress_view.rect("installprogress")
        run.click(custom_page(folder), "starinstallbtn")
        caught = []

        def finished():
            shot = run.screenshot()
            if not caught and matches(shot, progress_view.image, ignore=[bar]):
                caught.append(shot)
            return matches(shot, finish_view.image)

        wait_until(finished, "the finish page", timeout=60, interval=0.02)
        if caught:
            shots.append(env.artifacts.keep(caught[0], "5-progress"))
        keep("6-finish")
        run.click(finish_page(folder), "installfinish")
        code = run.wait_exit()
        client = Window.find(env.probe, "TamroDemoClient", "Tamro", timeout=30)
        shots.append(env.artifacts.keep(client.screenshot(), "7-client"))
        return code, shots
    finally:
        run.kill()


def uninstall_walk(env, folder):
    """Closes the running client, then removes it with the installed uninstall.exe, clicked
    twice like a person."""
    client = env.probe.ask("window", "TamroDemoClient", "Tamro")
    if client.ok:
        Window(env.session, env.probe, client).close_from_outside()
        wait_until(lambda: env.probe.ask("procs", "tamro.exe").int("count") == 0,
                   "the client to end", timeout=30)
    run = env.start_uninstaller(folder + r"\tamro\uninstall.exe")
    shots = []
    try:
        run.expect(READY, "the uninstaller's window")
        shots.append(run.keep("8-uninstall-ready"))
        removing, finished, _ = run.remove_with_first_click()
        if removing is not None:
            shots.append(env.artifacts.keep(removing, "8-uninstall-removing"))
        shots.append(env.artifacts.keep(finished, "8-uninstall-finished"))
        run.click(FINISHED, "staruninstallbtn")
        code = run.wait_exit()
    finally:
        run.kill()
    root = env.session.linux_path(folder)
    wait_until(lambda: not root.exists(), "the delayed removal of the install folder",
               timeout=30)
    return code, shots


def describe_removal(env, folder):
    left = remaining_files(env, folder)
    print(f"install folder after the uninstall: {folder} "
          f"({'gone' if not env.session.linux_path(folder).exists() else f'{len(left)} files left'})")
    print("shortcuts left: " + (", ".join(env.shortcuts()) or "(none)"))
    print(f"uninstall entry: {'present' if env.uninstall_entry() else '(none)'}")
    print("kept: product keys and logon value " +
          ("present" if env.product_keys_and_logon_value(folder) else "NOT all present"))


def describe(env, folder):
    root = env.session.linux_path(folder)
    files = installed_files(root) if root.is_dir() else []
    print(f"install folder: {folder} ({root})")
    print(f"installed files: {len(files)}")
    print("registry:")
    for root_key, key, name in (("HKLM", MACHINE_PRODUCT_KEY, "AppName"),
                                ("HKLM", MACHINE_PRODUCT_KEY, "InstallDir"),
                                ("HKCU", USER_PRODUCT_KEY, "AppName"),
                                ("HKCU", USER_PRODUCT_KEY, "InstallDir"),
                                ("HKCU", USER_PRODUCT_KEY, "locale"),
                                ("HKLM", UNINSTALL_KEY, "DisplayIcon"),
                                ("HKLM", UNINSTALL_KEY, "DisplayName"),
                                ("HKLM", UNINSTALL_KEY, "DisplayVersion"),
                                ("HKLM", UNINSTALL_KEY, "Publisher"),
                                ("HKLM", UNINSTALL_KEY, "UninstallString"),
                                ("HKLM", UNINSTALL_KEY, "InstallLocation"),
                                ("HKLM", UNINSTALL_KEY, "EstimatedSize"),
                                ("HKLM", UNINSTALL_KEY, "NoModify"),
                                ("HKLM", UNINSTALL_KEY, "NoRepair"),
                                ("HKLM", UNINSTALL_KEY, "QuietUninstallString"),
                                ("HKLM", RUN_KEY, "tamro")):
        value = env.probe.registry(root_key, key, name)
        shown = f"{value[0]} {value[1]}" if value else "(none)"
        print(f"  {root_key}\\{key}\\{name} = {shown}")
    print("shortcuts:")
    for path in (env.desktop_shortcut(), env.programs_shortcut()):
        link = env.probe.shortcut(path)
        print(f"  {path} -> {link['target']} ({link['description']})" if link
              else f"  {path}: (none)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--session", required=True)
    parser.add_argument("--watch", action="store_true",
                        help="let a person click through instead of the scripted walk")
    args = parser.parse_args()
    env = UninstallerEnv(args.build, args.source, artifact_prefix="demo", session=args.session)
    try:
        if args.watch:
            env.clean([env.default_folder])
            run = env.start()
            print("the installer is open: click through it; this waits until it ends")
            code = run.program.wait(timeout=None)
            folder = env.probe.registry("HKLM", MACHINE_PRODUCT_KEY, "InstallDir")
            folder = folder[1] if folder else env.default_folder
            print(f"the installer ended with exit code {code}")
            describe(env, folder)
            if not env.uninstall_entry():
                return 0
            run = env.start_uninstaller(folder + r"\tamro\uninstall.exe")
            print("the uninstaller is open: click through it; this waits until it ends")
            code = run.program.wait(timeout=None)
            print(f"the uninstaller ended with exit code {code}")
            time.sleep(5)
            describe_removal(env, folder)
            return 0
        code, shots = walk(env)
        print(f"the installer ended with exit code {code}")
        describe(env, env.default_folder)
        removal_code, removal_shots = uninstall_walk(env, env.default_folder)
        print(f"the uninstaller ended with exit code {removal_code}")
        describe_removal(env, env.default_folder)
        print("screenshots:")
        for shot in shots + removal_shots:
            print(f"  {shot}")
        return 0 if code == 0 and removal_code == 0 else 1
    finally:
        env.close()


if __name__ == "__main__":
    sys.exit(main())
