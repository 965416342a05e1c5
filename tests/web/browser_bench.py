#!/usr/bin/python3
"""Frame rate of the browser demo in headless Chromium with software WebGL, per scene and blur.

Serves a built web folder (scripts/web --build) on 127.0.0.1 and runs the demo once for each
blur setting: as the page chooses (the start-up's check picks the blur) and with
?blur=reference (the exact framebuffer blur). Every half second it reads the canvas's frame
count, demo time, scene and blur; the frame rate of each two seconds within a scene (leaving
out the first second after a change of scene and the frames while the blur still checks) gives,
per scene, the median and the range. Prints the table, the blur each run chose and what its
check measured, the time from the request for the program to its first frame, and the load
average before and after. A benchmark: it asserts nothing.

usage: browser_bench.py WEB_BUILD_DIR [SECONDS_PER_RUN] [RUNS_PER_BLUR]
"""

import functools
import http.server
import json
import os
import statistics
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_demo_test import Browser  # noqa: E402

SETTLING_SECONDS = 1.0
WINDOW_SECONDS = 2.0
SAMPLE_INTERVAL = 0.5
# When the first frame was drawn, in the page's own clock.
FIRST_FRAME_WATCH = """
window.testFirstFrame = null;
const testWatch = setInterval(() => {
  const canvas = document.getElementById('canvas');
  if (canvas && canvas.dataset.state === 'running') {
    window.testFirstFrame = performance.now();
    clearInterval(testWatch);
  }
}, 1);
"""
# From the request for the program to its first frame: the click's worth of start-up.
STARTUP = """testFirstFrame - performance.getEntriesByType('resource')
  .find(entry => entry.name.endsWith('/lumivaha.js')).startTime"""
SAMPLE = """(({frames, demoTime, scene, blur, state}) => [frames, demoTime, scene, blur, state])(
  document.getElementById('canvas').dataset)"""


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *_):
        pass


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def record(browser, url, seconds):
    """Samples (frames, demo time, scene, blur) until the run's time is up or the demo ends."""
    browser.call("Page.navigate", url=url)
    browser.wait_for("the first frame", lambda: browser.evaluate("testFirstFrame") is not None)
    startup = browser.evaluate(STARTUP)
    samples, deadline = [], time.time() + seconds
    while time.time() < deadline:
        frames, demo, scene, blur, state = browser.evaluate(SAMPLE)
        if state != "running":
            break
        samples.append((int(frames), float(demo), scene, blur))
        time.sleep(SAMPLE_INTERVAL)
    return samples, startup, browser.canvas("blur"), browser.canvas("blurCheck")


def rates_by_scene(samples):
    """Frames per second of each two-second window within one scene, the blur already chosen."""
    rates, start = {}, 0
    for i in range(1, len(samples) + 1):
        if i < len(samples) and samples[i][2] == samples[start][2]:
            continue
        scene = [s for s in samples[start:i]
                 if s[1] - samples[start][1] >= SETTLING_SECONDS and s[3] != "checking"]
        step = int(WINDOW_SECONDS / SAMPLE_INTERVAL)
        for a, b in zip(scene, scene[step:]):
            if b[1] > a[1]:
                rates.setdefault(samples[start][2], []).append((b[0] - a[0]) / (b[1] - a[1]))
        start = i
    return rates


def main():
    if len(sys.argv) not in (2, 3, 4):
        sys.exit(__doc__)
    site = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 110.0
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    server = serve(site)
    base = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    table = {}
    with tempfile.TemporaryDirectory(prefix="lumivaha-bench-", ignore_cleanup_errors=True) as scratch:
        browser = Browser(os.path.join(scratch, "profile"))
        browser.call("Page.addScriptToEvaluateOnNewDocument", source=FIRST_FRAME_WATCH)
        try:
            for setting, query in (("chosen", ""), ("reference", "?blur=reference")):
                for run in range(runs):
                    samples, startup, blur, check = record(browser, base + query, seconds)
                    print(f"{setting} run {run + 1}: first frame {startup:.0f} ms after the "
                          f"program was requested; blur {blur}; check {check}")
                    for scene, rates in rates_by_scene(samples).items():
                        table.setdefault((setting, scene or "every scene"), []).extend(rates)
        finally:
            browser.close()
            server.shutdown()
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())
    print(f"{'blur':10} {'scene':15} {'median':>7} {'lowest':>7} {'highest':>7} windows")
    for (setting, scene), rates in sorted(table.items()):
        print(f"{setting:10} {scene:15} {statistics.median(rates):7.1f} {min(rates):7.1f} "
              f"{max(rates):7.1f} {len(rates)}")


if __name__ == "__main__":
    main()
