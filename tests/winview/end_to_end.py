#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real sentrybell.exe under Wine: copied beside a SETTING.ini in code page 932, it watches a
loopback web server that goes down, comes back and goes down again, logs each failure in the ANSI
code page with CR LF, and at the second failure in a row logs the recovery, mails the alert through
aiosmtpd and takes its tray icon away. With "System ReStart" it then ends by itself. A recovery that
cannot start and a mail that cannot go are reported to the event log, each with its event ID.

A recorder stands in for iisreset.exe in the prefix's system folder and records the commands the
program starts."""

import datetime
import http.server
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import unittest
import zoneinfo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import windows_program as wp  # noqa: E402


SMTP_SERVER = os.path.join(wp.SOURCE_DIR, "tests", "support", "smtp_test_server.py")
SUBJECT = "ウェブサーバー停止"
# The event log's types, as ReportEventW takes them.
ERROR, WARNING, INFORMATION = 0x0001, 0x0002, 0x0004
# Wine keeps no event log (ReadEventLogW finds no record), but with these channels it traces every
# ReportEventW call: its type and event ID, then its line.
EVENT_TRACE = "-all,fixme+advapi,trace+eventlog,warn+eventlog,err+eventlog"
EVENT_CALL = re.compile(r"^([0-9a-f]+):fixme:advapi:ReportEventW \([0-9A-Fa-f]+,0x([0-9a-f]{4}),0x[0-9a-f]{4},"
                        r"0x([0-9a-f]{8}),")
EVENT_LINE = re.compile(r'^([0-9a-f]+):(?:err|warn|trace):eventlog:ReportEventW L"(.*)"$')


class WebServer:
    """A loopback web server on a port of its own choosing, which can be taken down and brought back
    on the same port."""

    def __init__(self):
        self.body = b"<html>first</html>"
        self.port = 0
        self._server = None
        self.start()

    def start(self):
        body = lambda: self.body  # noqa: E731

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                content = body()
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(content)))
                self.end_headers()
                self.wfile.write(content)

            def log_message(self, *args):
                pass

        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), Handler)
        self.port = self._server.server_address[1]
        threading.Thread(target=self._server.serve_forever, daemon=True).start()

    def stop(self):
        if self._server is not None:
            self._server.shutdown()
            self._server.server_close()
            self._server = None


class MailServer:
    """aiosmtpd on a free loopback port, recording every message."""

    def __init__(self, folder):
        self.record = os.path.join(folder, "smtp.record")
        self._process = subprocess.Popen(
            ["/usr/bin/python3", "-u", SMTP_SERVER, "--record", self.record, "--folder", folder, "--mode", "plain"],
            stdout=subprocess.PIPE, text=True)
        ready = self._process.stdout.readline().split()
        if len(ready) != 2 or ready[0] != "READY":
            raise RuntimeError("the SMTP server did not start")
        self.port = int(ready[1])

    def mails(self):
        if not os.path.exists(self.record):
            return []
        found = []
        with open(self.record, encoding="ascii") as lines:
            for line in lines:
                fields = line.rstrip("\n").split("\t")
                if fields[0] == "MAIL":
                    found.append({
                        "recipients": [bytes.fromhex(r).decode() for r in fields[2].split(",") if r],
                        "subject": bytes.fromhex(fields[6]).decode(),
                        "body": bytes.fromhex(fields[7]).decode("utf-8", "replace"),
                    })
        return found

    def stop(self):
        self._process.send_signal(signal.SIGTERM)
        self._process.wait(timeout=10)


def settings_file(folder, web_port, smtp_port, kidou, restart):
    """SETTING.ini as the window's saves write it: code page 932, CR LF."""
    log = wp.windows_path(os.path.join(folder, "ログ", "iiserr.txt"))
    lines = [
        "[SETTING]",
        f"LOGPATH={log}",
        f"SAVEFOLDER={wp.windows_path(os.path.join(folder, 'page'))}",
        "TIMEOUT=2",
        "TIMER=1",
        f"URL=http://127.0.0.1:{web_port}/check.htm",
        f"KIDOU={kidou}",
        "LOGIN=0",
        "ID=Administrator",
        "LOGINPASS=x",
        "PROXY=",
        f"RESTART={restart}",
        "[MAIL]",
        "ADDRESS=watch@example.test",
        # One space: no account, and the completeness check still sees the field filled.
        'MAILID=" "',
        'PASSWORD=" "',
        f"SMTP=127.0.0.1:{smtp_port}",
        f"SUBJECT={SUBJECT}",
        "SEND=ops@example.test",
        "CC=cc@example.test",
    ]
    with open(os.path.join(folder, "SETTING.ini"), "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


class WindowsProgram(unittest.TestCase):
    def setUp(self):
        scratch = os.path.join(wp.BUILD_DIR, "e2e")
        os.makedirs(scratch, exist_ok=True)
        # A folder name in Japanese: every path of the program passes through the W calls.
        self.folder = tempfile.mkdtemp(prefix="監視 ", dir=scratch)
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        os.makedirs(os.path.join(self.folder, "ログ"))
        os.makedirs(os.path.join(self.folder, "page"))
        shutil.copy(os.path.join(wp.APP_DIR, "sentrybell.exe"), self.folder)
        # The recorder in place of iisreset.exe, in the prefix's system folder; whatever stood there is
        # put back afterwards.
        self.system_iisreset = system_iisreset = wp.drive_c("windows", "system32", "iisreset.exe")
        if os.path.exists(system_iisreset):
            kept = os.path.join(self.folder, "iisreset.exe.kept")
            shutil.copy(system_iisreset, kept)
            self.addCleanup(shutil.copy, kept, system_iisreset)
        shutil.copy(wp.RECORDER, system_iisreset)
        self.calls = os.path.join(self.folder, "iisreset.calls")

        self.web = WebServer()
        self.addCleanup(self.web.stop)
        self.mail = MailServer(self.folder)
        self.addCleanup(self.mail.stop)
        self.program = None
        self.addCleanup(self.end_program)

    def start_program(self, kidou, restart, smtp_port=None, wine_debug="-all"):
        settings_file(self.folder, self.web.port, smtp_port or self.mail.port, kidou, restart)
        environment = dict(os.environ, SENTRYBELL_RECORDER_FILE=wp.windows_path(self.calls), WINEDEBUG=wine_debug)
        # What the program writes to standard error, for a failure's diagnosis.
        self.output = os.path.join(self.folder, "sentrybell.output")
        self.program = wp.start(os.path.join(self.folder, "sentrybell.exe"), cwd=self.folder, env=environment,
                                output=self.output)

    def said(self):
        """What the program wrote to standard error so far."""
        try:
            with open(self.output, encoding="utf-8", errors="replace") as output:
                return "\nsentrybell.exe said:\n" + output.read()
        except (AttributeError, FileNotFoundError):
            return ""

    def events(self):
        """The events the program wrote, as Wine traced them: (type, event ID, line) in order."""
        calls, found = {}, []
        with open(self.output, encoding="utf-8", errors="replace") as output:
            for line in output.read().splitlines():
                if call := EVENT_CALL.match(line):
                    calls[call[1]] = (int(call[2], 16), int(call[3], 16))
                elif (text := EVENT_LINE.match(line)) and text[1] in calls:
                    found.append((*calls.pop(text[1]), text[2]))
        return found

    def end_program(self):
        if self.program is not None and self.program.poll() is None:
            wp.run("taskkill", "/F", "/IM", "sentrybell.exe")
            self.program.wait(timeout=30)

    def page_copy(self):
        try:
            with open(os.path.join(self.folder, "page", "check.htm"), "rb") as page:
                return page.read()
        except FileNotFoundError:
            return None

    def log_lines(self):
        """The log's lines, decoded from code page 932; each must end in CR LF."""
        try:
            with open(os.path.join(self.folder, "ログ", "iiserr.txt"), "rb") as log:
                data = log.read()
        except FileNotFoundError:
            return []
        self.assertTrue(data.endswith(b"\r\n"), data)
        lines = data.split(b"\r\n")[:-1]
        for line in lines:
            self.assertNotIn(b"\n", line, "every line ends in CR LF")
        return [line.decode("cp932") for line in lines]

    def failure_lines(self):
        return [line for line in self.log_lines() if line.endswith("ＵＲＬ指定エラー")]

    def recovery_commands(self):
        """The arguments of each start of iisreset.exe, space-separated, from the recorder's record."""
        commands = []
        try:
            with open(self.calls, encoding="utf-8") as record:
                for line in record.read().splitlines():
                    if line.startswith("COMMAND "):
                        commands.append([])
                    elif line.startswith("ARG "):
                        commands[-1].append(line[len("ARG "):])
        except FileNotFoundError:
            pass
        return [" ".join(arguments) for arguments in commands]

    def assert_recovery_commands(self, expected):
        self.assertTrue(wp.wait_for(lambda: self.recovery_commands(), 10), "iisreset.exe was not started")
        self.assertEqual(self.recovery_commands(), expected)

    def test_restart_chosen_the_watchdog_logs_mails_and_goes_on_without_its_icon(self):
        self.start_program(kidou=1, restart=0)
        self.assertTrue(wp.wait_for(lambda: self.page_copy() == b"<html>first</html>", 30), "no first check" + self.said())
        state = wp.probe()
        self.assertEqual((state["window"], state["visible"], state["tray"]), ("1", "0", "1"),
                         "KIDOU 1: the window hidden, only the tray icon")
        self.assertTrue(state["caption"].endswith("　正常読み込み済み"), state["caption"])

        # Down once: one failure, no alert.
        self.web.stop()
        self.assertTrue(wp.wait_for(lambda: len(self.failure_lines()) == 1, 20), self.log_lines())
        # Back: the next check reads the page again and the count starts over.
        self.web.body = b"<html>back</html>"
        self.web.start()
        self.assertTrue(wp.wait_for(lambda: self.page_copy() == b"<html>back</html>", 20), "no check after the return")
        # Down again: two failures in a row are an alert.
        self.web.stop()
        self.assertTrue(wp.wait_for(lambda: len(self.mail.mails()) >= 2, 30), str(self.log_lines()) + self.said())

        lines = self.log_lines()
        self.assertEqual(len(self.failure_lines()), 3, lines)
        self.assertEqual([line for line in lines if line.endswith("\t自動 Costom:0\tIIS再起動！！")], [lines[-1]])
        tokyo = datetime.datetime.now(zoneinfo.ZoneInfo("Asia/Tokyo"))
        for line in lines:
            stamp = datetime.datetime.strptime(line[:19], "%Y/%m/%d %H:%M:%S").replace(tzinfo=tokyo.tzinfo)
            self.assertLess(abs((tokyo - stamp).total_seconds()), 300, "local time of the machine: " + line)

        mails = self.mail.mails()
        self.assertEqual(len(mails), 2)
        self.assertEqual(mails[0]["recipients"], ["ops@example.test"])
        self.assertEqual(mails[1]["recipients"], ["cc@example.test"])
        for received in mails:
            self.assertEqual(received["subject"], SUBJECT)
            counts = [line.split("\t")[1] for line in received["body"].split("\r\n") if line]
            self.assertEqual(counts, ["1回目\u3000ＵＲＬ指定エラー", "1回目\u3000ＵＲＬ指定エラー",
                                      "2回目\u3000ＵＲＬ指定エラー"], received["body"])
        self.assert_recovery_commands(["/RESTART"])

        # The alert took the icon away; the program watches on.
        self.assertTrue(wp.wait_for(lambda: wp.probe()["tray"] == "0", 10))
        self.assertIsNone(self.program.poll())
        # Closing the window unloads it and ends the program.
        wp.run(wp.PROBE, "close")
        self.assertEqual(self.program.wait(timeout=30), 0)

    def test_reboot_chosen_the_watchdog_mails_and_ends(self):
        self.start_program(kidou=0, restart=1)
        self.assertTrue(wp.wait_for(lambda: self.page_copy() == b"<html>first</html>", 30), "no first check" + self.said())
        state = wp.probe()
        self.assertEqual((state["window"], state["visible"], state["tray"]), ("1", "1", "1"))

        self.web.stop()
        self.assertEqual(self.program.wait(timeout=30), 0, "the program ends by itself")
        lines = self.log_lines()
        self.assertEqual(len(self.failure_lines()), 2, lines)
        self.assertTrue(lines[-1].endswith("\t自動 Costom:0\tIIS再起動！！"), lines)
        mails = self.mail.mails()
        self.assertEqual([m["recipients"] for m in mails], [["ops@example.test"], ["cc@example.test"]])
        self.assert_recovery_commands(["/REBOOT"])
        self.assertEqual(wp.probe()["window"], "0")

    def test_each_step_and_each_failure_is_an_event_of_its_own(self):
        os.remove(self.system_iisreset)
        # Bound and never listening: every connection to it is refused at once.
        closed = socket.socket()
        closed.bind(("127.0.0.1", 0))
        self.addCleanup(closed.close)
        self.web.stop()
        self.start_program(kidou=0, restart=0, smtp_port=closed.getsockname()[1], wine_debug=EVENT_TRACE)
        kinds = lambda: [event[:2] for event in self.events()]  # noqa: E731
        self.assertTrue(wp.wait_for(lambda: kinds().count((ERROR, 503)) >= 2, 30), self.said())

        # The operational events (1xx to 5xx) around the operator's reports of what went wrong (401, 501).
        events = self.events()
        self.assertEqual(kinds()[:9], [(INFORMATION, 100), (INFORMATION, 200), (WARNING, 300), (WARNING, 300),
                                       (ERROR, 401), (ERROR, 501), (ERROR, 503), (ERROR, 501), (ERROR, 503)],
                         self.said())
        self.assertTrue(events[0][2].startswith("event=started version="), events[0][2])
        self.assertEqual(events[3][2], "event=check_failed outcome=url_not_opened count=2")
        self.assertIn("cannot start", events[4][2])
        self.assertIn("iisreset.exe", events[4][2])
        self.assertIn('mail to \\"ops@example.test\\"', events[5][2])
        self.assertTrue(events[6][2].startswith("event=mail_failed recipient=ops@example.test reason="), events[6][2])
        self.assertIn('mail to \\"cc@example.test\\"', events[7][2])
        self.assertIsNone(self.program.poll(), "the watchdog goes on")


if __name__ == "__main__":
    unittest.main(verbosity=2)
