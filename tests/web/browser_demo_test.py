#!/usr/bin/python3
"""The demo in headless Chromium with software WebGL, driven over the DevTools protocol.

Serves a built web folder (scripts/web --build) from a private copy on 127.0.0.1, then checks:
a page opened hidden waits, music and clock standing still, and starts from the opening once
shown; its first frame is drawn like the next; the opening is drawn; hidden mid-run, the show
pauses and goes on from there; a different scene follows the first loop boundary, which falls
where the music says; F1 many times brings the opening back each time on a fresh canvas,
releasing the old context; no JavaScript or WebGL error is reported; Escape ends the demo and the
page says so; copies with a picture missing or damaged and a loop cut short fail with the
program's own messages; a server that stalls shows how far loading got, and one that answers 500
or cuts the connection mid-file is named with the file; and without the autoplay permission the
page waits for a click, hidden or not; the page reports the blur it chose, the exact
framebuffer blur gave the window path's bytes in every frame its start-up compared, and
?blur=reference keeps it. Prints the frame rate seen and what the blur's check measured.

usage: browser_demo_test.py WEB_BUILD_DIR [SCREENSHOT_DIR]
"""

import base64
import http.server
import json
import operator
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zlib

import websocket

OPENING_SECONDS = 3.0
LOOP_END_SECONDS = 14.674
# The page reads a loop's position just after the frame tested it, and the demo time a moment
# later.
POSITION_SAMPLING_ALLOWANCE = 0.05
# Music and demo time start together but run on the audio context's clock and the page's; in
# headless Chromium without a sound card the audio clock stutters while the machine is loaded.
CLOCK_AGREEMENT = 1.0
OPENING_LOOP = "4"
# Long enough that a clock or a loop counting the hidden time could not pass for one that
# stood still.
HIDDEN_SECONDS = 4.0
# The audio context's clock moves a buffer at a time, so the music, and demo time while it
# follows the music, may stand a little ahead of the time that passed.
AUDIO_CLOCK_STEP = 0.05
# The frames on which the start-up compares the blurs with the window path.
BLUR_FRAMES_COMPARED = 8
# Mesa's arithmetic at the browser's sampling positions rounds apart from SwiftShader's blending
# by a few levels (6 at most where measured); a wrong lane or tap would be far off.
PROCESSOR_BLUR_LARGEST_DIFFERENCE = 16
# Chromium keeps at most 16 WebGL contexts alive; one more restart than that would lose one.
RESTARTS = 17
# Wall-clock limits only: a loaded machine may render slowly, the checks follow demo time.
START_TIMEOUT = 120
RUN_TIMEOUT = 180

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=800,600", "--remote-debugging-port=0",
]


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


# Installed in the page before its own scripts: while held, the program's next swap waits, so
# the canvas keeps showing the frame drawn before it.
FRAME_GATE = """
window.testFrameGate = (() => {
  const requestFrame = window.requestAnimationFrame.bind(window);
  const gate = {held: true, waiting: []};
  window.requestAnimationFrame = callback => {
    if (!gate.held) return requestFrame(callback);
    gate.waiting.push(callback);
    return 0;
  };
  gate.release = holdAgain => {
    gate.held = holdAgain;
    gate.waiting.splice(0).forEach(requestFrame);
  };
  return gate;
})();
"""

# What the clock and the music's context read; the audio context exists once the page asked
# for sound.
CLOCKS = """JSON.stringify({
  timer: Module.lumivahaPage.milliseconds(),
  music: Module.lumivahaPage.audioContext.currentTime,
  audio: Module.lumivahaPage.audioContext.state,
  frames: document.getElementById('canvas').dataset.frames,
})"""


def unfilter(kind, line, previous, channels):
    """A PNG row as it was before filtering. Chromium filters every row of the screenshots it
    encodes for speed by the row above, which is undone at once rather than byte by byte."""
    if kind == 0:
        return line
    if kind == 2:
        return bytearray(map((255).__and__, map(operator.add, line, previous)))
    for x in range(len(line)):
        left = line[x - channels] if x >= channels else 0
        up = previous[x]
        up_left = previous[x - channels] if x >= channels else 0
        if kind == 1:
            line[x] = (line[x] + left) & 255
        elif kind == 3:
            line[x] = (line[x] + (left + up) // 2) & 255
        elif kind == 4:
            estimate = left + up - up_left
            distances = (abs(estimate - left), abs(estimate - up), abs(estimate - up_left))
            predictor = (left, up, up_left)[distances.index(min(distances))]
            line[x] = (line[x] + predictor) & 255
    return line


def decode_png(data):
    """Width, height and rows of RGB triples from an 8-bit, non-interlaced RGB or RGBA PNG."""
    check(data[:8] == b"\x89PNG\r\n\x1a\n", "the screenshot is no PNG")
    position, chunks, header = 8, [], None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    check(depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG layout")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        line = unfilter(kind, line, previous, channels)
        rows.append(list(zip(line[0::channels], line[1::channels], line[2::channels])))
        previous = line
    return width, height, rows


class Picture:
    def __init__(self, png):
        self.png = png
        self.width, self.height, self.rows = decode_png(png)

    def pixels(self, step=4):
        for y in range(0, self.height, step):
            yield from self.rows[y][::step]

    def lit_fraction(self, threshold):
        pixels = list(self.pixels())
        return sum(1 for p in pixels if max(p) > threshold) / len(pixels)

    def difference(self, other):
        """Mean absolute difference per channel, 0 to 255."""
        total = count = 0
        for a, b in zip(self.pixels(), other.pixels()):
            total += sum(abs(x - y) for x, y in zip(a, b))
            count += 3
        return total / count


class Browser:
    def __init__(self, profile_dir, autoplay=True):
        self.events = []
        flags = CHROMIUM_FLAGS + (["--autoplay-policy=no-user-gesture-required"] if autoplay else [])
        self.process = subprocess.Popen(
            ["chromium", *flags, f"--user-data-dir={profile_dir}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(profile_dir, "DevToolsActivePort")
        deadline = time.time() + START_TIMEOUT
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            check(time.time() < deadline and self.process.poll() is None, "Chromium did not start")
            time.sleep(0.1)
        with open(port_file) as lines:
            port = int(lines.readline())
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json"))
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=RUN_TIMEOUT)
        self.next_id = 0
        for domain in ("Page", "Runtime", "Log"):
            self.call(f"{domain}.enable")

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                check("error" not in reply, f"{method}: {reply.get('error')}")
                return reply["result"]
            self.events.append(reply)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        check("exceptionDetails" not in result, f"evaluating {expression} failed")
        return result["result"].get("value")

    def canvas(self, attribute):
        return self.evaluate(f"document.getElementById('canvas').dataset.{attribute} ?? null")

    def wait_for(self, description, predicate, timeout=RUN_TIMEOUT):
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                value = predicate()
            except TestFailure:
                value = None  # the page is still loading
            if value:
                return value
            time.sleep(0.1)
        raise TestFailure(f"timed out waiting for {description} (state "
                          f"{self.canvas('state')}, demo time {self.canvas('demoTime')})")

    def set_visible(self, visible):
        """Shows or minimises the window, which hides the page as a background tab is hidden."""
        window = self.call("Browser.getWindowForTarget")["windowId"]
        self.call("Browser.setWindowBounds", windowId=window,
                  bounds={"windowState": "normal" if visible else "minimized"})
        self.wait_for("the page's visibility",
                      lambda: self.evaluate("document.hidden") == (not visible), timeout=10)

    def frame(self):
        """The frame count, demo time and music position of the last frame drawn."""
        values = self.evaluate("(({frames, demoTime, musicTime}) => [frames, demoTime, musicTime])"
                               "(document.getElementById('canvas').dataset)")
        return int(values[0]), float(values[1]), float(values[2] or 0)

    def screenshot(self):
        shot = self.call("Page.captureScreenshot", format="png", optimizeForSpeed=True)
        return Picture(base64.b64decode(shot["data"]))

    def press(self, key, code, virtual_key):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=code,
                      windowsVirtualKeyCode=virtual_key, nativeVirtualKeyCode=virtual_key)

    def errors(self):
        found = []
        for event in self.events:
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.exceptionThrown":
                found.append(params["exceptionDetails"].get("exception", {}).get("description")
                             or params["exceptionDetails"].get("text"))
            elif method == "Runtime.consoleAPICalled" and params.get("type") == "error":
                found.append(" ".join(str(a.get("value")) for a in params.get("args", [])))
            elif method == "Log.entryAdded" and (params["entry"]["level"] == "error" or
                                                 params["entry"]["source"] == "rendering"):
                # WebGL's own errors and lost contexts come as rendering warnings.
                found.append(params["entry"]["text"])
        return found

    def console(self):
        """Everything the page printed, for a failure's report."""
        return [" ".join(str(a.get("value", a.get("description"))) for a in e["params"]["args"])
                for e in self.events if e.get("method") == "Runtime.consoleAPICalled"]

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def demo_time(browser):
    value = browser.canvas("demoTime")
    return float(value) if value is not None else 0.0


def keep(picture, folder, name):
    if folder:
        with open(os.path.join(folder, name), "wb") as file:
            file.write(picture.png)


def check_standing_still(browser, what):
    """While the page is hidden no frame is drawn and neither the clock nor the music moves.
    Returns when the music was seen to have stopped."""
    browser.wait_for(f"the music to stop, {what}",
                     lambda: json.loads(browser.evaluate(CLOCKS))["audio"] == "suspended",
                     timeout=10)
    stopped_at = time.time()
    before = json.loads(browser.evaluate(CLOCKS))
    time.sleep(HIDDEN_SECONDS)
    after = json.loads(browser.evaluate(CLOCKS))
    check(after == before, f"{what}: the show went on while hidden: {before} then {after}")
    return stopped_at


def check_goes_on_from(browser, before, visible_before, shown_at, what):
    """The first frame after the page is shown again goes on from the frame before it was hidden,
    as much as the time it was visible allows: at most visible_before seconds from that frame
    until the music stopped, and the time since shown_at, taken before the page was shown; demo
    time and music alike."""
    browser.wait_for(f"the frame after {what}", lambda: browser.frame()[0] > before[0])
    visible_seconds = visible_before + time.time() - shown_at + AUDIO_CLOCK_STEP
    after = browser.frame()
    demo_step, music_step = after[1] - before[1], after[2] - before[2]
    check(0 <= demo_step <= visible_seconds,
          f"{what}: demo time went from {before[1]} s to {after[1]} s")
    check(0 <= music_step <= visible_seconds,
          f"{what}: the music went from {before[2]} s to {after[2]} s")
    check(abs(demo_step - music_step) <= CLOCK_AGREEMENT,
          f"{what}: demo time moved {demo_step:.3f} s and the music {music_step:.3f} s")


def check_hidden_start(browser, url, screenshots):
    """A page opened in the background starts the demo only once shown, from its opening; the
    first frame, drawn while hidden, is drawn like the second, and no WebGL error is logged."""
    gate = browser.call("Page.addScriptToEvaluateOnNewDocument", source=FRAME_GATE)["identifier"]
    browser.set_visible(False)
    browser.call("Page.navigate", url=url)
    browser.wait_for("the first frame, drawn while hidden", lambda: browser.frame()[0] == 1)
    check_standing_still(browser, "opened hidden")
    shown_at = time.time()
    browser.set_visible(True)
    first = browser.screenshot()
    keep(first, screenshots, "web_first_frame.png")
    browser.evaluate("testFrameGate.release(true)")
    check_goes_on_from(browser, (1, 0.0, 0.0), 0.0, shown_at, "opening hidden")
    second = browser.screenshot()
    keep(second, screenshots, "web_second_frame.png")
    browser.evaluate("testFrameGate.release(false)")
    browser.call("Page.removeScriptToEvaluateOnNewDocument", identifier=gate)
    # The scene moves between the two, so they are compared by what they show.
    check(second.lit_fraction(160) > 0.002, "the second frame shows no lit title card")
    check(first.lit_fraction(160) > 0.002, "the first frame shows no lit title card")
    lit_first, lit_second = first.lit_fraction(24), second.lit_fraction(24)
    check(0.5 < lit_first / lit_second < 2,
          f"the first frame is lit over {lit_first:.3f} of the canvas, the second {lit_second:.3f}")


def hold_next_frame(browser):
    """Holds the next frame drawn on the canvas, the program waiting in its swap until released;
    its frame count, demo time and music position. It is drawn after the call."""
    drawn = browser.frame()[0]
    browser.evaluate("testFrameGate.release(true)")
    browser.wait_for("a frame held", lambda: browser.evaluate(
        f"Number(document.getElementById('canvas').dataset.frames) > {drawn} && "
        "testFrameGate.waiting.length > 0"))
    return browser.frame()


def check_pause_while_hidden(browser):
    """Hidden mid-run, the show pauses: nothing moves, and once shown it goes on from there."""
    # Chromium stops drawing a window being minimised a while before its page hears that it is
    # hidden, and the show rightly runs on meanwhile: with the frames on either side held, the
    # test's own clock bounds the time the page was visible.
    started = time.time()
    before = hold_next_frame(browser)
    browser.set_visible(False)
    visible_before = check_standing_still(browser, "hidden mid-run") - started
    browser.evaluate("testFrameGate.release(true)")
    shown_at = time.time()
    browser.set_visible(True)
    check_goes_on_from(browser, before, visible_before, shown_at, "hiding mid-run")
    browser.evaluate("testFrameGate.release(false)")


RESTARTED = """(() => {
  const current = document.getElementById('canvas');
  const last = testCanvases[testCanvases.length - 1];
  if (current === last || Number(current.dataset.frames) <= Number(last.dataset.frames)) {
    return false;
  }
  testCanvases.push(current);
  return true;
})()"""


def held_opening_frame(browser, seconds, what):
    """A frame of the opening from seconds of demo time on, held while its loop and picture are
    read, so they are of one frame however slowly the test goes: the frame and the picture."""
    browser.wait_for(f"{what}, {seconds} s in", lambda: demo_time(browser) >= seconds)
    frame = hold_next_frame(browser)
    loop = browser.canvas("loop")
    picture = browser.screenshot()
    browser.evaluate("testFrameGate.release(false)")
    check(frame[1] < LOOP_END_SECONDS, f"{what} was over when the test could look: {frame[1]} s")
    check(loop == OPENING_LOOP, f"{what} does not play the fifth loop")
    return frame, picture


def check_restarts(browser, screenshots):
    """F1 starts the demo again in a new context on a fresh canvas, and the old canvas's context
    is released: many restarts lose no context to Chromium's limit, and the opening comes back."""
    browser.evaluate("window.testCanvases = [document.getElementById('canvas')]")
    for restart in range(RESTARTS):
        browser.press("F1", "F1", 112)
        browser.wait_for(f"restart {restart + 1}", lambda: browser.evaluate(RESTARTED))
    kept = browser.evaluate("testCanvases.slice(0, -1).filter(canvas => "
                            "!canvas.getContext('webgl').isContextLost()).length")
    check(kept == 0, f"{kept} replaced canvases keep their WebGL contexts")
    # The first frames of a restart may be seconds apart: any frame of the opening will do.
    _, restarted = held_opening_frame(browser, 1.0, "the restarted opening")
    keep(restarted, screenshots, "web_after_f1.png")
    check(restarted.lit_fraction(160) > 0.002, "the restarted opening shows no lit title card")


def blur_check(browser, what):
    """The blur the page chose once its start-up's check ended, and what the check measured.
    The exact framebuffer blur must have given the window path's bytes (today's picture) in every
    frame compared, for a candidate differing in one byte stays out."""
    blur = browser.wait_for(f"the blur's choice, {what}",
                            lambda: browser.canvas("blur") not in (None, "checking") and
                            browser.canvas("blur"))
    measured = json.loads(browser.canvas("blurCheck"))
    exact = measured.get("framebuffer", {})
    check(exact.get("available") and exact["framesCompared"] == BLUR_FRAMES_COMPARED and
          exact["framesIdentical"] == BLUR_FRAMES_COMPARED and exact["differingBytes"] == 0,
          f"{what}: the framebuffer blur did not give the window path's bytes: {measured}")
    return blur, measured


def check_blur_choice(browser):
    """Without a setting the page takes the framebuffer blur or, where faster, the processor
    blur, which must have drawn every frame compared."""
    blur, measured = blur_check(browser, "as the page chooses")
    check(blur in ("framebuffer", "processor"), f"the page chose the {blur} blur: {measured}")
    fast = measured.get("processor", {})
    if blur == "processor":
        check(fast["framesCompared"] == BLUR_FRAMES_COMPARED,
              f"the processor blur was chosen unchecked: {measured}")
    if fast.get("framesCompared"):
        check(fast["largestDifference"] <= PROCESSOR_BLUR_LARGEST_DIFFERENCE,
              f"the processor blur drew another picture than WebGL's blending: {measured}")
    return (f"blur {blur}: {measured['reason']}; the processor blur differed from WebGL's "
            f"blending in {fast.get('differingBytes')} bytes of {fast.get('framesCompared')} frames"
            f", by at most {fast.get('largestDifference')} levels")


def check_reference_blur(browser, url):
    """?blur=reference in the address keeps the exact framebuffer blur."""
    browser.call("Page.navigate", url=url + "?blur=reference")
    blur, measured = blur_check(browser, "with ?blur=reference")
    check(blur == "framebuffer" and "processor" not in measured,
          f"?blur=reference drew the {blur} blur: {measured}")


def check_running_demo(browser, url, screenshots):
    check_hidden_start(browser, url, screenshots)
    (frames_at_opening, seconds_at_opening, _), opening = held_opening_frame(
        browser, OPENING_SECONDS, "the opening")
    keep(opening, screenshots, "web_opening.png")
    check(opening.lit_fraction(24) > 0.05, "the opening's canvas is black or blank")
    check(opening.lit_fraction(160) > 0.002, "the opening shows no lit title card")

    browser.wait_for("the first loop boundary", lambda: browser.canvas("loop") != OPENING_LOOP)
    browser.wait_for("a second of the next scene", lambda: demo_time(browser) >= 16.5)
    frames = int(browser.canvas("frames")) - frames_at_opening
    rate = frames / (demo_time(browser) - seconds_at_opening)
    next_scene = browser.screenshot()
    keep(next_scene, screenshots, "web_next_scene.png")
    check(next_scene.lit_fraction(24) > 0.02, "the scene after the boundary is black or blank")
    difference = opening.difference(next_scene)
    check(difference > 8, f"the scene after the boundary looks like the opening ({difference:.1f})")

    # Music and demo time advance alike between two frames, so the loop that ended stood at
    # about music_before + (demo_after - demo_before) when the boundary frame tested it.
    demo_before, demo_after = (float(t) for t in browser.canvas("boundaryDemoTimes").split())
    music_before = float(browser.canvas("boundaryMusicTime"))
    music_at_boundary = music_before + (demo_after - demo_before)
    check(music_before <= LOOP_END_SECONDS + POSITION_SAMPLING_ALLOWANCE,
          f"the loop ended late: it stood at {music_before} s a frame before the boundary")
    check(music_at_boundary > LOOP_END_SECONDS - POSITION_SAMPLING_ALLOWANCE,
          f"the loop ended early, at about {music_at_boundary:.3f} s")
    check(abs(demo_before - music_before) <= CLOCK_AGREEMENT,
          f"demo time {demo_before} s and music {music_before} s have drifted apart")
    # Chosen within the opening but for a machine so loaded that its check frames outlast it.
    blur_summary = check_blur_choice(browser)

    # Early in the second loop, which has most of its length ahead: the frames on either side of
    # the pause are of one loop, so their music positions compare.
    check_pause_while_hidden(browser)
    check_restarts(browser, screenshots)
    browser.press("Escape", "Escape", 27)
    browser.wait_for("the end", lambda: browser.canvas("state") in ("ended", "failed"))
    check(browser.canvas("state") == "ended", f"Escape failed the demo: {browser.canvas('message')}")
    page_text = browser.evaluate("document.getElementById('message').textContent")
    check("ended" in page_text, f"the page does not say the demo ended: {page_text!r}")
    browser.set_visible(False)
    browser.set_visible(True)
    time.sleep(0.5)
    check(json.loads(browser.evaluate(CLOCKS))["audio"] == "suspended",
          "the music of the ended demo went on when its page was shown again")
    errors = browser.errors()
    check(not errors, f"JavaScript or WebGL errors: {errors}")
    print(f"{rate:.1f} frames per second; the first loop ended between the frames at "
          f"{demo_before} s and {demo_after} s of demo time, at {music_at_boundary:.3f} s of "
          f"music; {blur_summary}")


def check_failure(browser, url, expected):
    """A broken data set ends the demo with the program's own message on the page."""
    browser.call("Page.navigate", url=url)
    browser.wait_for("the failure", lambda: browser.canvas("state") in ("failed", "running"))
    message = browser.canvas("message") or ""
    check(browser.canvas("state") == "failed", f"the demo ran although {expected!r} was due")
    check(message.startswith(expected), f"unexpected message: {message!r}")
    shown = browser.evaluate("document.getElementById('message').textContent")
    check(message in shown, "the page does not show the message")


# Each copy of the site breaks one file; the message the demo must give for it.
BROKEN_SITES = {
    "missing-picture": ("p0.jpg", None, "File data/p0.jpg not found!"),
    "damaged-picture": ("env.jpg", lambda data: bytes(b ^ 0x5A for b in data),
                        "File data/env.jpg is not a valid picture"),
    "cut-loop": ("loop2.mp3", lambda data: data[:len(data) // 2],
                 "Cannot decode data/loop2.mp3: the file is cut short"),
}


def break_site(site, name, damage):
    path = os.path.join(site, "data", name)
    if damage is None:
        os.remove(path)
        return
    with open(path, "rb") as file:
        data = file.read()
    with open(path, "wb") as file:
        file.write(damage(data))


def check_loading_faults(browser, site_url):
    """A server that stalls mid-file leaves the page showing how far loading got; one that answers
    an error or cuts the connection mid-file fails the demo with the file named and the reason."""
    for site, expected in LOADING_FAULT_MESSAGES.items():
        check_failure(browser, f"{site_url}/{site}/index.html", expected)
    browser.call("Page.navigate", url=f"{site_url}/stalled/index.html")
    name, _ = SERVER_FAULTS["stalled"]
    size = os.path.getsize(os.path.join(SiteHandler.root, "complete", "data", name))
    progress = re.compile(rf"Loading data/{re.escape(name)} \(file \d+ of \d+\)\n"
                          rf"{kilobytes(size // 2)} of {kilobytes(size)} kB")
    loading = "document.getElementById('loading')"
    browser.wait_for("the stalled file's progress", lambda: progress.fullmatch(
        browser.evaluate(f"{loading}.hidden ? '' : {loading}.textContent")))
    time.sleep(1)
    shown = browser.evaluate(f"{loading}.hidden ? '' : {loading}.textContent")
    check(progress.fullmatch(shown) and browser.canvas("state") == "waiting",
          f"the stalled page moved on: {browser.canvas('state')}, {shown!r}")


def kilobytes(count):
    return f"{-(-count // 1000):,}"


def check_click_to_start(profile_dir, url):
    """Without the autoplay permission the page waits for a click before the demo starts, and a
    page hidden and shown again while it waits still starts, and its clock runs."""
    browser = Browser(profile_dir, autoplay=False)
    try:
        browser.call("Page.navigate", url=url)
        browser.wait_for("the start button", lambda: browser.evaluate(
            "!document.getElementById('start').hidden"))
        browser.set_visible(False)
        time.sleep(1)
        browser.set_visible(True)
        check(browser.canvas("state") == "waiting", "the demo started without a click")
        box = browser.evaluate("JSON.stringify(document.getElementById('start')"
                               ".getBoundingClientRect())")
        box = json.loads(box)
        x, y = box["x"] + box["width"] / 2, box["y"] + box["height"] / 2
        for kind in ("mousePressed", "mouseReleased"):
            browser.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                         clickCount=1)
        browser.wait_for("a second of demo time after the click",
                         lambda: browser.canvas("state") == "running" and demo_time(browser) >= 1)
    finally:
        browser.close()


# The sites that the test server serves from the complete copy with one file misbehaving: how.
SERVER_FAULTS = {
    "stalled": ("loop3.mp3", "stall"),
    "server-error": ("loop3.mp3", "error"),
    "cut-connection": ("loop3.mp3", "cut"),
}
LOADING_FAULT_MESSAGES = {
    "server-error": "Cannot load data/loop3.mp3: the server answered 500 Internal Server Error",
    "cut-connection": "Cannot load data/loop3.mp3: the connection was lost after ",
}


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the scratch folder; each site of SERVER_FAULTS is the complete one, but for its
    file that stalls half-way until the test ends, answers 500, or is cut off half-way."""
    root = None
    test_over = threading.Event()

    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=self.root, **kwargs)

    def log_message(self, *_):
        pass

    def do_GET(self):
        site, _, rest = self.path.lstrip("/").partition("/")
        if site not in SERVER_FAULTS:
            return super().do_GET()
        name, fault = SERVER_FAULTS[site]
        self.path = "/complete/" + rest
        if rest != "data/" + name:
            return super().do_GET()
        if fault == "error":
            return self.send_error(500)
        with open(os.path.join(self.root, "complete", rest), "rb") as file:
            data = file.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data[:len(data) // 2])
        self.wfile.flush()
        if fault == "stall":
            self.test_over.wait()
        self.close_connection = True


def serve(scratch):
    SiteHandler.root = scratch
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), SiteHandler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    site, screenshots = sys.argv[1], sys.argv[2] if len(sys.argv) == 3 else None
    # Chromium's helper processes may still write to their profile for a moment after it quits.
    with tempfile.TemporaryDirectory(prefix="lumivaha-web-", ignore_cleanup_errors=True) as scratch:
        copy_only_the_site = shutil.ignore_patterns("CMake*", "*.ninja", "src", "*.a", ".ninja*")
        for copy in ("complete", *BROKEN_SITES):
            shutil.copytree(site, os.path.join(scratch, copy), ignore=copy_only_the_site)
        for copy, (name, damage, _) in BROKEN_SITES.items():
            break_site(os.path.join(scratch, copy), name, damage)
        server = serve(scratch)
        site_url = f"http://127.0.0.1:{server.server_address[1]}"
        browser = None
        try:
            browser = Browser(os.path.join(scratch, "profile"))
            check_running_demo(browser, f"{site_url}/complete/index.html", screenshots)
            check_reference_blur(browser, f"{site_url}/complete/index.html")
            for copy, (_, _, expected) in BROKEN_SITES.items():
                check_failure(browser, f"{site_url}/{copy}/index.html", expected)
            check_loading_faults(browser, site_url)
            browser.close()
            browser = None
            check_click_to_start(os.path.join(scratch, "profile-no-autoplay"),
                                 f"{site_url}/complete/index.html")
        except TestFailure as failure:
            print(f"FAILED: {failure}", file=sys.stderr)
            if browser:
                print("The page's console:", *browser.console(), *browser.errors(), sep="\n  ",
                      file=sys.stderr)
            return 1
        finally:
            if browser:
                browser.close()
            SiteHandler.test_over.set()
            server.shutdown()
            server.server_close()
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
