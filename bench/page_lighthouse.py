#!/usr/bin/env python3
"""Lighthouse's scores for the page (the version bench/lighthouse pins), as a phone (its
mobile preset: a slow network and processor, simulated) and as a desktop, with what keeps
each score below 100. Figures only; a quiet machine gives steadier ones.
   page_lighthouse.py --site DIR --lighthouse DIR_WITH_NODE_MODULES
"""
import argparse
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
import harness  # noqa: E402

FLAGS = ("--headless=new --no-sandbox --disable-gpu --disable-background-networking "
         "--disable-component-update --no-first-run")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--lighthouse", required=True)
    harness.ARGS = parser.parse_args()
    work = harness.work_folder("mardovane-lighthouse-")
    site = harness.Site(work)
    cli = os.path.join(harness.ARGS.lighthouse, "node_modules", "lighthouse", "cli", "index.js")
    try:
        for preset in ("mobile", "desktop"):
            report = os.path.join(work, f"{preset}.json")
            subprocess.run(["node", cli, site.url, "--quiet", f"--chrome-flags={FLAGS}",
                            "--output=json", f"--output-path={report}"] +
                           (["--preset=desktop"] if preset == "desktop" else []),
                           check=True, env={**os.environ, "CHROME_PATH": "/usr/bin/chromium"})
            with open(report, encoding="utf-8") as file:
                result = json.load(file)
            scores = {name: round(category["score"] * 100)
                      for name, category in result["categories"].items()}
            print(f"{preset}: " + ", ".join(f"{name} {score}" for name, score in scores.items()))
            for name, category in result["categories"].items():
                for ref in category["auditRefs"]:
                    audit = result["audits"][ref["id"]]
                    if ref.get("weight") and audit.get("score") is not None and audit["score"] < 1:
                        print(f"  {name}: {audit['title']} ({audit.get('displayValue', '')})")
    finally:
        site.stop()


if __name__ == "__main__":
    main()
