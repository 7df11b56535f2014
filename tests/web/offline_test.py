#!/usr/bin/env python3
"""The page installed and offline: a web app manifest Chromium finds nothing wrong with,
a service worker that keeps the page's own files, the table asked for again at every
split (an unchanged one costs a round trip), and offline the table read last, said once.
   offline_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH
"""
import json
import os
import re
import time
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

import harness

HAO = "好\r\n女子\r\n".encode("cp936")
HAO_EDITED = "好\r\n女了\r\n".encode("cp936")


class Offline(unittest.TestCase):
    def setUp(self):
        self.work = harness.work_folder("mardovane-offline-")
        self.served = harness.Site(self.work)
        self.served.write("keyword.info", HAO)
        self.driver = harness.browser(self.work)

    def tearDown(self):
        self.driver.quit()
        self.served.stop()

    def wait_controlled(self):
        """Until the service worker is active and controls the page."""
        harness.open_page(self.driver, self.served.url)
        self.driver.execute_async_script(
            "navigator.serviceWorker.ready.then(() => arguments[0]());")
        harness.open_page(self.driver, self.served.url, clear=False)
        WebDriverWait(self.driver, 30).until(
            lambda d: d.execute_script("return navigator.serviceWorker.controller !== null"))

    def split(self, text):
        self.driver.execute_script("document.getElementById('Text1').value = arguments[0]", text)
        self.driver.find_element(By.ID, "Label1").click()
        WebDriverWait(self.driver, 60).until(
            lambda d: not d.execute_script("return window.pageWindow.running()"))
        return self.driver.execute_script("return document.getElementById('Text1').value")

    def test_installable(self):
        self.wait_controlled()
        manifest = self.driver.execute_cdp_cmd("Page.getAppManifest", {})
        self.assertEqual(manifest.get("errors"), [])
        data = json.loads(manifest["data"])
        self.assertEqual(data["short_name"], "拆字")
        # Text shared from another app opens the page with it, and Android's own icon shape
        # has an icon made for it.
        self.assertEqual(data["share_target"]["params"]["text"], "text")
        self.assertIn("maskable", [icon.get("purpose") for icon in data["icons"]])
        installability = self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        self.assertEqual(installability["installabilityErrors"], [])

    def test_each_split_asks_again_and_offline_splits_with_the_last_table(self):
        self.wait_controlled()
        self.assertEqual(self.split("好"), "女子")
        self.served.responses.clear()
        self.assertEqual(self.split("好"), "女子")
        # Asked for again, and unchanged: a round trip, not a download.
        self.assertEqual([code for path, code in self.served.responses
                          if path.endswith("keyword.info")], [304])
        self.assertFalse(self.driver.find_element(By.ID, "offline").is_displayed())

        self.served.stop()
        harness.open_page(self.driver, self.served.url, clear=False)  # a reload, offline
        self.assertEqual(self.split("好"), "女子")
        offline = self.driver.find_element(By.ID, "offline")
        self.assertTrue(offline.is_displayed())
        self.assertIn("上次读到的拆字表", offline.text)
        self.assertFalse(self.driver.execute_script("return document.getElementById('failure').open"))

        self.served.write("keyword.info", HAO_EDITED)  # edited on the server meanwhile
        self.served.start()
        self.assertEqual(self.split("好"), "女了")
        self.assertFalse(offline.is_displayed())


    def test_offline_before_the_first_split(self):
        # The shipped tables came with the page's files: offline, the installed page
        # splits with them, and says it is the table it has.
        self.wait_controlled()
        self.served.stop()
        harness.open_page(self.driver, self.served.url, clear=False)
        self.assertEqual(self.split("好"), "女子")
        self.assertTrue(self.driver.find_element(By.ID, "offline").is_displayed())
        self.assertFalse(self.driver.execute_script("return document.getElementById('failure').open"))

    def test_a_web_page_in_place_of_the_table_is_refused_and_not_kept(self):
        self.wait_controlled()
        self.assertEqual(self.split("好"), "女子")
        failure = self.driver.find_element(By.ID, "failureMessage")
        ok = self.driver.find_element(By.ID, "failureOk")
        # A server's page: marked as one, or only starting like one, after a byte-order
        # mark or a comment.
        for page in [b"<!DOCTYPE html><p>Not found</p>",
                     "\ufeff<html><body>登录</body></html>".encode("utf-8"),
                     b"<!-- proxy -->\n  <!-- error page -->\n<html><p>502</p></html>"]:
            self.served.write("keyword.info", page)
            self.assertEqual(self.split("好"), "好", page)
            self.assertIn("不是拆字表", failure.text)
            ok.click()
        # Offline, the table that split last is used, not the web page read since.
        self.served.stop()
        harness.open_page(self.driver, self.served.url, clear=False)
        self.assertEqual(self.split("好"), "女子")
        self.assertFalse(self.driver.execute_script("return document.getElementById('failure').open"))

    def release(self, marker, worker=None):
        """A new release of the site, copied over the old one as an unpacked zip leaves
        it (every file dated as the archive dates it, three days ago, after the files
        before it): page.js marked, worker.js replaced where given, and the version
        stamped anew."""
        old_version = re.search(r'const VERSION = "([0-9a-f]+)"',
                                open(self.served.path("sw.js"), encoding="utf-8").read())[1]
        new_version = f"{marker:016x}"
        for name in ("sw.js", "index.html"):
            with open(self.served.path(name), encoding="utf-8") as file:
                text = file.read().replace(old_version, new_version)
            with open(self.served.path(name), "w", encoding="utf-8") as file:
                file.write(text)
        with open(self.served.path("page.js"), "a", encoding="utf-8") as page:
            page.write(f"\nwindow.RELEASE_MARK = {marker};\n")
        if worker is not None:
            with open(self.served.path("worker.js"), "w", encoding="utf-8") as file:
                file.write(worker)
        self.date_files(3 * 24 * 3600)

    def date_files(self, age):
        stamp = time.time() - age
        for folder, _, names in os.walk(self.served.folder):
            for name in names:
                os.utime(os.path.join(folder, name), (stamp, stamp))

    def update_service_worker(self):
        self.driver.execute_async_script(
            "navigator.serviceWorker.getRegistration().then(r => r.update())"
            ".then(() => arguments[0](), () => arguments[0]());")

    def test_a_release_spares_an_open_page(self):
        self.date_files(4 * 24 * 3600)  # older than the release's
        self.wait_controlled()
        # The release comes while the page is open; its worker could not split at all.
        self.release(2, worker="throw new Error('the release worker');\n")
        self.update_service_worker()
        # Until the release's service worker has taken over.
        WebDriverWait(self.driver, 30).until(lambda d: d.execute_async_script("""
            const done = arguments[0];
            navigator.serviceWorker.getRegistration().then(async (r) => done(
                !r.installing && !r.waiting &&
                (await caches.keys()).some((n) => n.endsWith('0000000000000002'))));"""))
        # The open page keeps to its own worker and program.
        self.assertEqual(self.split("好"), "女子")
        self.assertIsNone(self.driver.execute_script("return window.RELEASE_MARK"))

    def test_a_release_reaches_a_returning_visitor(self):
        # Served as a plain server serves files three days old: no Cache-Control, so the
        # browser takes them for fresh for hours.
        profile = os.path.join(self.work, "returning")
        self.driver.quit()
        self.driver = harness.browser(self.work, profile=profile)
        self.date_files(4 * 24 * 3600)
        self.wait_controlled()
        self.assertEqual(self.split("好"), "女子")
        self.driver.quit()
        # A release, and the visitor comes back days later.
        self.release(3)
        self.driver = harness.browser(self.work, profile=profile)
        for _ in range(4):
            harness.open_page(self.driver, self.served.url, clear=False)
            if self.driver.execute_script("return window.RELEASE_MARK") == 3:
                break
            self.update_service_worker()
        self.assertEqual(self.driver.execute_script("return window.RELEASE_MARK"), 3)
        self.assertEqual(self.split("好"), "女子")

if __name__ == "__main__":
    harness.main()
