#!/usr/bin/env python3
"""The web page's designed window in headless Chromium, used as a visitor would: a local
server on 127.0.0.1 over a copy of the site, clicks at the hotspots' pixels, keys, the
clipboard, the window's shared scenarios, and every result compared with the desktop's
mardovane-split on the same text and table.
   page_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH [--screenshots DIR]
"""
import os
import sys
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

import harness
from harness import desktop_split
from scenarios import read_scenarios

KEYWORDS_HAO_HU = "好\r\n女子\r\n湖\r\n氵胡\r\n".encode("cp936")


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = harness.work_folder("mardovane-page-")
        cls.served = harness.Site(cls.work)
        cls.site = cls.served.folder
        cls.url = cls.served.url
        cls.driver = harness.browser(cls.work)
        cls.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": cls.url.rstrip("/"),
            "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.served.stop()

    def setUp(self):
        with open(os.path.join(harness.ARGS.site, "keyword.info"), "rb") as shipped:
            self.write_table(shipped.read())
        harness.open_page(self.driver, self.url)
        self.form = self.driver.find_element(By.ID, "Form1")

    # What the page holds and does.
    def write_table(self, data):
        self.served.write("keyword.info", data)

    def text(self):
        return self.driver.execute_script("return document.getElementById('Text1').value")

    def set_text(self, text):
        self.driver.execute_script(
            "const box = document.getElementById('Text1'); box.value = arguments[0];", text)

    def paste(self, text):
        self.driver.execute_async_script(
            "navigator.clipboard.writeText(arguments[0]).then(arguments[1]);", text)
        box = self.driver.find_element(By.ID, "Text1")
        box.click()
        box.send_keys(Keys.CONTROL, "a")
        box.send_keys(Keys.CONTROL, "v")

    def clipboard(self):
        return self.driver.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0], e => arguments[0]('refused'));")

    def click_at(self, x, y):
        """A click at a point of Form1, in its own pixels."""
        size = self.form.size
        ActionChains(self.driver).move_to_element_with_offset(
            self.form, x - size["width"] / 2, y - size["height"] / 2).click().perform()

    def wait_idle(self):
        WebDriverWait(self.driver, 120).until(
            lambda d: not d.execute_script("return window.pageWindow.running()"))

    def split_by_click(self):
        self.click_at(28 + 40, 350 + 18)  # the painted button 拆分文字
        self.wait_idle()

    def rect(self, element_id):
        return self.driver.execute_script("""
            const form = document.getElementById('Form1').getBoundingClientRect();
            const r = document.getElementById(arguments[0]).getBoundingClientRect();
            return [r.left - form.left, r.top - form.top, r.width, r.height];""", element_id)

    def failure_shown(self):
        return self.driver.execute_script("return document.getElementById('failure').open")

    def failure_text(self):
        return self.driver.find_element(By.ID, "failureMessage").text

    def press(self, *keys):
        chain = ActionChains(self.driver)
        for key in keys[:-1]:
            chain.key_down(key)
        chain.send_keys(keys[-1])
        for key in reversed(keys[:-1]):
            chain.key_up(key)
        chain.perform()

    def run_step(self, action, argument):
        box = self.driver.find_element(By.ID, "Text1")
        if action == "paste":
            self.driver.execute_async_script(
                "navigator.clipboard.writeText(arguments[0]).then(arguments[1]);", argument)
            box.send_keys(Keys.CONTROL, "v")
        elif action in ("type", "type-here"):
            if action == "type":
                self.driver.execute_script(
                    "const box = document.getElementById('Text1');"
                    "box.setSelectionRange(box.value.length, box.value.length);")
            box.send_keys(argument)
        elif action == "select":
            start, end = (int(n) for n in argument.split())
            self.driver.execute_script(
                "document.getElementById('Text1').setSelectionRange(arguments[0], arguments[1])",
                start, end)
        elif action == "split":
            self.click_at(68, 368)
        elif action == "split-selection":
            # The text box's own menu, opened where a right click opens it.
            self.driver.execute_script("""
                const box = document.getElementById('Text1');
                const r = box.getBoundingClientRect();
                box.dispatchEvent(new MouseEvent('contextmenu', {bubbles: true, cancelable: true,
                    clientX: r.left + 20, clientY: r.top + 20}));""")
            item = self.driver.find_element(By.CSS_SELECTOR, '#menu [data-command="splitSelection"]')
            if item.is_enabled():
                item.click()
            else:
                self.driver.execute_script("document.getElementById('menu').hidden = true")
        elif action == "key":
            keys = {"ctrl+enter": (Keys.CONTROL, Keys.ENTER),
                    "ctrl+shift+enter": (Keys.CONTROL, Keys.SHIFT, Keys.ENTER),
                    "ctrl+z": (Keys.CONTROL, "z"), "ctrl+y": (Keys.CONTROL, "y"),
                    "ctrl+shift+z": (Keys.CONTROL, Keys.SHIFT, "z")}[argument]
            box.click() if self.driver.execute_script(
                "return document.activeElement.id") != "Text1" else None
            self.press(*keys)
        elif action in ("clear-during-split", "close-during-split"):
            self.served.gate.clear()
            self.served.asked.clear()
            try:
                self.click_at(68, 368)
                self.assertTrue(self.served.asked.wait(30))
                if action == "clear-during-split":
                    self.driver.execute_script("window.pageWindow.run('clear')")
                else:
                    self.driver.get("about:blank")  # the tab goes elsewhere mid-split
            finally:
                self.served.gate.set()
        elif action == "split-store-fails":
            # The next text the box is given cannot be held, as when a string is too long.
            self.driver.execute_script("""
                const box = document.getElementById('Text1');
                const value = Object.getOwnPropertyDescriptor(box, 'value');
                Object.defineProperty(box, 'value', {configurable: true, get: value.get,
                    set(v) {
                        Object.defineProperty(box, 'value', value);
                        throw new RangeError('Invalid string length');
                    }});""")
            self.click_at(68, 368)
        else:
            self.fail(f"unknown action {action}")

    # The tests.
    def test_the_text_box_edits_across_its_pieces(self):
        """The box holds a long text in pieces of a few thousand characters: keys that
        join, cut across or copy from several pieces give what one text would."""
        lines = [f"第{n}行，好湖。" for n in range(3000)]
        text = "\n".join(lines)
        self.set_text(text)
        box = self.driver.find_element(By.ID, "Text1")
        pieces = self.driver.execute_script(
            "return document.querySelectorAll('#Text1 .piece').length")
        self.assertGreater(pieces, 5)
        # The start of the second piece: Backspace joins it to the first.
        start = self.driver.execute_script("""
            const piece = document.querySelectorAll('#Text1 .piece')[1];
            const box = document.getElementById('Text1');
            box.focus();
            getSelection().setBaseAndExtent(piece.firstChild, 0, piece.firstChild, 0);
            return box.selectionStart;""")
        box.send_keys(Keys.BACKSPACE)
        text = text[:start - 1] + text[start:]
        self.assertEqual(self.text(), text)
        # Enter, then Delete at a piece's end, then typing over a selection of many pieces.
        box.send_keys(Keys.ENTER)
        text = text[:start - 1] + "\n" + text[start - 1:]
        self.assertEqual(self.text(), text)
        self.driver.execute_script(
            "document.getElementById('Text1').setSelectionRange(arguments[0], arguments[0])",
            len(text))
        box.send_keys(Keys.DELETE, "!")
        text += "!"
        self.assertEqual(self.text(), text)
        self.driver.execute_script(
            "document.getElementById('Text1').setSelectionRange(10, arguments[0])", len(text) - 10)
        box.send_keys("湖")
        text = text[:10] + "湖" + text[-10:]
        self.assertEqual(self.text(), text)
        self.assertEqual(self.driver.execute_script(
            "return document.querySelectorAll('#Text1 .piece').length"), 1)
        # Copied from the pieces, line breaks and all.
        self.set_text("\n".join(lines))
        self.driver.execute_script(
            "document.getElementById('Text1').focus();"
            "document.getElementById('Text1').setSelectionRange(5, 60000)")
        box.send_keys(Keys.CONTROL, "c")
        WebDriverWait(self.driver, 10).until(
            lambda d: self.clipboard() == "\n".join(lines)[5:60000])

    def test_the_window_scenarios(self):
        for name, table, steps in read_scenarios():
            with self.subTest(scenario=name):
                self.write_table(b"\xef\xbb\xbf" + "\r\n".join(table).encode("utf-8") + b"\r\n")
                harness.open_page(self.driver, self.url)
                self.form = self.driver.find_element(By.ID, "Form1")
                for line, action, argument, expected in steps:
                    where = f"scenarios.txt:{line} {action}"
                    self.run_step(action, argument)
                    if expected is None:
                        self.assertEqual(self.driver.current_url, "about:blank", where)
                        continue
                    self.wait_idle()
                    if action == "split-store-fails":
                        self.assertTrue(self.failure_shown(), where)
                        self.driver.find_element(By.ID, "failureOk").click()
                    self.assertEqual(self.text(), expected, where)

    def test_window_layout_title_and_focus(self):
        self.assertEqual(self.driver.title, "Mardovane")
        self.assertEqual(self.rect("Form1"), [0, 0, 565, 407])
        self.assertEqual(self.rect("Text1"), [28, 26, 510, 304])
        self.assertEqual(self.rect("Label1"), [21, 346, 99, 45])
        self.assertEqual(self.rect("Label2"), [139, 347, 92, 45])
        self.assertEqual(self.rect("Label5"), [298, 358, 241, 27])
        self.assertEqual(self.driver.execute_script("return document.activeElement.id"), "Text1")
        label4 = self.driver.find_element(By.ID, "Label4")
        self.assertFalse(label4.is_displayed())
        self.assertEqual(label4.get_attribute("aria-hidden"), "true")
        box = self.driver.find_element(By.ID, "Text1")
        self.assertEqual(box.get_attribute("aria-label"), "要拆分的文字")
        split = self.driver.find_element(By.ID, "Label1")
        self.assertEqual(split.get_attribute("aria-label"), "拆分文字")
        self.assertEqual(split.get_attribute("title"), "拆分文字 (Ctrl+Enter)")
        self.assertIn("hand-cursor.png", split.value_of_css_property("cursor"))
        self.assertEqual(
            self.driver.find_element(By.ID, "Label2").value_of_css_property("cursor"), "default")

    def test_pasted_text_splits_as_the_desktop_splits(self):
        text = "你好，湖边的們\n說話 abc 😀\n得"
        self.paste(text)
        self.assertEqual(self.text(), text)
        self.split_by_click()
        table = os.path.join(self.site, "keyword.info")
        self.assertEqual(self.text(), desktop_split(text, table))
        self.split_by_click()  # one level further
        self.assertEqual(self.text(), desktop_split(text, table, 2))
        # Ctrl+Z takes a split back, after the typing since; Ctrl+Y brings it again.
        box = self.driver.find_element(By.ID, "Text1")
        box.send_keys(Keys.CONTROL, Keys.END)
        box.send_keys("!")
        for keys, expected in [("z", desktop_split(text, table, 2)), ("z", desktop_split(text, table)),
                               ("z", text), ("y", desktop_split(text, table)),
                               ("y", desktop_split(text, table, 2))]:
            box.send_keys(Keys.CONTROL, keys)
            self.assertEqual(self.text(), expected, keys)

    def ctrl_key(self, key, code, shift=False):
        """Ctrl and a key as the keyboard's layout gives it: `key` what it means, `code`
        where it lies."""
        modifiers = 2 | (8 if shift else 0)
        for kind in ("rawKeyDown", "keyUp"):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                "type": kind, "key": key, "code": code, "modifiers": modifiers,
                "windowsVirtualKeyCode": ord(key.upper()) if len(key) == 1 else 0})

    def test_shortcuts_follow_the_keys_meaning_on_every_layout(self):
        self.write_table(KEYWORDS_HAO_HU)
        self.set_text("好")
        self.split_by_click()
        self.driver.find_element(By.ID, "Text1").click()
        # (key, where it lies, text after): a German keyboard has Z where US has Y, and
        # the reverse; a Russian one writes no Latin letter, and its place counts.
        for key, code, shift, expected in [
                ("z", "KeyY", False, "好"), ("y", "KeyZ", False, "女子"),
                ("я", "KeyZ", False, "好"), ("н", "KeyY", False, "女子"),
                ("z", "KeyY", False, "好"), ("Z", "KeyY", True, "女子")]:
            self.ctrl_key(key, code, shift)
            self.assertEqual(self.text(), expected, f"{key} at {code}")

    def test_text_shared_from_another_app_comes_in_as_one_edit(self):
        self.write_table(KEYWORDS_HAO_HU)
        self.set_text("")
        harness.open_page(self.driver, self.url + "?text=" + "好湖", clear=False)
        self.form = self.driver.find_element(By.ID, "Form1")
        self.assertEqual(self.text(), "好湖")
        self.assertNotIn("text=", self.driver.current_url)  # a reload does not share it again
        self.split_by_click()
        self.assertEqual(self.text(), "女子氵胡")
        self.driver.find_element(By.ID, "Text1").click()
        self.ctrl_key("z", "KeyZ")
        self.assertEqual(self.text(), "好湖")

    def test_clicks_during_a_split_queue_in_order(self):
        text = "湖" * 2000
        self.set_text(text)
        self.served.gate.clear()
        self.served.asked.clear()
        try:
            self.click_at(68, 368)
            self.assertTrue(self.served.asked.wait(30))  # the first split waits for its table
            self.click_at(68, 368)                          # so this click comes during it
            self.assertTrue(self.driver.execute_script("return window.pageWindow.running()"))
        finally:
            self.served.gate.set()
        self.wait_idle()
        self.assertEqual(self.text(), desktop_split(text, os.path.join(self.site, "keyword.info"), 2))

    def test_the_table_is_read_afresh_and_a_broken_one_is_reported(self):
        self.write_table(KEYWORDS_HAO_HU)
        self.set_text("好湖")
        self.split_by_click()
        self.assertEqual(self.text(), "女子氵胡")
        self.write_table("女\r\nX\r\n".encode("cp936"))  # edited on the server
        self.split_by_click()
        self.assertEqual(self.text(), "X子氵胡")
        self.write_table(b"\xba\xc3\r\n\xff\xff\r\n")
        self.split_by_click()
        self.assertTrue(self.failure_shown())
        message = self.failure_text()
        self.assertIn("拆字表文件第 2 行含有无效的 GBK 字节（文件第 5 字节）", message)
        self.assertIn(self.url + "keyword.info", message)
        self.assertIn("文字未作任何改动", message)
        self.assertEqual(self.text(), "X子氵胡")
        self.driver.find_element(By.ID, "failureOk").click()
        os.remove(os.path.join(self.site, "keyword.info"))
        self.split_by_click()
        self.assertIn("找不到拆字表文件", self.failure_text())
        self.assertEqual(self.text(), "X子氵胡")

    def test_the_fuller_table_and_a_table_of_ones_own(self):
        # 米 is whole in the default table; the fuller one has its riddle.
        self.set_text("米")
        self.driver.find_element(By.CSS_SELECTOR, 'input[value="tables/keyword-full.info"]').click()
        self.split_by_click()
        self.assertEqual(self.text(), "八十八")
        own = os.path.join(self.work, "keyword.info")
        with open(own, "wb") as table:
            table.write("十\r\n一丨\r\n".encode("cp936"))
        self.driver.find_element(By.ID, "ownTable").send_keys(own)
        self.split_by_click()
        self.assertEqual(self.text(), "八一丨八")

    def test_copy_all_takes_the_whole_text_whatever_is_selected(self):
        self.set_text("第一行\n第二行")
        self.driver.execute_script("document.getElementById('Text1').setSelectionRange(0, 2)")
        self.click_at(139 + 40, 350 + 18)
        WebDriverWait(self.driver, 10).until(lambda d: self.clipboard() == "第一行\n第二行")

    def test_keyboard(self):
        self.set_text("好")
        box = self.driver.find_element(By.ID, "Text1")
        box.send_keys(Keys.CONTROL, Keys.ENTER)
        self.wait_idle()
        self.assertEqual(self.text(), "女子")
        order = []
        for _ in range(3):
            ActionChains(self.driver).send_keys(Keys.TAB).perform()
            order.append(self.driver.execute_script("return document.activeElement.id"))
        self.assertEqual(order, ["Label1", "Label2", "Label5"])
        self.set_text("好")
        self.driver.find_element(By.ID, "Label1").send_keys(Keys.ENTER)
        self.wait_idle()
        self.assertEqual(self.text(), "女子")
        box.send_keys(Keys.CONTROL, Keys.SHIFT, "c")
        WebDriverWait(self.driver, 10).until(lambda d: self.clipboard() == "女子")

    def test_dead_places_do_nothing_and_the_notice_opens_the_page(self):
        self.set_text("好")
        self.driver.execute_async_script(
            "navigator.clipboard.writeText('before').then(arguments[0]);")
        tabs = len(self.driver.window_handles)
        self.click_at(300, 403)  # the white band below the picture
        self.click_at(270, 370)  # the left-most part of the notice
        # Clicks are handled in turn: once a click on copy all has copied, the two before it
        # have been handled too.
        self.set_text("好 after")
        self.click_at(139 + 40, 350 + 18)
        WebDriverWait(self.driver, 10).until(lambda d: self.clipboard() == "好 after")
        self.assertEqual(self.text(), "好 after")
        self.assertEqual(len(self.driver.window_handles), tabs)
        self.click_at(400, 370)
        WebDriverWait(self.driver, 10).until(lambda d: len(d.window_handles) == tabs + 1)
        self.driver.switch_to.window(self.driver.window_handles[-1])
        self.driver.close()
        self.driver.switch_to.window(self.driver.window_handles[0])
        self.assertFalse(self.failure_shown())

    def test_a_megabyte_splits_while_the_page_keeps_drawing(self):
        with open(os.path.join(os.path.dirname(__file__), "..", "..", "bench", "prose-zh.txt"),
                  encoding="utf-8") as prose:
            source = prose.read()
        text = (source * (1_000_000 // len(source.encode("utf-8")) + 1))
        self.set_text(text)
        self.driver.execute_script("""
            window.frames = 0;
            (function count() { window.frames++; requestAnimationFrame(count); })();""")
        started = time.monotonic()
        self.click_at(68, 368)
        self.wait_idle()
        seconds = time.monotonic() - started
        frames = self.driver.execute_script("return window.frames")
        self.assertEqual(self.text(), desktop_split(text, os.path.join(self.site, "keyword.info")))
        print(f"\n1 MB ({len(text.encode('utf-8'))} bytes) split in the page in {seconds:.2f} s, "
              f"{frames} frames drawn meanwhile", file=sys.stderr)
        self.assertGreater(frames, 3)

    def test_screenshots(self):
        if not harness.ARGS.screenshots:
            self.skipTest("no folder for screenshots")
        os.makedirs(harness.ARGS.screenshots, exist_ok=True)
        self.set_text("你好，湖边的們")
        self.split_by_click()
        self.driver.save_screenshot(os.path.join(harness.ARGS.screenshots, "page-100.png"))
        double = harness.browser(self.work, 2)
        try:
            double.get(self.url)
            WebDriverWait(double, 30).until(
                lambda d: d.execute_script("return document.getElementById('Form1').dataset.ready"))
            double.save_screenshot(os.path.join(harness.ARGS.screenshots, "page-200.png"))
            ratio = double.execute_script("return window.devicePixelRatio")
            self.assertEqual(ratio, 2)
            self.assertTrue(double.execute_script(
                "return document.getElementById('background').currentSrc.endsWith('background@2x.png')"))
        finally:
            double.quit()


if __name__ == "__main__":
    harness.main()
