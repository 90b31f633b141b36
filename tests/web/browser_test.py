#!/usr/bin/python3
"""The venue page in a real browser (Chromium headless through its driver), served by
tarvel-batch --watch --serve on the sample meet: the board follows a race printed without a
reload, a team downloads an e-certificate with the access code, the desk reprints with the
PIN, and the pages behind a code refuse without it."""

import glob
import os
import shutil
import sys
import tempfile
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from venuedesk import ACCESS_CODE, DESK_PIN, VenueDesk, wait_until  # noqa: E402


def chromium():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # A phone's screen; no sandbox as root in CI; no shared memory of any size needed.
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                     "--disable-gpu", "--window-size=390,844", "--lang=ja"):
        options.add_argument(argument)
    service = Service(executable_path="/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    driver.set_page_load_timeout(30)
    return driver


class BrowserTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desk = VenueDesk()
        cls.downloads = tempfile.mkdtemp(prefix="tarvel-downloads-")
        try:
            cls.driver = chromium()
        except Exception:
            cls.desk.stop()
            cls.desk.remove()
            shutil.rmtree(cls.downloads, ignore_errors=True)
            raise

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.downloads, ignore_errors=True)
        status = cls.desk.stop()
        told = cls.desk.told()
        cls.desk.remove()
        assert status == 0, "the desk ended with %d:\n%s" % (status, told)

    def setUp(self):
        self.driver.delete_all_cookies()

    def element(self, css, seconds=20):
        return wait_until(lambda: self.driver.find_elements(By.CSS_SELECTOR, css), seconds,
                          "an element %s on %s" % (css, self.driver.current_url))[0]

    def read(self, css, what):
        """`what` ("state", "text") of the element `css` now; None while there is none. Read
        in the page at once: the board replaces its rows as they change."""
        return self.driver.execute_script(
            "const found = document.querySelector(arguments[0]);"
            "if (!found) return null;"
            "return arguments[1] === 'state' ? found.dataset.state : found.textContent;",
            css, what)

    def log_in(self, path, code):
        self.driver.get(self.desk.url + path)
        field = self.element("input#code")
        field.send_keys(code)
        field.find_element(By.XPATH, "./ancestor::form").submit()

    def test_board_shows_a_printed_event_without_reloading(self):
        index = 1
        race = self.desk.heats(index)[-1]
        self.driver.get(self.desk.url)
        row = "li#event-%d" % race
        wait_until(lambda: self.read(row, "state"), 20, "the board to show race %d" % race)
        self.assertNotEqual(self.read(row, "state"), "printed")
        self.assertEqual(self.driver.title, "表彰ボード")
        # Kept by this page only: a reload would lose it.
        self.driver.execute_script("window.tarvelStillHere = 'yes';")

        self.desk.mark_ready(self.desk.heats(index))
        wait_until(lambda: self.read(row, "state") == "printed", 60,
                   "the board to show race %d printed; the desk said:\n%s"
                   % (race, self.desk.told()))
        self.assertEqual(self.driver.execute_script("return window.tarvelStillHere;"), "yes")
        self.assertRegex(self.read(row + " .badge", "text"), r"^印刷済 \d\d:\d\d$")
        # Its ceremony list follows: one line per certificate printed at least.
        lines = wait_until(lambda: self.read(row + " .ceremony tr", "text"), 10,
                           "the ceremony list of race %d" % race)
        self.assertTrue(lines.strip())

    def test_team_downloads_an_e_certificate_with_the_code(self):
        self.desk.print_event(2)
        self.driver.execute_cdp_cmd("Page.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": self.downloads})
        self.log_in("team", ACCESS_CODE)
        self.element("a[href^='/team?a=']").click()
        link = self.element("a[download]")
        name = link.text.strip()
        link.click()
        saved = os.path.join(self.downloads, name)
        wait_until(lambda: os.path.exists(saved)
                   and not glob.glob(os.path.join(self.downloads, "*.crdownload")), 30,
                   "%s to be downloaded" % name)
        originals = glob.glob(os.path.join(self.desk.data, "e-certificates", "*", name))
        self.assertEqual(len(originals), 1, originals)
        with open(saved, "rb") as got, open(originals[0], "rb") as kept:
            self.assertEqual(got.read(), kept.read())

    def test_desk_reprints_a_chosen_row_with_the_pin(self):
        self.desk.print_event(3)
        before = self.desk.pdf_files()
        reprints = len(self.desk.documents("reprint"))
        self.log_in("desk", DESK_PIN)
        choice = self.element("input[type=checkbox][name=id]")
        choice.click()
        choice.find_element(By.XPATH, "./ancestor::form").find_element(
            By.CSS_SELECTOR, "button[type=submit]").click()
        # Many certificates are reprinted only when asked again, as the window asks.
        again = self.driver.find_elements(By.CSS_SELECTOR, "input[name=confirm]")
        if again:
            again[0].find_element(By.XPATH, "./ancestor::form").submit()
        wait_until(lambda: len(self.desk.pdf_files()) > len(before), 60,
                   "the reprint's PDF file; the desk said:\n%s" % self.desk.told())
        newest = wait_until(lambda: self.desk.documents("reprint")[reprints:], 30,
                            "the reprint in the ledger")
        self.assertEqual(newest[-1][2], "127.0.0.1", newest)

    def test_pages_behind_a_code_refuse_without_it(self):
        self.desk.print_event(0)
        for path in ("desk", "team"):
            with self.subTest(path=path):
                self.log_in(path, "000000")
                self.element("input#code")  # asked again
                self.assertFalse(self.driver.find_elements(By.CSS_SELECTOR, "input[name=id]"))
                self.assertFalse(self.driver.find_elements(By.CSS_SELECTOR, "a[download]"))
        # Without a session nothing behind the codes answers, whatever is asked.
        first = self.desk.documents()[0][0]
        status, _, body = self.desk.get("/team/file/%d" % first)
        self.assertNotEqual(status, 200)
        self.assertNotIn(b"%PDF", body)
        status, _, body = self.desk.get("/desk?q=1")
        self.assertNotIn(b'name="id"', body)
        status, _, body = self.desk.post("/team/zip", {"a": "x"})
        self.assertNotIn(status, (200, 202))
        self.assertFalse(body.startswith(b"PK"))
        status, _, body = self.desk.post("/desk/reprint", {"id": str(first)})
        self.assertNotIn(status, (200, 202), body[:200])


if __name__ == "__main__":
    unittest.main(verbosity=2)
