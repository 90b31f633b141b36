#!/usr/bin/python3
"""Hostile requests over raw sockets against a running desk (tarvel-batch --watch --serve on
the sample meet): paths that try to leave the site, oversized headers and bodies, a change
without its CSRF token, wrong codes past the limit, a thousand idle connections and a
slow drip. Each is answered with a plain status and no internals, and the desk keeps
printing meanwhile.

The cases run in the order of their names: the wrong codes come last, as the refusal that
follows them holds for every code from this address."""

import os
import re
import resource
import select
import socket
import sys
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from venuedesk import ACCESS_CODE, DESK_PIN, VenueDesk, wait_until  # noqa: E402

IDLE_CONNECTIONS = 1000
CONNECTION_LIMIT = 512  # the server's default: two connections for each of some 250 phones


def status_of(answer):
    found = re.match(rb"HTTP/1\.[01] (\d{3}) ", answer)
    return int(found.group(1)) if found else None


def header(answer, name):
    head = answer.split(b"\r\n\r\n", 1)[0].decode("latin-1")
    values = re.findall(r"(?im)^%s:\s*(.*?)\s*$" % re.escape(name), head)
    return values


class Raw:
    """One connection to the desk, spoken to byte by byte."""

    def __init__(self, port, timeout=20):
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=timeout)

    def send(self, data):
        """Sends what the peer still takes; False once it closed."""
        try:
            self.socket.sendall(data)
            return True
        except OSError:
            return False

    def answer(self):
        """Everything until the peer closes (or the timeout)."""
        received = b""
        try:
            while True:
                part = self.socket.recv(65536)
                if not part:
                    break
                received += part
        except (socket.timeout, ConnectionResetError):
            pass
        return received

    def close(self):
        self.socket.close()


def exchange(port, request):
    raw = Raw(port)
    try:
        raw.send(request)
        return raw.answer()
    finally:
        raw.close()


def get(path, extra=b""):
    return (b"GET " + path + b" HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + extra
            + b"\r\n")


def post(path, body, extra=b""):
    return (b"POST " + path + b" HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
            b"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
            + str(len(body)).encode() + b"\r\n" + extra + b"\r\n" + body)


class HostileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desk = VenueDesk()
        cls.port = cls.desk.port
        cls.next_event = 0

    @classmethod
    def tearDownClass(cls):
        status = cls.desk.stop()
        told = cls.desk.told()
        cls.desk.remove()
        assert status == 0, "the desk ended with %d:\n%s" % (status, told)

    def ask(self, request):
        return exchange(self.port, request)

    def assertPlain(self, answer, statuses):
        """A status of `statuses`, and nothing of the desk's insides in the answer."""
        self.assertIn(status_of(answer), statuses, answer[:300])
        for inside in (self.desk.root.encode(), b"root:x:", b"Race.dat", b"what():",
                       b"boost", b"tarvel::"):
            self.assertNotIn(inside, answer)

    def keeps_printing(self):
        """An event turned ready now is printed."""
        index = HostileTest.next_event
        HostileTest.next_event += 1
        races = self.desk.heats(index)
        self.desk.mark_ready(races)
        return races

    def test_1_paths_never_leave_the_site(self):
        targets = [
            b"/../../../../etc/passwd",
            b"/assets/../../../../etc/passwd",
            b"/%2e%2e/%2e%2e/%2e%2e/etc/passwd",
            b"/assets/%2e%2e%2f%2e%2e%2fRace.dat",
            b"/assets/..%2f..%2f..%2fetc%2fpasswd",
            b"/%252e%252e/%252e%252e/etc/passwd",
            b"/assets/%252e%252e%252fRace.dat",
            b"/assets/..%5c..%5cRace.dat",
            b"/assets/%00../board.js",
            b"//etc/passwd",
            b"/team/file/..%2f..%2fRace.dat",
            b"/team/file/%2fetc%2fpasswd",
            b"/team/file/-1",
            b"/e-certificates/",
            b"http://127.0.0.1/../../etc/passwd",
        ]
        for target in targets:
            with self.subTest(target=target):
                self.assertPlain(self.ask(get(target)), (303, 400, 401, 403, 404))

    def test_2_every_answer_carries_the_guarding_headers(self):
        for target in (b"/", b"/board.json", b"/no-such-page", b"/../x"):
            with self.subTest(target=target):
                answer = self.ask(get(target))
                self.assertEqual(header(answer, "Content-Security-Policy")[:1],
                                 ["default-src 'self'"], answer[:400])
                self.assertEqual(header(answer, "X-Content-Type-Options"), ["nosniff"])
                self.assertEqual(header(answer, "X-Frame-Options"), ["DENY"])

    def test_3_oversized_headers_and_bodies_are_refused(self):
        cases = [
            ("one header of 9 KB", get(b"/", b"X-Long: " + b"a" * 9000 + b"\r\n"), (431,)),
            ("200 headers of 60 bytes",
             get(b"/", b"".join(b"X-Many-%03d: %s\r\n" % (i, b"b" * 48) for i in range(200))),
             (431,)),
            ("a body of 70 KB", post(b"/team/login", b"code=" + b"1" * 70000), (413,)),
            ("a body of 70 KB in chunks",
             b"POST /team/login HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
             b"Transfer-Encoding: chunked\r\n\r\n"
             + b"".join(b"2000\r\n" + b"c" * 0x2000 + b"\r\n" for _ in range(9)) + b"0\r\n\r\n",
             (413,)),
            ("a body announced of 1 GB",
             b"POST /team/login HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
             b"Content-Length: 1000000000\r\n\r\ncode=1", (413,)),
        ]
        for name, request, statuses in cases:
            with self.subTest(case=name):
                self.assertPlain(self.ask(request), statuses)
        races = self.keeps_printing()
        self.desk.wait_printed(races)

    def log_in_to_the_desk(self):
        """A desk session: its cookie ("name=value") and its CSRF token."""
        answer = self.ask(post(b"/desk/login", b"code=" + DESK_PIN.encode()))
        self.assertIn(status_of(answer), (302, 303), answer[:300])
        cookies = header(answer, "Set-Cookie")
        self.assertEqual(len(cookies), 1, cookies)
        attributes = [part.strip().lower() for part in cookies[0].split(";")]
        self.assertIn("httponly", attributes)
        self.assertIn("samesite=strict", attributes)
        self.assertTrue(any(part.startswith(("max-age=", "expires=")) for part in attributes))
        cookie = cookies[0].split(";")[0].encode()
        page = self.ask(get(b"/desk", b"Cookie: " + cookie + b"\r\n"))
        token = re.search(rb'name="csrf" value="([0-9a-f]+)"', page)
        self.assertTrue(token, page[:500])
        return cookie, token.group(1).decode()

    def test_4_changes_without_the_csrf_token_are_refused(self):
        self.desk.wait_printed(self.keeps_printing())  # a row to ask a reprint of
        cookie, token = self.log_in_to_the_desk()
        _, others = self.log_in_to_the_desk()
        printed = self.desk.pdf_files()
        row = str(self.desk.documents()[0][0])
        reprints = self.desk.documents("reprint")
        cases = [
            ("no token", {"id": row}, b""),
            ("a forged token", {"id": row, "csrf": "0" * len(token)}, b""),
            ("another session's token", {"id": row, "csrf": others}, b""),
        ]
        for name, fields, extra in cases:
            with self.subTest(case=name):
                body = urllib.parse.urlencode(fields).encode()
                answer = self.ask(post(b"/desk/reprint", body,
                                       b"Cookie: " + cookie + b"\r\n" + extra))
                self.assertPlain(answer, (403,))
        # A login sent from another site's page, the right PIN and all.
        answer = self.ask(post(b"/desk/login", b"code=" + DESK_PIN.encode(),
                               b"Origin: http://elsewhere.example\r\n"))
        self.assertPlain(answer, (403,))
        self.assertFalse(header(answer, "Set-Cookie"))
        self.assertEqual(self.desk.documents("reprint"), reprints)
        self.assertEqual(self.desk.pdf_files(), printed)

    def test_5_idle_connections_are_bounded_and_cut_off(self):
        soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
        if soft < IDLE_CONNECTIONS + 100:
            resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, IDLE_CONNECTIONS + 200), hard))
        idle = []
        try:
            for _ in range(IDLE_CONNECTIONS):
                try:
                    idle.append(socket.create_connection(("127.0.0.1", self.port), timeout=10))
                except OSError:
                    break  # refused at once is as good as closed at once
            races = self.keeps_printing()
            open_ = {connection.fileno(): connection for connection in idle}

            def closed_by_the_desk():
                # poll, not select: the descriptors go beyond select's 1024.
                poller = select.poll()
                for descriptor in open_:
                    poller.register(descriptor, select.POLLIN)
                for descriptor, _ in poller.poll(50):
                    try:
                        if open_[descriptor].recv(1024, socket.MSG_DONTWAIT) == b"":
                            del open_[descriptor]
                    except BlockingIOError:
                        pass
                    except OSError:
                        del open_[descriptor]
                return open_

            # Beyond the limit they are closed at once; the rest when idle too long.
            wait_until(lambda: len(closed_by_the_desk()) <= CONNECTION_LIMIT, 10,
                       "the connections beyond %d to be closed" % CONNECTION_LIMIT)
            self.desk.wait_printed(races)
            wait_until(lambda: not closed_by_the_desk(), 60,
                       "the idle connections to be cut off")
        finally:
            for connection in idle:
                connection.close()
        self.assertPlain(self.ask(get(b"/")), (200,))

    def test_6_a_slow_drip_is_cut_off(self):
        raw = Raw(self.port, timeout=60)
        try:
            raw.send(b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Drip: ")
            started = time.monotonic()
            # A byte every half second, never the request's end, until the desk hangs up.
            while raw.send(b"d") and time.monotonic() - started < 60:
                readable, _, _ = select.select([raw.socket], [], [], 0.5)
                if readable:
                    break
            answer = raw.answer()
        finally:
            raw.close()
        self.assertLess(time.monotonic() - started, 60, "the drip was never cut off")
        if answer:
            self.assertPlain(answer, (408,))
        races = self.keeps_printing()
        self.desk.wait_printed(races)

    def test_9_wrong_codes_past_the_limit_are_refused_for_a_while(self):
        for attempt in range(5):
            with self.subTest(attempt=attempt):
                self.assertPlain(self.ask(post(b"/team/login", b"code=%06d" % attempt)), (401,))
        self.assertPlain(self.ask(post(b"/team/login", b"code=999999")), (429,))
        # Refused, the right code included, for the minute that follows.
        self.assertPlain(self.ask(post(b"/team/login", b"code=" + ACCESS_CODE.encode())), (429,))
        races = self.keeps_printing()
        self.desk.wait_printed(races)


if __name__ == "__main__":
    unittest.main(verbosity=2)
