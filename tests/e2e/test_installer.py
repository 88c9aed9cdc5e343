#!/usr/bin/python3
"""End-to-end tests of OrvInstall: the real program under Wine, clicked through with the
display's real pointer, its results read back from the registry, shell links and files.

    test_installer.py --build BUILD_TREE --source SOURCE_DIR

Needs the Wine session of BUILD_TREE (the CTest fixture wine_session starts it). Writes
BUILD_TREE/test-results/installer_e2e.xml and keeps screenshots in BUILD_TREE/artifacts.
"""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from orvia_e2e import Failure, Report, check, difference, MAX_DIFFERENT_SHARE  # noqa: E402
from installer_flow import (InstallerEnv, edition_page, PRODUCT_NAME,  # noqa: E402
                            MACHINE_PRODUCT_KEY, COMPANY_KEY)
from PIL import Image  # noqa: E402

REFERENCE = Path(__file__).resolve().parent / "reference" / "install-first-page.png"


def no_product_keys(env):
    check(not env.probe.key_exists("HKLM", COMPANY_KEY), "HKLM\\Software\\Tolma was written")
    check(not env.probe.key_exists("HKCU", COMPANY_KEY), "HKCU\\Software\\Tolma was written")


def first_page_and_cancel(env):
    env.clean([env.default_folder])
    run = env.start()
    try:
        window = run.window
        check((window.width, window.height) == (530, 356),
              f"the window is {window.width} x {window.height}, not 530 x 356")
        screen = env.session.screenshot().size
        check(abs(window.x - (screen[0] - 530) // 2) <= 1 and
              abs(window.y - (screen[1] - 356) // 2) <= 1,
              f"the window at {window.x},{window.y} is not centred on the {screen} screen")
        run.expect(edition_page(env.default_folder), "the first page")
        shot = run.screenshot()
        env.artifacts.keep(shot, "page-1-edition")
        if not REFERENCE.is_file():
            raise Failure(f"no reference image {REFERENCE}")
        share = difference(shot, Image.open(REFERENCE))
        check(share <= MAX_DIFFERENT_SHARE,
              f"the first page differs from its reference in {share:.1%} of the pixels")
        run.click(edition_page(env.default_folder), "canceInstall")
        code = run.wait_exit()
        check(code == 0, f"the exit code after canceInstall is {code}")
        no_product_keys(env)
        check(not env.session.linux_path(env.default_folder).exists(),
              "canceInstall left an install folder")
    finally:
        run.kill()


SCENARIOS = [
    ("first page looks right, canceInstall exits with 0", first_page_and_cancel),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="the build tree (build/win64)")
    parser.add_argument("--source", required=True, help="the source folder")
    parser.add_argument("--only", help="run only scenarios whose name contains this text")
    args = parser.parse_args()

    env = InstallerEnv(args.build, args.source)
    report = Report("installer_e2e")
    try:
        for name, scenario in SCENARIOS:
            if args.only and args.only not in name:
                continue
            with report.case(name):
                scenario(env)
    finally:
        env.clean([env.default_folder])
        env.close()
        report.write(Path(args.build) / "test-results" / "installer_e2e.xml")
    return 1 if report.failed else 0


if __name__ == "__main__":
    sys.exit(main())
