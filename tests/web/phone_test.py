#!/usr/bin/env python3
"""The page as a phone shows it (Chromium's phone emulation: 390 x 844 at 3x, 360 x 640 and
320 x 568, a touch screen): a layout for thumbs, feedback a phone user needs, the text kept
over a reload, sharing, and screenshots of both layouts to look at.
   phone_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH [--screenshots DIR]
"""
import os
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

import harness
from harness import desktop_split

TAP_TARGETS = ["Label1", "Label2", "Label5", "splitSelection", "share", "chooseTable"]


def luminance(rgb):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = rgb
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast(a, b):
    high, low = sorted([luminance(a), luminance(b)], reverse=True)
    return (high + 0.05) / (low + 0.05)


def rgb(css):
    """(r, g, b) of a computed colour, "rgb(1, 2, 3)" or "rgba(1, 2, 3, 1)"."""
    return tuple(int(float(part)) for part in css[css.index("(") + 1:-1].split(",")[:3])


class PhoneLayout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = harness.work_folder("mardovane-phone-")
        cls.served = harness.Site(cls.work)
        cls.drivers = {}

    @classmethod
    def tearDownClass(cls):
        for driver in cls.drivers.values():
            driver.quit()
        cls.served.stop()

    def phone(self, name):
        if name not in self.drivers:
            driver = harness.browser(self.work, phone=name)
            driver.execute_cdp_cmd("Browser.grantPermissions", {
                "origin": self.served.url.rstrip("/"),
                "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
            self.drivers[name] = driver
        driver = self.drivers[name]
        harness.open_page(driver, self.served.url)
        return driver

    def rect(self, driver, element_id):
        return driver.execute_script(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return {left: r.left, top: r.top, right: r.right, bottom: r.bottom,"
            " width: r.width, height: r.height};", element_id)

    def tap(self, driver, element_id):
        driver.find_element(By.ID, element_id).click()

    def wait_idle(self, driver):
        WebDriverWait(driver, 60).until(
            lambda d: not d.execute_script("return window.pageWindow.running()"))

    def test_a_layout_for_thumbs(self):
        for name in harness.PHONES:
            with self.subTest(phone=name):
                driver = self.phone(name)
                width, height, _ = harness.PHONES[name]
                size = driver.execute_script(
                    "return [innerWidth, innerHeight, document.documentElement.scrollWidth]")
                self.assertEqual(size[:2], [width, height])
                self.assertLessEqual(size[2], width, "no sideways scrolling")
                font = driver.execute_script(
                    "return parseFloat(getComputedStyle(document.getElementById('Text1')).fontSize)")
                self.assertGreaterEqual(font, 16)
                for target in TAP_TARGETS:
                    box = self.rect(driver, target)
                    self.assertGreaterEqual(box["width"], 48, target)
                    self.assertGreaterEqual(box["height"], 48, target)
                # Nothing cut off: every element shown lies within the screen's width.
                outside = driver.execute_script("""
                    return [...document.querySelectorAll('body *')].filter(e => {
                        const r = e.getBoundingClientRect();
                        return r.width > 0 && r.height > 0 && getComputedStyle(e).visibility !== 'hidden'
                            && (r.left < -0.5 || r.right > innerWidth + 0.5);
                    }).map(e => e.id || e.tagName);""")
                self.assertEqual(outside, [])
                # The text box as wide as the screen (but for the margins) and as tall as
                # what is left above the buttons, which are all on the first screen.
                text = self.rect(driver, "Text1")
                split = self.rect(driver, "Label1")
                self.assertGreaterEqual(text["width"], width - 24)
                self.assertLessEqual(text["bottom"], split["top"])
                self.assertLessEqual(self.rect(driver, "share")["bottom"], height)
                self.assertGreater(text["height"], height / 3)
                for same in ("Text1", "Label1", "Label2", "Label5"):
                    self.assertTrue(driver.find_element(By.ID, same).is_displayed(), same)
                self.assertFalse(driver.find_element(By.ID, "background").is_displayed())

    def test_the_keyboard_does_not_hide_the_buttons(self):
        driver = self.phone("390x844@3")
        # The keyboard takes the lower part of the screen: the page is shrunk to what is
        # left (interactive-widget=resizes-content), and the buttons move up with it.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 480, "deviceScaleFactor": 3, "mobile": True})
        try:
            for target in ("Label1", "Label2", "Text1"):
                self.assertLessEqual(self.rect(driver, target)["bottom"], 480, target)
        finally:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})

    def test_no_control_lies_over_another_with_the_keyboard_open(self):
        driver = self.phone("390x844@3")
        controls = ["Text1", "Label1", "Label2", "Label5", "splitSelection", "share"]
        # What the keyboard leaves: landscape, and two small phones.
        for width, height in [(844, 190), (390, 300), (320, 260)]:
            with self.subTest(size=f"{width}x{height}"):
                driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": height, "deviceScaleFactor": 2, "mobile": True})
                try:
                    rects = {name: self.rect(driver, name) for name in controls}
                    for one in controls:
                        for other in controls[controls.index(one) + 1:]:
                            a, b = rects[one], rects[other]
                            apart = (a["right"] <= b["left"] or b["right"] <= a["left"] or
                                     a["bottom"] <= b["top"] or b["bottom"] <= a["top"])
                            self.assertTrue(apart, (one, other, a, b))
                    # A tap on what shows of each button reaches that button, scrolled to.
                    for name in controls[1:]:
                        hit = driver.execute_script("""
                            const target = document.getElementById(arguments[0]);
                            target.scrollIntoView({block: 'nearest'});
                            const r = target.getBoundingClientRect();
                            const found = document.elementFromPoint((r.left + r.right) / 2,
                                                                    (r.top + r.bottom) / 2);
                            return found && (found === target || target.contains(found));""",
                            name)
                        self.assertTrue(hit, name)
                finally:
                    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                        "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
                    driver.execute_script("window.scrollTo(0, 0)")

    def test_text_and_buttons_read_well(self):
        driver = self.phone("360x640@2")
        for target in ("Label1", "Label2", "splitSelection", "share", "Label5"):
            colours = driver.execute_script("""
                const style = getComputedStyle(document.getElementById(arguments[0]));
                return [style.color, style.backgroundColor, style.backgroundImage];""", target)
            text = rgb(colours[0])
            backgrounds = [rgb(colours[1])] if "rgba(0, 0, 0, 0)" not in colours[1] else []
            backgrounds += [rgb(stop) for stop in
                            __import__("re").findall(r"rgba?\([^)]*\)", colours[2])]
            backgrounds = backgrounds or [(255, 255, 255)]
            for background in backgrounds:
                self.assertGreaterEqual(contrast(text, background), 4.5, (target, background))
        # A focus ring of two pixels or more on every control.
        for target in ("Label1", "Label2", "splitSelection", "share", "Text1"):
            driver.execute_script("document.getElementById(arguments[0]).focus()", target)
            ring = driver.execute_script(
                "const s = getComputedStyle(document.getElementById(arguments[0]));"
                "return [s.outlineStyle, parseFloat(s.outlineWidth)];", target)
            self.assertNotEqual(ring[0], "none", target)
            self.assertGreaterEqual(ring[1], 2, target)

    def test_paste_split_and_copy_as_the_desktop_does(self):
        driver = self.phone("390x844@3")
        text = "你好，湖边的們\n說話 abc 😀\n得"
        driver.execute_async_script(
            "navigator.clipboard.writeText(arguments[0]).then(arguments[1]);", text)
        driver.execute_script("document.getElementById('Text1').focus()")
        driver.execute_async_script("""
            const done = arguments[0];
            navigator.clipboard.readText().then(t => {
                const box = document.getElementById('Text1');
                box.setRangeText(t, 0, box.value.length, 'end');
                box.dispatchEvent(new InputEvent('input', {inputType: 'insertFromPaste'}));
                done();
            });""")
        self.tap(driver, "Label1")
        self.wait_idle(driver)
        table = self.served.path("keyword.info")
        expected = desktop_split(text, table)
        self.assertEqual(driver.execute_script("return document.getElementById('Text1').value"),
                         expected)
        status = driver.find_element(By.ID, "status").text
        self.assertRegex(status, r"已拆分 \d+ 个字。")
        self.tap(driver, "Label2")
        WebDriverWait(driver, 10).until(lambda d: d.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0]);") == expected)
        WebDriverWait(driver, 10).until(
            lambda d: d.find_element(By.ID, "status").text == "已复制全部文字。")

    def test_nothing_to_split_is_said(self):
        driver = self.phone("360x640@2")
        driver.execute_script("const box = document.getElementById('Text1'); box.value = 'abc';")
        self.tap(driver, "Label1")
        self.wait_idle(driver)
        WebDriverWait(driver, 10).until(lambda d: "没有拆字表里的字" in d.find_element(
            By.ID, "status").text)

    def test_a_long_split_shows_it_is_busy(self):
        driver = self.phone("390x844@3")
        driver.execute_script("document.getElementById('Text1').value = '好'")
        self.served.gate.clear()
        self.served.asked.clear()
        try:
            self.tap(driver, "Label1")
            self.assertTrue(self.served.asked.wait(30))
            # Busy once the split has taken a moment: the button says so, and the line.
            WebDriverWait(driver, 10).until(
                lambda d: d.execute_script("return document.body.classList.contains('busy')"))
            self.assertEqual(driver.find_element(By.ID, "status").text, "正在处理…")
            self.assertEqual(driver.execute_script(
                "return getComputedStyle(document.querySelector('#Label1 .caption'), '::after')"
                ".content"), '"…"')
        finally:
            self.served.gate.set()
        self.wait_idle(driver)
        self.assertFalse(driver.execute_script("return document.body.classList.contains('busy')"))

    def test_the_selection_has_a_button_of_its_own(self):
        driver = self.phone("390x844@3")
        driver.execute_script("""
            const box = document.getElementById('Text1'); box.value = '好好好';
            box.focus(); box.setSelectionRange(1, 2);""")
        self.tap(driver, "splitSelection")
        self.wait_idle(driver)
        self.assertEqual(driver.execute_script("return document.getElementById('Text1').value"),
                         "好女子好")

    def test_share_falls_back_to_copying(self):
        driver = self.phone("390x844@3")
        self.assertFalse(driver.execute_script("return 'share' in navigator"))
        driver.execute_script("document.getElementById('Text1').value = '分享这段话'")
        self.tap(driver, "share")
        WebDriverWait(driver, 10).until(lambda d: d.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0]);") == "分享这段话")
        self.assertIn("已复制全部文字", driver.find_element(By.ID, "status").text)
        # Where the browser can share, the text is handed to it.
        driver.execute_script("""
            window.shared = null;
            navigator.share = (data) => { window.shared = data.text; return Promise.resolve(); };""")
        self.tap(driver, "share")
        WebDriverWait(driver, 10).until(
            lambda d: d.execute_script("return window.shared") == "分享这段话")

    def test_the_text_survives_a_reload_of_the_tab(self):
        driver = self.phone("360x640@2")
        box = driver.find_element(By.ID, "Text1")
        box.send_keys("我写的字")
        # Reloaded at once, before the pause after typing that keeps it: the page keeps it
        # as it goes.
        harness.open_page(driver, self.served.url, clear=False)
        self.assertEqual(self.value(driver), "我写的字")
        # A text too large for the tab's session storage: a 10 MB paste, split once.
        driver.execute_script("""
            const box = document.getElementById('Text1');
            box.value = '好'.repeat(2500000) + '\\n' + '湖'.repeat(10);""")
        driver.find_element(By.ID, "Label1").click()
        WebDriverWait(driver, 120).until(
            lambda d: not d.execute_script("return window.pageWindow.running()"))
        split = self.value(driver)
        self.assertEqual(len(split), 2 * 2500000 + 1 + 20)
        harness.open_page(driver, self.served.url, clear=False)
        self.assertEqual(self.value(driver), split)
        # Another tab's text is its own.
        harness.open_page(driver, self.served.url)
        self.assertEqual(self.value(driver), "")

    @staticmethod
    def value(driver):
        return driver.execute_script("return document.getElementById('Text1').value")

    def test_screenshots(self):
        if not harness.ARGS.screenshots:
            self.skipTest("no folder for screenshots")
        os.makedirs(harness.ARGS.screenshots, exist_ok=True)
        for name in ("390x844@3", "320x568@2"):
            driver = self.phone(name)
            driver.execute_script("document.getElementById('Text1').value = '你好，湖边的們'")
            self.tap(driver, "Label1")
            self.wait_idle(driver)
            driver.save_screenshot(os.path.join(harness.ARGS.screenshots, f"phone-{name}.png"))
        # The same phone at one device pixel to a CSS pixel.
        flat = harness.browser(self.work, phone="390x844@3")
        try:
            flat.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True})
            harness.open_page(flat, self.served.url)
            flat.save_screenshot(os.path.join(harness.ARGS.screenshots, "phone-390x844@1.png"))
        finally:
            flat.quit()


if __name__ == "__main__":
    harness.main()
