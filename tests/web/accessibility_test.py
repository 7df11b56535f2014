#!/usr/bin/env python3
"""The page's accessibility as axe-core (pinned in tests/web/package-lock.json) judges it:
no serious or critical violation on the designed window or the phone layout, with the
window idle and with a message shown.
   accessibility_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH --axe AXE
"""
import unittest

import harness


class Accessibility(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not harness.ARGS.axe:
            raise unittest.SkipTest("no axe-core (npm could not fetch it)")
        with open(harness.ARGS.axe, encoding="utf-8") as axe:
            cls.axe = axe.read()
        cls.work = harness.work_folder("mardovane-axe-")
        cls.served = harness.Site(cls.work)

    @classmethod
    def tearDownClass(cls):
        cls.served.stop()

    def violations(self, driver):
        driver.execute_script(self.axe)
        results = driver.execute_async_script(
            "axe.run(document, {resultTypes: ['violations']}).then(arguments[0]);")
        return [(v["id"], v["impact"], [node["target"] for node in v["nodes"]])
                for v in results["violations"] if v["impact"] in ("serious", "critical")]

    def test_no_serious_violation(self):
        for phone in (None, "390x844@3", "320x568@2"):
            with self.subTest(layout=phone or "designed window"):
                driver = harness.browser(self.work, phone=phone)
                try:
                    harness.open_page(driver, self.served.url)
                    self.assertEqual(self.violations(driver), [])
                    driver.execute_script("document.getElementById('Text1').value = '好'")
                    driver.execute_script("window.pageWindow.run('splitSelection')")  # a notice
                    self.assertEqual(self.violations(driver), [])
                finally:
                    driver.quit()


if __name__ == "__main__":
    harness.main()
