#!/usr/bin/env python3
"""The page's text box on its own terms, in headless Chromium: typing and deleting across
the pieces it holds the text in, an input method's composition (what it commits is one
edit; a cancelled one none), a megabyte on one line, and what a screen reader is told.
   text_box_test.py --site DIR --splitter MARDOVANE_SPLIT --chromedriver PATH
"""
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import harness

PIECE = 2048  # TextPieces.PIECE


class TextBox(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = harness.work_folder("mardovane-text-box-")
        cls.served = harness.Site(cls.work)
        cls.driver = harness.browser(cls.work)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.served.stop()

    def setUp(self):
        harness.open_page(self.driver, self.served.url)
        self.box = self.driver.find_element(By.ID, "Text1")

    def script(self, source, *args):
        return self.driver.execute_script(
            "const box = document.getElementById('Text1');" + source, *args)

    def value(self):
        return self.script("return box.value")

    def place(self, start, end=None):
        self.box.click()
        self.script("box.setSelectionRange(arguments[0], arguments[1])", start,
                    start if end is None else end)

    def ctrl(self, key):
        modifiers = 2
        for kind in ("rawKeyDown", "keyUp"):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                "type": kind, "key": key, "code": f"Key{key.upper()}", "modifiers": modifiers,
                "windowsVirtualKeyCode": ord(key.upper())})

    def compose(self, *steps):
        """An input method at work: each step the text it shows, then what it commits
        (None: the composition is cancelled)."""
        for shown in steps[:-1]:
            self.driver.execute_cdp_cmd("Input.imeSetComposition", {
                "text": shown, "selectionStart": len(shown), "selectionEnd": len(shown)})
        if steps[-1] is None:
            self.driver.execute_cdp_cmd("Input.imeSetComposition", {
                "text": "", "selectionStart": 0, "selectionEnd": 0})
            self.driver.execute_script("document.getElementById('Text1').blur();"
                                       "document.getElementById('Text1').focus();")
        else:
            self.driver.execute_cdp_cmd("Input.insertText", {"text": steps[-1]})

    def test_typing_and_deleting_across_pieces(self):
        first = "甲" * (PIECE + 5)
        text = f"{first}\n{'乙' * (PIECE + 5)}\n末"
        self.script("box.value = arguments[0]", text)
        self.assertGreater(self.script("return box.children.length"), 2)
        # Where one piece ends and the next begins.
        self.place(len(first) + 1)
        self.box.send_keys("插")
        text = text[:len(first) + 1] + "插" + text[len(first) + 1:]
        self.assertEqual(self.value(), text)
        # Backspace takes the line break between two pieces, joining them.
        self.place(len(first) + 1)
        self.box.send_keys(Keys.BACKSPACE)
        text = text[:len(first)] + text[len(first) + 1:]
        self.assertEqual(self.value(), text)
        # A selection across three pieces goes as one.
        self.place(10, len(text) - 2)
        self.box.send_keys(Keys.DELETE)
        text = text[:10] + text[-2:]
        self.assertEqual(self.value(), text)
        # Each was one step of the history, taken back in turn.
        self.ctrl("z")
        self.assertIn("插", self.value())
        self.assertEqual(len(self.value()), len(first) + 1 + PIECE + 5 + 2)

    def test_what_an_input_method_commits_is_one_edit(self):
        self.place(0)
        self.compose("n", "ni", "你")
        self.compose("h", "ha", "hao", "好")
        self.assertEqual(self.value(), "你好")
        # Undo never brings back the pinyin the input method showed.
        seen = []
        for _ in range(3):
            self.ctrl("z")
            seen.append(self.value())
        self.assertEqual([text for text in seen if any(c in text for c in "nh")], [])
        self.assertEqual(seen[-1], "")
        self.ctrl("y")
        self.assertNotIn("n", self.value())
        self.assertTrue(self.value().startswith("你"))

    def test_a_cancelled_composition_is_no_edit(self):
        self.place(0)
        self.box.send_keys("ab")
        self.compose("n", "ni", None)
        self.assertEqual(self.value(), "ab")
        self.ctrl("z")
        self.assertEqual(self.value(), "")

    def test_a_megabyte_on_one_line(self):
        line = "好湖" * 500000
        self.script("box.value = arguments[0]", line)
        # Held and laid out in pieces, yet the text is the line as it was.
        self.assertGreater(self.script("return box.children.length"), 400)
        self.assertEqual(self.script("return box.value.length"), len(line))
        self.place(len(line))
        self.box.send_keys("!")
        self.assertEqual(self.script("return box.value.slice(-3)"), "好湖!")
        self.assertEqual(self.script("return box.value.indexOf('\\n')"), -1)
        copied = self.script("""
            box.setSelectionRange(arguments[0], arguments[1]);
            return box.value.slice(box.selectionStart, box.selectionEnd);""", PIECE - 2, PIECE + 2)
        self.assertEqual(copied, line[PIECE - 2:PIECE + 2])

    def test_what_a_screen_reader_is_told(self):
        self.script("box.value = 'first line\\nsecond'")
        self.driver.execute_cdp_cmd("Accessibility.enable", {})
        node = self.driver.execute_cdp_cmd("Accessibility.queryAXTree", {
            "backendNodeId": self.driver.execute_cdp_cmd("DOM.describeNode", {
                "objectId": self.driver.execute_cdp_cmd("Runtime.evaluate", {
                    "expression": "document.getElementById('Text1')"})["result"]["objectId"]
            })["node"]["backendNodeId"]})["nodes"][0]
        self.assertEqual(node["role"]["value"], "textbox")
        self.assertEqual(node["name"]["value"], "要拆分的文字")
        properties = {p["name"]: p["value"].get("value") for p in node.get("properties", [])}
        self.assertTrue(properties.get("multiline"))
        self.assertTrue(properties.get("editable"))
        # Its read-only state while a job runs is said too.
        self.script("box.readOnly = true")
        self.assertEqual(self.script("return box.getAttribute('aria-readonly')"), "true")


if __name__ == "__main__":
    harness.main()
