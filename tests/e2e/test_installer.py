#!/usr/bin/python3
"""End-to-end tests of OrvInstall: the real program under Wine, clicked through with the
display's real pointer, its results read back from the registry, shell links and files.

    test_installer.py --build BUILD_TREE --source SOURCE_DIR [--only TEXT]

Needs the Wine session of BUILD_TREE (the CTest fixture wine_session starts it). Writes
BUILD_TREE/test-results/installer_e2e.xml and keeps screenshots in BUILD_TREE/artifacts.
"""

import hashlib
from contextlib import contextmanager
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from PIL import Image  # noqa: E402

from orvia_e2e import (Window, check, difference, scenario_main, wait_until,  # noqa: E402
                       MAX_DIFFERENT_SHARE, QUIET_PERIOD)
from installer_flow import (COMPANY_KEY, MACHINE_PRODUCT_KEY, RECORDED_DIR_KEY,  # noqa: E402
                            RUN_KEY, UNINSTALL_KEY, USER_PRODUCT_KEY, InstallerEnv,
                            custom_page, edition_page, expected_files, failed_page, fast_page,
                            finish_page, installed_files, licence_page, progress_page)

HERE = Path(__file__).resolve().parent
REFERENCE = HERE / "reference" / "install-first-page.png"
# Entries the unpacking may still write once a close is sent: the one in hand, and one begun
# before the window's thread takes the close from its queue.
ENTRIES_AFTER_CLOSE = 2


def no_registration(env):
    # HKCU\Software\Tolma may hold the recorded folder a test put there.
    check(not env.probe.key_exists("HKLM", COMPANY_KEY), f"HKLM\\{COMPANY_KEY} was written")
    check(not env.probe.key_exists("HKCU", USER_PRODUCT_KEY), "the per-user keys were written")
    check(not env.probe.key_exists("HKLM", UNINSTALL_KEY), "an uninstall entry was written")
    check(env.probe.registry("HKLM", RUN_KEY, "tamro") is None, "a logon value was written")
    for link in (env.desktop_shortcut(), env.programs_shortcut()):
        check(not env.session.linux_path(link).exists(), f"the shortcut {link} was written")


def no_staging_file(env):
    check(not env.session.linux_path(env.staging_file).exists(),
          f"the staging file {env.staging_file} survived")


def watch_nothing_happens(condition, what):
    """Fails if `condition` becomes true within the quiet period: something that must not
    happen cannot be polled for, only watched for a while."""
    deadline = time.monotonic() + QUIET_PERIOD
    while time.monotonic() < deadline:
        check(not condition(), what)
        time.sleep(0.1)


def no_native_edit_or_caret(run, where):
    """Focus moves to the first tab stop on every page switch; it must not open the path
    field's native edit or put a caret in the licence box by itself."""
    children = [c for c in run.window.native_children() if c["visible"]]
    check(not children, f"{where}: a native window opened by itself: {children}")
    caret, _ = run.window.caret()
    check(caret == 0, f"{where}: a caret appeared by itself")


def check_registry(env, folder, locale):
    client = folder + r"\tamro\tamro.exe"
    uninstaller = folder + r"\tamro\UnInstall.exe"
    expected = [
        ("HKLM", MACHINE_PRODUCT_KEY, "AppName", client),
        ("HKLM", MACHINE_PRODUCT_KEY, "InstallDir", folder),
        ("HKCU", USER_PRODUCT_KEY, "AppName", client),
        ("HKCU", USER_PRODUCT_KEY, "InstallDir", folder),
        ("HKCU", USER_PRODUCT_KEY, "locale", locale),
        ("HKLM", UNINSTALL_KEY, "DisplayIcon", uninstaller),
        ("HKLM", UNINSTALL_KEY, "DisplayName", "Tamro"),
        ("HKLM", UNINSTALL_KEY, "DisplayVersion", "2.6.3.2"),
        ("HKLM", UNINSTALL_KEY, "Publisher", "Tolma网络"),
        ("HKLM", UNINSTALL_KEY, "UninstallString", f'"{uninstaller}"'),
    ]
    for root, key, name, data in expected:
        answer = env.probe.ask("reg", root, key, name)
        check(answer.ok, f"{root}\\{key} {name} is missing")
        check(answer["type"] == "REG_SZ", f"{root}\\{key} {name} is {answer['type']}")
        check(answer["data"] == data, f"{root}\\{key} {name} is {answer['data']!r}, not {data!r}")
        check(answer["terminated"] == "1", f"{root}\\{key} {name} lacks its stored terminator")


def check_shortcuts(env, folder):
    client = folder + r"\tamro\tamro.exe"
    for path in (env.desktop_shortcut(), env.programs_shortcut()):
        link = env.probe.shortcut(path)
        check(link is not None, f"no shortcut {path}")
        check(link["target"] == client, f"{path} points to {link['target']!r}")
        check(link["description"] == "Tamro", f"{path} has the description {link['description']!r}")
        check(link["workdir"] == "" and link["arguments"] == "" and link["hotkey"] == "0",
              f"{path} has a working folder, arguments or a hot key")
        check(link["showcmd"] == "1", f"{path} has the show command {link['showcmd']}")


def check_files(env, folder):
    root = env.session.linux_path(folder)
    expected = expected_files(env)
    present = set(installed_files(root))
    missing = sorted(set(expected) - present)
    check(not missing, f"missing in {folder}: {missing[:5]}")
    for rel, source in expected.items():
        check((root / rel).read_bytes() == source.read_bytes(), f"{rel} differs from the payload")


def client_processes(env):
    return env.probe.ask("procs", "tamro.exe").int("count")


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
        check(REFERENCE.is_file(), f"no reference image {REFERENCE}")
        share = difference(shot, Image.open(REFERENCE))
        check(share <= MAX_DIFFERENT_SHARE,
              f"the first page differs from its reference in {share:.1%} of the pixels")
        run.click_to_end(edition_page(env.default_folder), "canceInstall")
        no_registration(env)
        check(not env.session.linux_path(env.default_folder).exists(),
              "canceInstall left an install folder")
    finally:
        run.kill()


def pages_licence_and_start_buttons(env):
    env.clean([env.default_folder])
    # Without /S (the silent installation) every argument is ignored, /D= and /EDITION= too.
    run = env.start(args=["/Q", "--folder=D:\\x", "/EDITION=hant", "/D=D:\\x"])
    folder = env.default_folder
    try:
        run.expect(edition_page(folder), "the first page")
        run.click(edition_page(folder), "nextbtn")
        run.expect(fast_page(folder), "the fast install page")
        run.keep("page-2-fast")
        no_native_edit_or_caret(run, "fast install page")

        licence_box = env.view(licence_page(fast_page(folder))).rect("portcontent")
        run.click(fast_page(folder), "lookprotbtn")
        run.expect(licence_page(fast_page(folder)), "the licence page", ignore=[licence_box])
        run.keep("page-licence")
        text = run.screenshot().crop(licence_box).convert("L")
        dark = sum(text.histogram()[:160])
        check(dark > 2000, f"the licence box shows hardly any text ({dark} dark pixels)")
        no_native_edit_or_caret(run, "licence page")

        run.click(licence_page(fast_page(folder)), "closebtn")
        run.expect(fast_page(folder), "the fast page after closebtn on the licence page")

        # A press on the drag area outside the box, the link, the check box and the close
        # button (here the empty middle of the licence row) leaves the licence page.
        run.click(fast_page(folder), "lookprotbtn")
        run.expect(licence_page(fast_page(folder)), "the licence page again", ignore=[licence_box])
        row = env.view(fast_page(folder)).rect("protlayout")
        run.click_at((row[0] + 240, row[1] + 20))
        run.expect(fast_page(folder), "the fast page after a drag-area click")

        run.click(fast_page(folder), "custombtn")
        run.expect(custom_page(folder), "the custom page with 返回默认安装")
        run.keep("page-3-custom")
        no_native_edit_or_caret(run, "custom install page")
        run.click(custom_page(folder), "custombtn")
        run.expect(fast_page(folder), "the fast page with 自定义安装")

        # custombtn on the licence page returns to the main page and toggles it.
        run.click(fast_page(folder), "lookprotbtn")
        run.expect(licence_page(fast_page(folder)), "the licence page from the fast page",
                   ignore=[licence_box])
        run.click(licence_page(fast_page(folder)), "custombtn")
        run.expect(custom_page(folder), "the custom page after custombtn on the licence page")

        # Clearing the licence box disables both start buttons; a click on one does nothing.
        run.click(custom_page(folder), "protcheckbtn")
        run.expect(custom_page(folder, accepted=False), "starinstallbtn disabled")
        run.click(custom_page(folder, accepted=False), "custombtn")
        run.expect(fast_page(folder, accepted=False), "fastbtn disabled")
        run.click(fast_page(folder, accepted=False), "fastbtn")
        run.stays(fast_page(folder, accepted=False), "fastbtn is disabled")
        check(not env.session.linux_path(folder).exists(), "a disabled fastbtn made the folder")
        run.click(fast_page(folder, accepted=False), "protcheckbtn")
        run.expect(fast_page(folder), "fastbtn enabled again")
        run.click(fast_page(folder), "custombtn")
        run.expect(custom_page(folder), "starinstallbtn enabled again")

        # A click on the read-only path field opens its native edit, holding the folder.
        text = open_path_field(run, custom_page(folder))
        check(text == folder, f"the path field holds {text!r}")

        run.click_to_end(custom_page(folder), "closebtn")
        no_registration(env)
        check(not env.session.linux_path(folder).exists(), "closebtn left an install folder")
    finally:
        run.kill()


def open_path_field(run, state):
    """Clicks the read-only path field and returns the text of the native edit it opens."""
    run.click(state, "pathedit")
    edits = wait_until(lambda: [c for c in run.window.native_children() if c["visible"]],
                       "the path field's native edit")
    return edits[0]["text"]


def path_field_text(run, state):
    """The path field's text as its native edit holds it, opened with a click and left again,
    after another window was active."""
    # The first click after another window was active only activates this one.
    run.click_at((100, 20))
    text = open_path_field(run, state)
    run.click_at((100, 20))
    return text


def folder_browser(env):
    folder = env.default_folder
    env.clean([folder])
    run = env.start()
    try:
        run.click(edition_page(folder), "nextbtn")
        run.click(fast_page(folder), "custombtn")
        run.expect(custom_page(folder), "the custom install page")

        run.click(custom_page(folder), "browfilebtn")
        browser = Window.find(env.probe, "#32770", "选择文件夹")
        check(browser.native_child("Static", "从下面选文件夹目录:"), "the browser's title text")
        env.artifacts.keep(browser.screenshot(), "folder-browser")
        browser.click_child(browser.native_child("Button", "取消"))
        wait_until(lambda: not env.probe.ask("window", "#32770").ok, "the browser to close")
        check(path_field_text(run, custom_page(folder)) == folder, "cancelling changed the path")

        # Wine's browser lists Desktop, /, the recycle bin, Documents, My Computer: the fourth
        # item is the Documents folder.
        documents = env.probe.special_folder(0x0005)
        run.click(custom_page(folder), "browfilebtn")
        browser = Window.find(env.probe, "#32770", "选择文件夹")
        tree = browser.native_child("SysTreeView32")
        browser.click_child(tree, (70, 57))
        browser.click_child(browser.native_child("Button", "确定"))
        wait_until(lambda: not env.probe.ask("window", "#32770").ok, "the browser to close")
        chosen = path_field_text(run, custom_page(folder))
        print(f"  browsed: {chosen}", flush=True)
        # Wine reports this folder with a trailing backslash, which doubles the separator;
        # Windows reports it without.
        check(chosen in (documents + r"\Tolma\Orvia\tamro", documents + r"\\Tolma\Orvia\tamro"),
              f"choosing {documents} gave {chosen!r}")
        run.click_to_end(custom_page(folder), "closebtn")
    finally:
        run.kill()


def hant_install_without_start_or_logon(env):
    folder = env.default_folder
    env.clean([folder])
    # A logon value from an earlier installation, which clearing runbtn removes.
    env.probe.ask("setreg", "HKLM", RUN_KEY, "tamro", r"C:\old\tamro\tamro.exe")
    run = env.start()
    try:
        run.expect(edition_page(folder), "the first page")
        run.click(edition_page(folder), "hantsel")
        run.expect(edition_page(folder, hant=True), "繁體中文 selected")
        run.click(edition_page(folder, hant=True), "nextbtn")
        run.expect(fast_page(folder, hant=True), "the fast install page")
        run.click(fast_page(folder, hant=True), "fastbtn")
        finish = finish_page(folder, hant=True)
        run.expect(finish, "the finish page", timeout=60)
        run.keep("page-5-finish")
        no_staging_file(env)
        check_files(env, folder)
        check_registry(env, folder, "hant")
        check_shortcuts(env, folder)

        run.click(finish, "bootstartbtn")
        run.expect(finish_page(folder, boot_start=False, hant=True), "bootstartbtn cleared")
        run.click(finish_page(folder, boot_start=False, hant=True), "runbtn")
        cleared = finish_page(folder, boot_start=False, logon_start=False, hant=True)
        run.expect(cleared, "runbtn cleared")
        run.click_to_end(cleared, "installfinish")
        check(env.probe.registry("HKLM", RUN_KEY, "tamro") is None,
              "runbtn cleared, yet the logon value is there")
        watch_nothing_happens(lambda: client_processes(env) > 0,
                              "bootstartbtn cleared, yet the client started")
    finally:
        run.kill()


def recorded_folder_install_starts_the_client(env):
    folder = r"C:\测试 目录\多人视频\tamro"
    env.clean([folder, r"C:\测试 目录"])
    env.probe.ask("setreg", "HKCU", RECORDED_DIR_KEY, "InstallDir", folder)
    # A staging file left by an earlier run, read-only at that.
    leftover = env.session.linux_path(env.staging_file)
    leftover.parent.mkdir(parents=True, exist_ok=True)
    leftover.write_bytes(b"left over from an earlier run")
    leftover.chmod(0o444)
    run = env.start()
    try:
        run.expect(edition_page(folder), "the first page")
        run.click(edition_page(folder), "nextbtn")
        run.click(fast_page(folder), "custombtn")
        run.expect(custom_page(folder), "the recorded folder in the path field")
        text = open_path_field(run, custom_page(folder))
        check(text == folder, f"the path field holds {text!r}, not the recorded {folder!r}")
        run.click(custom_page(folder), "starinstallbtn")
        run.expect(finish_page(folder), "the finish page", timeout=60)
        no_staging_file(env)
        check_files(env, folder)
        check_registry(env, folder, "hans")
        check_shortcuts(env, folder)
        run.click_to_end(finish_page(folder), "installfinish")
        client = Window.find(env.probe, "TamroDemoClient", "Tamro")
        env.artifacts.keep(client.screenshot(), "client-started")
        check(env.probe.registry("HKLM", RUN_KEY, "tamro") ==
              ("REG_SZ", folder + r"\tamro\tamro.exe"), "no logon value for the client")
    finally:
        run.kill()
        env.clean([folder, r"C:\测试 目录"])


def folder_that_cannot_be_made_keeps_the_page(env):
    blocker = env.session.drive_c / "orvia-blocker"
    folder = r"C:\orvia-blocker\tamro"
    env.clean([folder])
    blocker.write_bytes(b"a file where a folder would go")
    env.probe.ask("setreg", "HKCU", RECORDED_DIR_KEY, "InstallDir", folder)
    run = env.start()
    try:
        run.click(edition_page(folder), "nextbtn")
        run.expect(fast_page(folder), "the fast install page")
        run.click(fast_page(folder), "fastbtn")
        run.stays(fast_page(folder), "the folder cannot be created")
        no_staging_file(env)
        run.click_to_end(fast_page(folder), "closebtn")
        no_registration(env)
    finally:
        run.kill()
        blocker.unlink()
        env.clean()


def folder_outside_code_page_keeps_the_page(env):
    folder = r"C:\설치\tamro"
    env.clean([r"C:\설치"])
    env.probe.ask("setreg", "HKCU", RECORDED_DIR_KEY, "InstallDir", folder)
    before = sorted(p.name for p in env.session.drive_c.iterdir())
    run = env.start()
    try:
        run.click(edition_page(folder), "nextbtn")
        run.click(fast_page(folder), "custombtn")
        run.expect(custom_page(folder), "the custom page with the Korean folder")
        run.click(custom_page(folder), "starinstallbtn")
        run.stays(custom_page(folder), "the folder has characters outside code page 936")
        after = sorted(p.name for p in env.session.drive_c.iterdir())
        check(before == after, f"something was created on C: {set(after) - set(before)}")
        no_staging_file(env)
        run.click_to_end(custom_page(folder), "closebtn")
        no_registration(env)
    finally:
        run.kill()
        env.clean()


def tree_bytes(root):
    """Every entry below a Linux folder: a folder as None, a file as its bytes."""
    return {path.relative_to(root): None if path.is_dir() else path.read_bytes()
            for path in sorted(root.rglob("*"))}


def plant_client_folder_link(env, folder, target):
    """`folder` prepared by someone else: its tamro folder a (Unix symbolic) link to `target`,
    which Wine shows as a link."""
    root = env.session.linux_path(folder)
    root.mkdir(parents=True, exist_ok=True)
    (root / "tamro").symlink_to(env.session.linux_path(target), target_is_directory=True)


def planted_link_fails_visibly(env):
    folder = r"C:\orvia-prepared\Tolma\Orvia\tamro"
    reference_folder = r"C:\orvia-prepared-reference"
    system = r"C:\orvia-system32"
    env.clean([r"C:\orvia-prepared", reference_folder, system])
    # A stand-in for the system folder, holding files of the names the payload writes.
    target = env.session.linux_path(system)
    target.mkdir(parents=True)
    (target / "tamro.exe").write_bytes(b"a system program")
    (target / "UnInstall.exe").write_bytes(b"another system program")
    (target / "drivers").mkdir()
    (target / "drivers" / "keep.sys").write_bytes(b"a driver")
    before = tree_bytes(target)
    plant_client_folder_link(env, folder, system)
    plant_client_folder_link(env, reference_folder, system)
    # How far the unpacking gets before it meets the link, from the extraction itself.
    result, progress, _ = reference_extraction(
        env, env.build / "tools" / "democlient" / "payload.7z", reference_folder)
    check(result != 0, "the extraction wrote through the planted link")
    check(tree_bytes(target) == before, "the extraction changed the link's target")
    value = progress[-1] if progress else 0
    env.probe.ask("setreg", "HKCU", RECORDED_DIR_KEY, "InstallDir", folder)
    run = env.start()
    try:
        failed = fast_install_fails(run, folder, value)
        run.keep("page-planted-link")
        check(tree_bytes(target) == before, "the installer changed the link's target")
        check((env.session.linux_path(folder) / "tamro").is_symlink(), "the link was replaced")
        no_registration(env)
        no_staging_file(env)
        run.click_to_end(failed, "closebtn")
    finally:
        run.kill()
        env.clean([r"C:\orvia-prepared", reference_folder, system])


def fast_install_fails(run, folder, value):
    """Starts the fast install into `folder` and waits for the failure after progress `value`;
    returns the failed page's state."""
    run.click(edition_page(folder), "nextbtn")
    run.click(fast_page(folder), "fastbtn")
    failed = failed_page(folder, value)
    run.expect(failed, "安装失败 with the close button", timeout=60)
    return failed


def reference_extraction(env, archive, folder):
    """What the extraction itself leaves of `archive` in `folder`: (result, the progress values
    posted, the files written), from the extraction driver in the same Wine session."""
    driver = subprocess.run(
        [env.session.loader, str(env.build / "tools" / "extractdriver" / "extractdriver.exe"),
         env.session.windows_path(archive), folder],
        env=env.session.env, capture_output=True, text=True, timeout=120)
    lines = dict(line.partition(":")[::2] for line in driver.stdout.splitlines())
    root = env.session.linux_path(folder)
    files = {path.relative_to(root): path.read_bytes()
             for path in root.rglob("*") if path.is_file()}
    return int(lines["result"]), [int(v) for v in lines["progress"].split()], files


def damaged_payload_fails_visibly(env):
    folder = env.default_folder
    reference_folder = "C:\\orvia-damaged-reference"
    env.clean([folder, reference_folder])
    # The extraction streams: the files before the damage are written with their progress, the
    # one being decoded when the damage shows is left as far as it got. The dialog must show
    # exactly what the extraction reported, and the disk must hold what it wrote.
    result, progress, written = reference_extraction(
        env, env.build / "tests" / "e2e" / "damaged.7z", reference_folder)
    check(result != 0, "the damaged payload unpacks without an error")
    value = progress[-1] if progress else 0
    run = env.start(env.build / "installer" / "OrvInstallDamaged.exe")
    try:
        failed = fast_install_fails(run, folder, value)
        run.keep("page-failed")
        no_registration(env)
        no_staging_file(env)
        root = env.session.linux_path(folder)
        installed = {path.relative_to(root): path.read_bytes()
                     for path in root.rglob("*") if path.is_file()}
        check((root / "install" / "Licence.txt").is_file(), "files before the damage are gone")
        check(installed == written, "the install folder differs from what the extraction wrote")
        run.click_to_end(failed, "closebtn")
    finally:
        run.kill()
        env.clean([reference_folder])


def progress_fill(run, view):
    """Share of the progress bar filled, read from the screenshot's top row of the bar."""
    l, t, r, b = view.rect("installprogress")
    shot = run.screenshot()
    row = [shot.getpixel((x, t + 3)) for x in range(l, r)]
    filled = sum(1 for p in row if p[2] > 200 and p[0] < 120)
    return filled / float(r - l), shot


def grey_text_pixels(shot, view):
    """Pixels of grey text in the middle of the progress bar, where its text lies."""
    l, t, r, b = view.rect("installprogress")
    centre = (l + r) // 2
    count = 0
    for y in range(t + 8, b - 8):
        for x in range(centre - 60, centre + 60):
            red, green, blue = shot.getpixel((x, y))
            if max(red, green, blue) - min(red, green, blue) <= 14 and 100 < red < 200:
                count += 1
    return count


def start_slow_install(env):
    """The slow package on its way: the unpack has begun when this returns."""
    folder = env.default_folder
    env.clean([folder])
    run = env.start(env.build / "installer" / "OrvInstallSlow.exe")
    run.click(edition_page(folder), "nextbtn")
    run.click(fast_page(folder), "fastbtn")
    staging = env.session.linux_path(env.staging_file)
    root = env.session.linux_path(folder)
    wait_until(lambda: staging.exists() and root.exists() and any(root.rglob("*.txt")),
               "the unpack to begin")
    return run


def progress_text_turns_white(env):
    folder = env.default_folder
    view = env.view(progress_page(folder, 0, ""))
    run = start_slow_install(env)
    try:
        fill, shot = progress_fill(run, view)
        check(fill < 0.45, f"the unpack was at {fill:.0%} before it could be watched")
        check(grey_text_pixels(shot, view) > 20, "the progress text is not grey below 50 %")
        env.artifacts.keep(shot, "page-4-progress-below-half")
        shot = wait_until(lambda: (lambda f, s: s if 0.52 <= f < 0.95 else None)(
            *progress_fill(run, view)), "the progress past 50 %", timeout=60, interval=0.05)
        env.artifacts.keep(shot, "page-4-progress-past-half")
        check(grey_text_pixels(shot, view) <= 3, "the progress text is not white past 50 %")
        run.expect(finish_page(folder), "the finish page", timeout=120)
        run.click_to_end(finish_page(folder), "closebtn")
        check(client_processes(env) == 0, "closebtn on the finish page started the client")
    finally:
        run.kill()
        env.clean([folder])


@contextmanager
def held(program):
    """The program stopped for the duration, whatever happens."""
    program.suspend()
    try:
        yield
    finally:
        program.resume()


def close_during_install(env, how):
    folder = env.default_folder
    slow_payload = env.build / "tests" / "e2e" / "slow.7z"
    client = env.build / "tests" / "e2e" / "slowclient"
    total = len(installed_files(client))
    run = start_slow_install(env)
    root = env.session.linux_path(folder)
    try:
        if how == "WM_CLOSE":
            # Another process may neither rewrite, rename, replace nor delete the staging file
            # while it is unpacked, and the bytes unpacked are the bytes written.
            staging = env.session.linux_path(env.staging_file)
            lock = env.probe.ask("lock", env.staging_file)
            for action in ("write", "rename", "replace", "delete"):
                check(lock[action] == "0", f"another process could {action} the staging file")
            check(hashlib.sha256(staging.read_bytes()).digest() ==
                  hashlib.sha256(slow_payload.read_bytes()).digest(),
                  "the staging file is not the payload")
        # The installer is held still while the close is sent and again once its window is
        # gone, so that the files written by then are counted exactly. The window goes when its
        # thread takes the close from behind the progress messages queued before it; then the
        # unpacking is asked to stop, and finishes the entry in hand (one more may have begun
        # before the request), nothing after that.
        with held(run.program):
            before = len(installed_files(root))
            if how == "WM_CLOSE":
                run.window.close_from_outside()
            else:
                run.window.key("alt+F4")
        wait_until(lambda: not env.probe.ask("children", run.window.hwnd).ok,
                   "the window to go after the close", interval=0.01)
        with held(run.program):
            gone = len(installed_files(root))
        started = time.monotonic()
        code = run.wait_exit(timeout=60)
        check(code == 0, f"the exit code after a close during the install is {code}")
        written = installed_files(root)
        check(len(written) <= gone + ENTRIES_AFTER_CLOSE,
              f"{len(written) - gone} files were written after the window had gone, at most "
              f"{ENTRIES_AFTER_CLOSE} may be")
        check(len(written) < total, "the worker went on to the end after the close")
        torn = [name for name in written if (client / name).is_file() and
                (root / name).read_bytes() != (client / name).read_bytes()]
        check(not torn, f"files left partly written: {torn[:5]}")
        no_staging_file(env)
        no_registration(env)
        print(f"  closed by {how} after {before} of {total} files; {gone - before} more until "
              f"the window went, {len(written) - gone} after; ended in "
              f"{time.monotonic() - started:.1f} s", flush=True)
    finally:
        run.kill()


SCENARIOS = [
    ("first page looks right, canceInstall exits with 0", first_page_and_cancel),
    ("pages, licence page, start buttons follow the licence box", pages_licence_and_start_buttons),
    ("the folder browser: cancel keeps the path, a choice appends Tolma\\Orvia\\tamro",
     folder_browser),
    ("繁體中文 install: files, registry, shortcuts; finish without client or logon value",
     hant_install_without_start_or_logon),
    ("recorded Chinese folder, leftover staging file; finish starts the client",
     recorded_folder_install_starts_the_client),
    ("a folder that cannot be created keeps the page", folder_that_cannot_be_made_keeps_the_page),
    ("a folder outside code page 936 keeps the page", folder_outside_code_page_keeps_the_page),
    ("a damaged payload shows 安装失败 and registers nothing", damaged_payload_fails_visibly),
    ("a link planted in the chosen folder shows 安装失败, writes nothing through it",
     planted_link_fails_visibly),
    ("the progress text is grey below 50 % and white from 50 % on", progress_text_turns_white),
    ("WM_CLOSE from another program during the install: locked staging file, clean stop",
     lambda env: close_during_install(env, "WM_CLOSE")),
    ("Alt+F4 during the install stops cleanly", lambda env: close_during_install(env, "Alt+F4")),
]


if __name__ == "__main__":
    sys.exit(scenario_main("installer_e2e", SCENARIOS, InstallerEnv, InstallerEnv.leave))
