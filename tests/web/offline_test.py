#!/usr/bin/env python3
"""The page installed and offline: a web app manifest Chromium finds nothing wrong with,
a service worker that keeps the page's own files, the table asked for again at every
split (an unchanged one costs a round trip), and offline the table read last, said once.
   offline_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH
"""
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
        self.assertIn('"short_name": "拆字"', manifest["data"])
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


if __name__ == "__main__":
    harness.main()
