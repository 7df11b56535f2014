#!/usr/bin/env python3
"""The page never stuck, always told: a worker that throws, is missing or never answers; a
missing .wasm; a policy that forbids WebAssembly; a web page served as the table; copy all
without the clipboard's own call. Each leaves the text as it was and the box editable, and
says what went wrong in Chinese. Requests go past the service worker, so that each
broken file is the one the page gets.
   failure_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH
"""
import os
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

import harness

HAO = "好\r\n女子\r\n".encode("cp936")


class NeverStuck(unittest.TestCase):
    def setUp(self):
        self.work = harness.work_folder("mardovane-failures-")
        self.served = None
        self.driver = None

    def tearDown(self):
        if self.driver:
            self.driver.quit()
        if self.served:
            self.served.stop()

    def open(self, csp=None, answer_ms=None):
        self.served = harness.Site(self.work, csp=csp)
        self.served.write("keyword.info", HAO)
        self.driver = harness.browser(self.work)
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        if answer_ms:
            self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
                "source": f"window.MARDOVANE_WORKER_ANSWER_MS = {answer_ms};"})

    def ready(self):
        harness.open_page(self.driver, self.served.url)
        self.driver.execute_script("document.getElementById('Text1').value = '好'")

    def split(self):
        self.driver.find_element(By.ID, "Label1").click()
        WebDriverWait(self.driver, 60).until(
            lambda d: not d.execute_script("return window.pageWindow.running()"))

    def assert_told_and_kept(self, says):
        WebDriverWait(self.driver, 30).until(
            lambda d: d.execute_script("return document.getElementById('failure').open"))
        message = self.driver.find_element(By.ID, "failureMessage").text
        self.assertIn(says, message)
        self.assertIn("文字未作任何改动", message)
        self.assertEqual(self.driver.execute_script(
            "return [document.getElementById('Text1').value, document.getElementById('Text1').readOnly]"),
            ["好", False])
        self.driver.find_element(By.ID, "failureOk").click()

    def assert_next_split_works(self):
        self.served.write("worker.js", open(os.path.join(harness.ARGS.site, "worker.js"), "rb").read())
        self.split()
        self.assertEqual(self.driver.execute_script(
            "return document.getElementById('Text1').value"), "女子")

    def test_a_worker_that_throws(self):
        self.open()
        self.served.write("worker.js", b"throw new Error('the worker broke');\n")
        self.ready()
        self.split()
        self.assert_told_and_kept("拆分用的后台程序 worker.js 出错了")
        self.assert_next_split_works()

    def test_a_missing_worker(self):
        self.open()
        os.remove(self.served.path("worker.js"))
        self.ready()
        self.split()
        self.assert_told_and_kept("worker.js")
        self.assert_next_split_works()

    def test_a_worker_that_never_answers(self):
        self.open(answer_ms=1000)
        self.served.write("worker.js", b"self.onmessage = () => {};\n")
        self.ready()
        self.split()
        self.assert_told_and_kept("没有回应")
        self.assert_next_split_works()

    def test_a_web_page_served_as_the_table(self):
        self.open()
        self.served.write("keyword.info", b"<!DOCTYPE html>\n<html><body>Sign in</body></html>\n")
        self.ready()
        self.split()
        WebDriverWait(self.driver, 30).until(
            lambda d: d.execute_script("return document.getElementById('failure').open"))
        self.assertIn(self.served.url + "keyword.info",
                      self.driver.find_element(By.ID, "failureMessage").text)
        self.assert_told_and_kept("服务器送来的是一个网页，不是拆字表")

    def startup_text(self):
        harness.WebDriverWait(self.driver, 30).until(lambda d: d.execute_script(
            "return document.getElementById('startup').classList.contains('failed')"))
        return self.driver.find_element(By.ID, "startup").text

    def test_a_missing_wasm_is_said_in_the_page_on_a_phone_too(self):
        self.served = harness.Site(self.work)
        self.driver = harness.browser(self.work, phone="320x568@2")
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        os.remove(self.served.path("mardovane.wasm"))
        self.driver.get(self.served.url)
        said = self.startup_text()
        # In the page's words, not the program's, with nothing about it that looks usable.
        self.assertIn("无法载入拆分程序 mardovane.wasm", said)
        self.assertNotIn("Aborted", said)
        self.assertNotIn("ASSERTIONS", said)
        for control in ("Form1", "splitSelection", "share", "tables"):
            self.assertFalse(self.driver.find_element(By.ID, control).is_displayed(), control)
        width = self.driver.execute_script(
            "return document.getElementById('startup').getBoundingClientRect().right")
        self.assertLessEqual(width, 320)

    def test_a_message_fits_the_smallest_phone(self):
        self.served = harness.Site(self.work)
        self.driver = harness.browser(self.work, phone="320x568@2")
        os.remove(self.served.path("keyword.info"))
        self.ready()
        self.split()
        WebDriverWait(self.driver, 30).until(
            lambda d: d.execute_script("return document.getElementById('failure').open"))
        # The table's address wraps, and the whole message is on the screen.
        box = self.driver.execute_script("""
            const message = document.getElementById('failureMessage');
            const r = document.getElementById('failure').getBoundingClientRect();
            return [r.left, r.right, message.scrollWidth, message.clientWidth];""")
        self.assertGreaterEqual(box[0], 0)
        self.assertLessEqual(box[1], 320)
        self.assertLessEqual(box[2], box[3])

    def test_a_policy_without_wasm_is_said_and_the_advised_one_works(self):
        self.open(csp="default-src 'self'")
        self.driver.get(self.served.url)
        self.assertIn("'wasm-unsafe-eval'", self.startup_text())
        self.driver.quit()
        self.served.stop()
        # What the README advises.
        self.open(csp="default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; "
                      "style-src 'self'; img-src 'self' data:; object-src 'none'; "
                      "base-uri 'none'; frame-ancestors 'none'")
        self.ready()
        self.split()
        self.assertEqual(self.driver.execute_script(
            "return document.getElementById('Text1').value"), "女子")

    def test_copy_all_without_the_clipboards_own_call(self):
        self.open()
        self.ready()
        self.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": self.served.url.rstrip("/"),
            "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        # As on plain http, where the page has no navigator.clipboard.
        self.driver.execute_script("""
            window.readClipboard = navigator.clipboard.readText.bind(navigator.clipboard);
            Object.defineProperty(navigator, 'clipboard', {value: undefined});
            document.getElementById('Text1').value = '复制我';""")
        self.driver.find_element(By.ID, "Label2").click()
        WebDriverWait(self.driver, 10).until(
            lambda d: d.execute_async_script("window.readClipboard().then(arguments[0])") == "复制我")
        self.assertEqual(self.driver.find_element(By.ID, "status").text, "已复制全部文字。")


if __name__ == "__main__":
    harness.main()
