"""What the page's tests share: a copy of the site served on 127.0.0.1, whose tables can be
held back or the server stopped and started again, and headless Chromium, as a desktop or
as a phone, as Debian packages it."""
import argparse
import atexit
import functools
import http.server
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

ARGS = None
SKIPPED = 77  # CTest's SKIP_RETURN_CODE for these tests

# Phones as the tests try them: CSS pixels, device pixel ratio.
PHONES = {"390x844@3": (390, 844, 3), "360x640@2": (360, 640, 2), "320x568@2": (320, 568, 2)}


def work_folder(prefix):
    """A temporary folder for one test's sites and browser profiles, removed when the test
    program ends (after every browser in it has quit)."""
    folder = tempfile.mkdtemp(prefix=prefix)
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    return folder


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript",
                      ".webmanifest": "application/manifest+json"}

    def do_GET(self):
        site = self.server.site
        if self.path.split("?")[0].endswith(".info"):
            site.asked.set()
            site.gate.wait(30)
        super().do_GET()

    def end_headers(self):
        if self.server.site.csp:
            self.send_header("Content-Security-Policy", self.server.site.csp)
        super().end_headers()

    def send_response(self, code, message=None):
        self.server.site.responses.append((self.path.split("?")[0], code))
        super().send_response(code, message)

    def log_message(self, *args):
        pass


class SiteServer(http.server.ThreadingHTTPServer):
    allow_reuse_address = True
    daemon_threads = True

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.connections = set()  # accepted, not yet closed

    def process_request(self, request, client_address):
        self.connections.add(request)
        super().process_request(request, client_address)

    def shutdown_request(self, request):
        self.connections.discard(request)
        super().shutdown_request(request)

    def cut_connections(self):
        """Ends every connection it accepted: a browser opens spare connections ahead
        of its requests, and one still open would answer after the server stopped."""
        for connection in list(self.connections):
            try:
                connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)  # a browser that hung up is none


class Site:
    """A copy of the site in a folder of its own, served until stopped."""

    def __init__(self, work, csp=None):
        self.folder = os.path.join(work, f"site-{id(self)}")
        shutil.copytree(ARGS.site, self.folder)
        self.csp = csp
        self.gate = threading.Event()  # shut: a table asked for waits, as on a slow line
        self.gate.set()
        self.asked = threading.Event()
        self.responses = []
        self.port = 0
        self.server = None
        self.start()

    def start(self):
        handler = functools.partial(SiteHandler, directory=self.folder)
        self.server = SiteServer(("127.0.0.1", self.port), handler)
        self.server.site = self
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
        self.server.cut_connections()

    @property
    def url(self):
        return f"http://127.0.0.1:{self.port}/"

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, data):
        """Writes a file of the site, dated a second after its last writing: servers date
        files to the second, and an edit within the same second would look unchanged."""
        path = self.path(name)
        before = os.stat(path).st_mtime if os.path.exists(path) else 0
        with open(path, "wb") as file:
            file.write(data)
        stamp = max(time.time(), before + 1)
        os.utime(path, (stamp, stamp))


def browser(work, scale=1, phone=None, extra=(), profile=None):
    """Headless Chromium, as a desktop window or, with `phone` (a key of PHONES), as that
    phone: its size and density, a touch screen and a coarse pointer. With `profile` (a
    folder), the browser of an earlier visit comes back with what it kept."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--window-size=800,700",
                 f"--force-device-scale-factor={scale}",
                 f"--user-data-dir={profile or tempfile.mkdtemp(dir=work)}", *extra):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(ARGS.chromedriver), options=options)
    if phone:
        width, height, ratio = PHONES[phone]
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": True})
        # A touch screen: the coarse pointer the page lays itself out for, and touch events.
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                               {"enabled": True, "maxTouchPoints": 5})
    return driver


def open_page(driver, url, clear=True):
    """The page at `url`, ready, with nothing kept from an earlier visit of the tab."""
    driver.get(url)
    if clear:
        driver.execute_script("sessionStorage.clear()")
        driver.get(url)
    WebDriverWait(driver, 30).until(
        lambda d: d.execute_script("return document.getElementById('Form1').dataset.ready"))


def desktop_split(text, table, times=1):
    """What the desktop's splitter makes of `text` with `table`."""
    done = subprocess.run([ARGS.splitter, "--keywords", table, "--times", str(times)],
                          input=text.encode("utf-8"), capture_output=True, check=True)
    return done.stdout.decode("utf-8")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--splitter", required=True)
    parser.add_argument("--chromedriver", required=True)
    parser.add_argument("--screenshots")
    parser.add_argument("--axe")
    ARGS, rest = parser.parse_known_args()
    if not os.access(ARGS.splitter, os.X_OK):
        # Not a failure of the page: the test has nothing to compare it with.
        print(f"skipped: no desktop splitter at {ARGS.splitter} to compare the page with "
              "(cmake --preset dev && cmake --build --preset dev first)")
        sys.exit(SKIPPED)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
