"""A headless desk for the venue page's tests: the sample meet with every race waiting, and
tarvel-batch --watch --serve on it, printing to PDF files (there is no printer in CI).

Everything waits on a condition with a deadline; nothing sleeps for a fixed time alone."""

import http.client
import json
import os
import re
import shutil
import signal
import sqlite3
import subprocess
import tempfile
import threading
import time
import urllib.parse

ACCESS_CODE = "482913"
DESK_PIN = "735104"


def bin_dir():
    """Where the programs are: $TARVEL_BIN (set by CTest), or the build folder beside."""
    return os.environ.get("TARVEL_BIN") or os.path.join(
        os.path.dirname(__file__), "..", "..", "build-test", "bin")


def wait_until(condition, seconds, what):
    """Returns condition()'s first true value; fails with `what` after `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("waited %g s for %s" % (seconds, what))
        time.sleep(0.02)


class VenueDesk:
    """Started in the constructor; stop() sends SIGTERM and returns the exit status."""

    def __init__(self, extra_options=()):
        self.root = tempfile.mkdtemp(prefix="tarvel-venue-")
        meet = os.path.join(self.root, "meet")
        subprocess.run([os.path.join(bin_dir(), "tarvel-sample-meet"), meet], check=True,
                       stdout=subprocess.DEVNULL)
        self.data = os.path.join(meet, "data")
        self.race_dat = os.path.join(self.data, "Race.dat")
        self.ledger = os.path.join(self.data, "tarvel-ledger.db")
        self.pdf = os.path.join(self.root, "pdf")
        # Every race waits: each test turns the events it needs ready.
        with open(self.race_dat, "r+b") as table:
            statuses = bytearray(table.read())
            self.races = statuses.rstrip(b" ").count(b"8")
            statuses[:self.races] = b"0" * self.races
            table.seek(0)
            table.write(statuses)
        code = self._secret("access-code", ACCESS_CODE)
        pin = self._secret("desk-pin", DESK_PIN)
        environment = dict(os.environ, LC_ALL="C.UTF-8", QT_QPA_PLATFORM="offscreen",
                           XDG_CONFIG_HOME=os.path.join(self.root, "config"))
        self.process = subprocess.Popen(
            [os.path.join(bin_dir(), "tarvel-batch"), "-C", os.path.join(meet, "work"),
             "--watch", "--interval", "100", "--serve", "--listen", "127.0.0.1:0",
             "--pdf", self.pdf, "--e-certificates", "--access-code-file", code,
             "--desk-pin-file", pin, *extra_options],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
            env=environment)
        self.lines = []
        self._lock = threading.Lock()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        try:
            said = wait_until(lambda: self.said(r"served at (http://127\.0\.0\.1:(\d+)/)"),
                              60, "the venue page to be served")
            self.url = said.group(1)
            self.port = int(said.group(2))
            wait_until(lambda: self.said(r"watching "), 30, "the watching to begin")
        except AssertionError as trouble:
            self.process.kill()
            self.process.wait()
            told = self.told()
            self.remove()
            raise AssertionError("%s; the desk said:\n%s" % (trouble, told)) from None

    def _secret(self, name, text):
        path = os.path.join(self.root, name)
        with open(os.open(path, os.O_WRONLY | os.O_CREAT, 0o600), "w") as secret:
            secret.write(text + "\n")
        return path

    def _read(self):
        for raw in self.process.stderr:
            with self._lock:
                self.lines.append(raw.decode("utf-8", "replace").rstrip("\n"))

    def said(self, pattern):
        """The first match of `pattern` in what the desk said so far."""
        with self._lock:
            for line in self.lines:
                found = re.search(pattern, line)
                if found:
                    return found
        return None

    def told(self):
        with self._lock:
            return "\n".join(self.lines)

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            status = self.process.wait(60)
        except subprocess.TimeoutExpired:
            self.process.kill()
            status = self.process.wait()
        self._reader.join(10)
        return status

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)

    # The meet -----------------------------------------------------------------------------

    def get(self, path, headers=None):
        """(status, headers, body) of a GET on the desk."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=20)
        try:
            connection.request("GET", path, headers=headers or {})
            answer = connection.getresponse()
            return answer.status, answer.getheaders(), answer.read()
        finally:
            connection.close()

    def post(self, path, fields, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=20)
        try:
            body = urllib.parse.urlencode(fields)
            connection.request("POST", path, body=body, headers=dict(
                {"Content-Type": "application/x-www-form-urlencoded"}, **(headers or {})))
            answer = connection.getresponse()
            return answer.status, answer.getheaders(), answer.read()
        finally:
            connection.close()

    def board(self):
        status, _, body = self.get("/board.json")
        assert status == 200, "GET /board.json: %d" % status
        return json.loads(body)

    def heats(self, index):
        """The races of the board's event `index` (heats of one event are consecutive races,
        the event named by its last)."""
        events = self.board()["events"]
        last = events[index]["race"]
        first = events[index - 1]["race"] + 1 if index > 0 else 1
        return list(range(first, last + 1))

    def statuses(self):
        with open(self.race_dat, "rb") as table:
            return table.read()

    def mark_ready(self, races):
        """As the meet-management system does: the status bytes written in place."""
        with open(self.race_dat, "r+b") as table:
            for race in races:
                table.seek(race - 1)
                table.write(b"8")

    def wait_printed(self, races, seconds=60):
        wait_until(lambda: all(self.statuses()[race - 1:race] == b"9" for race in races),
                   seconds, "races %s to be printed; the desk said:\n%s" % (races, self.told()))

    def print_event(self, index):
        """Turns the event ready and waits for it to be printed; its last heat."""
        races = self.heats(index)
        if any(self.statuses()[race - 1:race] != b"9" for race in races):
            self.mark_ready(races)
            self.wait_printed(races)
        return races[-1]

    def pdf_files(self):
        return sorted(os.listdir(self.pdf)) if os.path.isdir(self.pdf) else []

    def documents(self, kind=None):
        """The ledger's documents, oldest first: (id, title, requested_by); of one kind when
        given, since a printed event's e-certificates reach the ledger after its marks."""
        if not os.path.exists(self.ledger):
            return []
        connection = sqlite3.connect("file:%s?mode=ro" % self.ledger, uri=True, timeout=10)
        try:
            return connection.execute(
                "SELECT id, title, requested_by FROM documents WHERE ?1 IS NULL OR kind = ?1"
                " ORDER BY id", (kind,)).fetchall()
        finally:
            connection.close()
