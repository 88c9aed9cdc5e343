#!/usr/bin/python3
"""End-to-end tests of what an administrator uses: the silent install and uninstall, the
uninstall entry's added values, the programs' version information, and a signed package.

    test_setup_admin.py --build BUILD_TREE --source SOURCE_DIR [--only TEXT]

Needs the Wine session of BUILD_TREE (the CTest fixture wine_session starts it), and openssl and
osslsigncode for the signed package. Writes BUILD_TREE/test-results/setup_admin_e2e.xml.
"""

import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from contextlib import contextmanager
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from orvia_e2e import Answer, check, scenario_main, wait_until  # noqa: E402
from installer_flow import (MACHINE_PRODUCT_KEY, RECORDED_DIR_KEY, RUN_KEY,  # noqa: E402
                            UNINSTALL_KEY, USER_PRODUCT_KEY, expected_files, installed_files)
from test_installer import (check_files, check_registry, check_shortcuts,  # noqa: E402
                            no_registration, no_staging_file)
from uninstaller_flow import UninstallerEnv  # noqa: E402

# Exit codes of the silent installation and uninstall (installer/SilentInstall.h,
# uninstaller/SilentUninstall.h).
INSTALLED = 0
BAD_ARGUMENTS = 2
FOLDER_FAILED = 3
EXTRACTION_FAILED = 5
UNINSTALLED = 0
UNINSTALL_REFUSED = 3

DELAYED_COMMAND_TIMEOUT = 30.0
SIGNED_VERSION = "3.1.4.15"
PASSWORD = 'throw-away "pass" word'


class Launched:
    """One program run by the probe with an exact command line tail, watched for visible
    windows until it ends."""

    def __init__(self, env, exe, tail, timeout=180):
        if not isinstance(exe, str):
            exe = env.session.windows_path(exe)
        process = env.session.popen(
            env.build / "tests" / "e2e" / "e2eprobe.exe", ["launch", exe, str(timeout * 1000)],
            extra_env={"ORVIA_PROBE_TAIL": tail}, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        started = Answer(process.stdout.readline().decode("utf-8"))
        check(started.ok, f"{exe} {tail} did not start: {dict(started)}")
        self.pid = started.int("pid")
        self.windows_seen = 0
        deadline = time.monotonic() + timeout + 10
        while process.poll() is None:
            if time.monotonic() > deadline:
                process.kill()
                raise AssertionError(f"{exe} {tail} did not end")
            shown = env.probe.ask("shown", self.pid)
            self.windows_seen = max(self.windows_seen, shown.int("visible"))
            time.sleep(0.05)
        ended = Answer(process.stdout.readline().decode("utf-8"))
        check(ended.ok, f"{exe} {tail}: {dict(ended)}")
        self.exit = ended.int("exit")


def silent(env, exe, tail, expected_exit):
    run = Launched(env, exe, tail)
    check(run.exit == expected_exit, f"{Path(exe).name} {tail} exited with {run.exit}, "
          f"not {expected_exit}")
    check(run.windows_seen == 0, f"{Path(exe).name} {tail} showed {run.windows_seen} window(s)")
    return run


def tree_bytes(root):
    return sum(p.stat().st_size for p in Path(root).rglob("*") if p.is_file())


def check_entry_additions(env, folder, version="2.6.3.2"):
    """The values the complete uninstall entry adds, with their types; DisplayVersion too."""
    uninstaller = folder + r"\tamro\UnInstall.exe"
    size_kb = -(-tree_bytes(env.session.linux_path(folder)) // 1024)
    expected = [
        ("DisplayVersion", "REG_SZ", version),
        ("InstallLocation", "REG_SZ", folder),
        ("EstimatedSize", "REG_DWORD", str(size_kb)),
        ("NoModify", "REG_DWORD", "1"),
        ("NoRepair", "REG_DWORD", "1"),
        ("QuietUninstallString", "REG_SZ", f'"{uninstaller}" /S'),
    ]
    for name, kind, data in expected:
        value = env.probe.registry("HKLM", UNINSTALL_KEY, name)
        check(value == (kind, data), f"Uninstall\\tamro {name} is {value}, not {(kind, data)}")


def check_installation(env, folder, locale):
    check_files(env, folder)
    check_registry(env, folder, locale)
    check_entry_additions(env, folder)
    check_shortcuts(env, folder)
    client = folder + r"\tamro\tamro.exe"
    check(env.probe.registry("HKLM", RUN_KEY, "tamro") == ("REG_SZ", client),
          "the silent install did not set the logon value")
    check(env.probe.ask("procs", "tamro.exe").int("count") == 0,
          "the silent install started the client")
    no_staging_file(env)


def silent_install_with_defaults(env):
    env.clean([env.default_folder])
    silent(env, env.installer, "/S", INSTALLED)
    check_installation(env, env.default_folder, "hans")


def silent_install_into_a_folder_with_blanks_and_chinese(env):
    folder = r"C:\Program Files\测试 目录\Tamro 客户端"
    env.clean([r"C:\Program Files\测试 目录"])
    # A recorded folder must not win over /D=; /D= comes last, unquoted, trailing blanks dropped.
    env.probe.ask("setreg", "HKCU", RECORDED_DIR_KEY, "InstallDir", r"C:\orvia-recorded")
    try:
        silent(env, env.installer, r"/EDITION=hant /S /D=" + folder + "  ", INSTALLED)
        check_installation(env, folder, "hant")
        check(not env.session.linux_path(r"C:\orvia-recorded").exists(),
              "the recorded folder was used")
    finally:
        env.clean([r"C:\Program Files\测试 目录"])


def silent_install_failures_register_nothing(env):
    blocker = env.session.drive_c / "orvia-blocker"
    folder = r"C:\orvia-blocker\tamro"
    env.clean([folder, env.default_folder])
    blocker.write_bytes(b"a file where a folder would go")
    try:
        silent(env, env.installer, "/S /D=" + folder, FOLDER_FAILED)
        no_registration(env)
        no_staging_file(env)
        check(blocker.is_file(), "the blocking file was touched")
        # Relative folders, unknown switches and bad editions are refused before anything.
        for tail, code in (("/S /D=tamro", FOLDER_FAILED), ("/S /Q", BAD_ARGUMENTS),
                           ("/S /EDITION=big5", BAD_ARGUMENTS)):
            silent(env, env.installer, tail, code)
            no_registration(env)
        check(not env.session.linux_path(env.default_folder).exists(),
              "a refused command line created the default folder")
        # A payload damaged in its second block: the files before the damage stay, nothing
        # points to them.
        silent(env, env.build / "installer" / "OrvInstallDamaged.exe", "/S", EXTRACTION_FAILED)
        no_registration(env)
        no_staging_file(env)
    finally:
        blocker.unlink()
        env.clean([env.default_folder])


def silent_uninstall_removes_everything_but_the_product_keys(env):
    folder = env.default_folder
    env.clean([folder])
    silent(env, env.installer, "/S", INSTALLED)
    check_entry_additions(env, folder)
    root = env.session.linux_path(folder)
    # The entry's own quiet command, as Programs and Features or a deployment tool runs it.
    quiet = env.probe.registry("HKLM", UNINSTALL_KEY, "QuietUninstallString")[1]
    exe, _, tail = quiet[1:].partition('" ')
    silent(env, exe, tail, UNINSTALLED)
    check(not env.uninstall_entry(), "the uninstall entry and its values are still there")
    for name in ("InstallLocation", "EstimatedSize", "QuietUninstallString"):
        check(env.probe.registry("HKLM", UNINSTALL_KEY, name) is None, f"{name} survived")
    check(not env.shortcuts(), f"left after the uninstall: {env.shortcuts()}")
    check(env.product_keys_and_logon_value(folder),
          "the product keys or the logon value did not survive the uninstall")
    wait_until(lambda: not root.exists(), f"{folder} to be removed by the delayed command",
               timeout=DELAYED_COMMAND_TIMEOUT)
    check(root.parent.is_dir(), f"{root.parent} went with the install folder")


def silent_uninstall_refuses_a_stray_copy(env):
    stray = env.session.drive_c / "stray" / "Downloads"
    shutil.rmtree(stray.parent, ignore_errors=True)
    (stray / "photos").mkdir(parents=True)
    (stray / "photos" / "1.jpg").write_bytes(b"jpeg")
    (stray / "tamro.exe").write_bytes(b"a client")
    shutil.copy(env.build / "uninstaller" / "OrvUnInstall.exe", stray / "uninstall.exe")
    before = sorted(installed_files(stray.parent))
    try:
        silent(env, r"C:\stray\Downloads\uninstall.exe", "/S", UNINSTALL_REFUSED)
        time.sleep(3)
        check(sorted(installed_files(stray.parent)) == before, "the refusal removed something")
    finally:
        shutil.rmtree(stray.parent, ignore_errors=True)


def programs_carry_their_version_information(env):
    programs = [
        (env.installer, "Tamro 安装程序", "OrvInstall.exe"),
        (env.build / "uninstaller" / "OrvUnInstall.exe", "Tamro 卸载程序", "OrvUnInstall.exe"),
        (env.build / "flashplayer" / "orvflash.exe", "Tamro Flash 动画播放器", "orvflash.exe"),
        (env.client / "tamro" / "tamro.exe", "Tamro 演示客户端", "tamro.exe"),
    ]
    for exe, description, name in programs:
        check_version(env, exe, "2.6.3.2", description, name)


def check_version(env, exe, version, description, name):
    info = env.probe.ask("version", env.session.windows_path(exe))
    check(info.ok, f"{exe} has no version information")
    expected = {"fileversion": version, "productversion": version, "FileVersion": version,
                "ProductVersion": version, "ProductName": "Tamro", "CompanyName": "Tolma网络",
                "FileDescription": description, "OriginalFilename": name,
                "LegalCopyright": "Copyright © 2026 Tolma网络", "translation": "080404b0"}
    for key, value in expected.items():
        check(info.get(key) == value, f"{Path(exe).name} {key} is {info.get(key)!r}, not {value!r}")


def make_certificate(folder):
    """A throw-away code signing certificate in a PKCS#12 file protected by PASSWORD."""
    key, cert, p12 = folder / "key.pem", folder / "cert.pem", folder / "signer.p12"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Orvia Test Signing/O=Tolma", "-addext",
                    "extendedKeyUsage=codeSigning", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", p12,
                    "-passout", "env:ORVIA_TEST_P12_PASSWORD"],
                   env=dict(os.environ, ORVIA_TEST_P12_PASSWORD=PASSWORD), check=True,
                   capture_output=True)
    return cert, p12


TSA_CONFIG = """[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
serial = {serial}
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""


@contextmanager
def time_stamp_authority(folder):
    """A throw-away RFC 3161 time stamp server on the loopback interface, answering with
    `openssl ts -reply`: yields (its URL, its certificate, the list of requests answered)."""
    key, cert, config = folder / "tsa-key.pem", folder / "tsa.pem", folder / "ts.cnf"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Orvia Test TSA", "-addext",
                    "extendedKeyUsage=critical,timeStamping", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    (folder / "tsa-serial").write_text("01\n")
    config.write_text(TSA_CONFIG.format(serial=folder / "tsa-serial"))
    answered = []

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = folder / "tsa-query"
            reply = folder / "tsa-reply"
            query.write_bytes(self.rfile.read(int(self.headers["Content-Length"])))
            subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", query,
                            "-signer", cert, "-inkey", key, "-out", reply],
                           check=True, capture_output=True)
            data = reply.read_bytes()
            answered.append(len(data))
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def log_message(self, *args):
            pass

    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield f"http://127.0.0.1:{server.server_port}/", cert, answered
    finally:
        server.shutdown()
        server.server_close()


def verify_signature(path, cert, tsa_cert=None):
    command = ["osslsigncode", "verify", "-CAfile", cert, "-in", path]
    if tsa_cert:
        command[2:2] = ["-TSA-CAfile", tsa_cert]
    result = subprocess.run(command, capture_output=True, text=True)
    check(result.returncode == 0 and "Signature verification: ok" in result.stdout,
          f"{path} does not verify: {result.stdout[-400:]} {result.stderr[-400:]}")
    if tsa_cert:
        check("Timestamp Server Signature verification: ok" in result.stdout,
              f"{path} has no valid time stamp: {result.stdout[-400:]}")


def without_proxies():
    """The environment without proxy settings: the time stamp server is on the loopback."""
    return {k: v for k, v in os.environ.items() if k.lower() not in ("http_proxy", "https_proxy")}


def signed_package_verifies_and_installs(env):
    folder = r"C:\orvia-signed\tamro"
    env.clean([folder])
    with tempfile.TemporaryDirectory(prefix="orvia-sign-") as work, \
            time_stamp_authority(Path(work)) as (tsa_url, tsa_cert, stamped):
        work = Path(work)
        cert, p12 = make_certificate(work)
        # Every osslsigncode run goes through a wrapper that records its command line, so the
        # test sees that the password never is on one.
        log = work / "osslsigncode-args"
        wrapper = work / "bin" / "osslsigncode"
        wrapper.parent.mkdir()
        real = shutil.which("osslsigncode")
        wrapper.write_text(f'#!/bin/sh\nprintf "%s\\n" "$*" >>"{log}"\nexec "{real}" "$@"\n')
        wrapper.chmod(0o755)
        package = work / "signed setup.exe"
        tree = env.build.resolve()
        result = subprocess.run(
            ["bash", env.source / "tools" / "package.sh", "--version", SIGNED_VERSION, "--sign",
             p12, "--timestamp", tsa_url, env.client, package],
            env=dict(without_proxies(), PATH=f"{wrapper.parent}:{os.environ['PATH']}",
                     ORVIA_SIGN_PASSWORD=PASSWORD, ORVIA_BUILD_DIR=str(tree.parent),
                     ORVIA_PACKAGE_TREE=tree.name),
            capture_output=True, text=True, timeout=600)
        check(result.returncode == 0, f"package.sh failed: {result.stderr[-800:]}")
        check(PASSWORD not in result.stdout + result.stderr, "package.sh printed the password")
        calls = log.read_text().splitlines()
        check(len(calls) == 3, f"osslsigncode ran {len(calls)} times, not 3 (two programs and "
              "the package)")
        check(not any(PASSWORD in call or "-pass " in call for call in calls),
              "the password was on osslsigncode's command line")
        check(not (tree / "package" / "client").exists(), "the signed client copy was left")
        check(len(stamped) == 3, f"{len(stamped)} time stamps were asked for, not 3")
        verify_signature(package, cert, tsa_cert)
        check_version(env, package, SIGNED_VERSION, "Tamro 安装程序", "OrvInstall.exe")

        silent(env, env.session.windows_path(package), "/S /D=" + folder, INSTALLED)
        root = env.session.linux_path(folder)
        for program in ("tamro/uninstall.exe", "res/orvflash.exe"):
            verify_signature(root / program, cert, tsa_cert)
        # Everything else is the client and setup files byte for byte, as from an unsigned
        # package.
        expected = expected_files(env)
        check(sorted(installed_files(root)) == sorted(expected),
              "the signed package installs another set of files")
        for rel, source in expected.items():
            if rel not in ("tamro/uninstall.exe", "res/orvflash.exe"):
                check((root / rel).read_bytes() == source.read_bytes(), f"{rel} differs")
        check_entry_additions(env, folder, SIGNED_VERSION)
        # The signed uninstaller still recognises its installation and removes it.
        silent(env, folder + r"\tamro\uninstall.exe", "/S", UNINSTALLED)
        wait_until(lambda: not root.exists(), f"{folder} to be removed",
                   timeout=DELAYED_COMMAND_TIMEOUT)
    env.clean([r"C:\orvia-signed"])


SCENARIOS = [
    ("the programs carry their version information", programs_carry_their_version_information),
    ("/S installs into the default folder: files, registry, shortcuts, logon, no window",
     silent_install_with_defaults),
    ("/EDITION=hant /S /D= a folder with blanks and Chinese",
     silent_install_into_a_folder_with_blanks_and_chinese),
    ("silent failures (folder, arguments, damaged payload) register nothing",
     silent_install_failures_register_nothing),
    ("the entry's QuietUninstallString removes everything but the product keys",
     silent_uninstall_removes_everything_but_the_product_keys),
    ("a silent uninstall from a stray copy refuses", silent_uninstall_refuses_a_stray_copy),
    ("a signed, time-stamped package of another version verifies and installs",
     signed_package_verifies_and_installs),
]


if __name__ == "__main__":
    sys.exit(scenario_main("setup_admin_e2e", SCENARIOS, UninstallerEnv, UninstallerEnv.leave))
