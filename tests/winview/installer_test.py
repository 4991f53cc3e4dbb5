#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The installer and the portable archive that scripts/package-windows builds, run silently under
Wine: the files, the Start-menu entry, the start at logon, the event source and the uninstall entry
they leave, and what the uninstaller takes away and keeps.

Wine has no elevation and runs no scheduled task at logon: that the task starts the program elevated
at an administrator's logon is not proven here; that the installer registers it and the uninstaller
removes it is."""

import os
import shutil
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import windows_program as wp  # noqa: E402

INSTALL_DIR = wp.drive_c("Program Files", "Sentrybell")
START_MENU_ENTRY = wp.drive_c("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Sentrybell.lnk")
TASK = wp.drive_c("windows", "system32", "tasks", "Sentrybell")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sentrybell"
EVENT_SOURCE_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Sentrybell"
INSTALLED = ["sentrybell.exe", "uninstall.exe", os.path.join("doc", "user-guide.html"),
             os.path.join("doc", "windows-notes.html")]


def registered(key=UNINSTALL_KEY):
    return wp.run("reg", "query", key).returncode == 0


class Packages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = os.path.join(wp.BUILD_DIR, "packages")
        shutil.rmtree(cls.out, ignore_errors=True)
        built = subprocess.run([os.path.join(wp.SOURCE_DIR, "scripts", "package-windows"), wp.BUILD_DIR, cls.out],
                               capture_output=True, text=True, timeout=120)
        if built.returncode != 0:
            raise RuntimeError(built.stderr)
        cls.setup = os.path.join(cls.out, f"Sentrybell-{wp.VERSION}-setup.exe")
        cls.portable = os.path.join(cls.out, f"Sentrybell-{wp.VERSION}-portable.zip")

    def setUp(self):
        self.uninstall()

    def tearDown(self):
        self.uninstall()
        shutil.rmtree(INSTALL_DIR, ignore_errors=True)

    def install(self, *options):
        result = wp.run(self.setup, "/S", *options, timeout=120)
        self.assertEqual(result.returncode, 0, result.stdout)

    def uninstall(self):
        """Runs the installed uninstaller silently; it copies itself away and returns at once, so its
        work is waited for (bounded)."""
        uninstaller = os.path.join(INSTALL_DIR, "uninstall.exe")
        if not os.path.exists(uninstaller):
            return
        self.assertEqual(wp.run(uninstaller, "/S").returncode, 0)
        self.assertTrue(wp.wait_for(lambda: not os.path.exists(uninstaller) and not registered(), 20),
                        "the uninstaller did not finish")

    def test_the_installer_lays_out_the_program_and_the_uninstaller_keeps_the_operators_files(self):
        self.install("/LOGON")
        for name in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(INSTALL_DIR, name)), name)
        with open(os.path.join(INSTALL_DIR, "sentrybell.exe"), "rb") as program:
            self.assertEqual(program.read(2), b"MZ")
        self.assertTrue(os.path.isfile(START_MENU_ENTRY))
        self.assertTrue(os.path.isfile(TASK), "the start at logon is registered")
        with open(TASK, encoding="utf-8-sig") as task:
            definition = task.read()
        # What Wine keeps of the definition: the settings that keep the watchdog alive and alone.
        self.assertIn("<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>", definition)
        self.assertIn("<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>", definition)
        self.assertIn("<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>", definition)
        query = wp.run("reg", "query", UNINSTALL_KEY).stdout.decode("cp932", "replace")
        self.assertIn("DisplayVersion    REG_SZ    " + wp.VERSION, query)
        self.assertIn(r'"C:\Program Files\Sentrybell\uninstall.exe" /S', query)
        # The event source, with the program's own message table for Event Viewer.
        source = wp.run("reg", "query", EVENT_SOURCE_KEY).stdout.decode("cp932", "replace")
        self.assertIn(r"EventMessageFile    REG_EXPAND_SZ    C:\Program Files\Sentrybell\sentrybell.exe", source)
        self.assertIn("TypesSupported    REG_DWORD    0x7", source)

        # The operator's settings and log beside the program, and the program running.
        with open(os.path.join(INSTALL_DIR, "SETTING.ini"), "wb") as settings:
            settings.write("[SETTING]\r\nKIDOU=0\r\n".encode("cp932"))
        with open(os.path.join(INSTALL_DIR, "iiserr.txt"), "wb") as log:
            log.write("2026/12/07 09:05:03ＵＲＬ指定エラー\r\n".encode("cp932"))
        running = wp.start(os.path.join(INSTALL_DIR, "sentrybell.exe"), cwd=INSTALL_DIR)
        self.addCleanup(lambda: running.poll() is None and wp.run("taskkill", "/F", "/IM", "sentrybell.exe"))
        self.assertTrue(wp.wait_for(lambda: wp.probe()["window"] == "1", 30), "the program did not start")

        self.uninstall()
        self.assertEqual(running.wait(timeout=30), 0, "the uninstaller closed the running program")
        for name in INSTALLED:
            self.assertFalse(os.path.exists(os.path.join(INSTALL_DIR, name)), name)
        self.assertFalse(os.path.exists(os.path.join(INSTALL_DIR, "doc")))
        self.assertEqual(sorted(os.listdir(INSTALL_DIR)), ["SETTING.ini", "iiserr.txt"])
        self.assertFalse(os.path.exists(START_MENU_ENTRY))
        self.assertFalse(os.path.exists(TASK))
        self.assertFalse(registered())
        self.assertFalse(registered(EVENT_SOURCE_KEY))

    def test_without_logon_and_operator_files_nothing_stays(self):
        self.install()
        self.assertTrue(os.path.isfile(os.path.join(INSTALL_DIR, "sentrybell.exe")))
        self.assertFalse(os.path.exists(TASK), "the start at logon is chosen, not given")
        self.uninstall()
        self.assertFalse(os.path.exists(INSTALL_DIR))
        self.assertFalse(os.path.exists(START_MENU_ENTRY))

    def test_the_portable_archive_holds_the_program_as_installed(self):
        with zipfile.ZipFile(self.portable) as archive:
            names = sorted(name for name in archive.namelist() if not name.endswith("/"))
            self.assertEqual(names, ["Sentrybell/doc/user-guide.html", "Sentrybell/doc/windows-notes.html",
                                     "Sentrybell/sentrybell.exe"])
            self.assertEqual(archive.read("Sentrybell/sentrybell.exe")[:2], b"MZ")


if __name__ == "__main__":
    unittest.main(verbosity=2)
