"""Loads the WebGL subset's browser check in headless Chromium and compares what it printed
with Mesa's numbers: blended pixels within one 8-bit step, mipmap base levels exactly.

usage: compare_browser_with_mesa.py CHROMIUM PAGE.html MESA.json
"""
import json
import re
import subprocess
import sys
import tempfile


def browser_numbers(chromium, page):
    with tempfile.TemporaryDirectory() as profile:
        # The virtual time budget lets the page's asynchronous start finish before the dump.
        dom = subprocess.run(
            [chromium, '--headless', '--no-sandbox', '--use-angle=swiftshader',
             '--enable-unsafe-swiftshader', '--allow-file-access-from-files',
             '--user-data-dir=' + profile, '--virtual-time-budget=30000',
             '--dump-dom', 'file://' + page],
            capture_output=True, text=True, timeout=240, check=True).stdout
    printed = re.search(r'<pre id="output">(.*)</pre>', dom, re.S)
    text = printed.group(1) if printed else ''
    try:
        return json.loads(text[text.index('{'):])
    except ValueError:
        sys.exit('the page printed no number sets:\n' + text)


def differences(name, mesa, browser):
    if name.startswith('blend/'):
        tolerance = 1.0 / 255.0 + 1e-9
    else:
        tolerance = 0.0
        mesa = mesa[:len(browser)]
    if len(mesa) != len(browser):
        return ['%s: %d numbers from Mesa, %d from the browser' % (name, len(mesa), len(browser))]
    return ['%s [%d]: Mesa %g, browser %g' % (name, i, m, b)
            for i, (m, b) in enumerate(zip(mesa, browser)) if abs(m - b) > tolerance]


def main():
    chromium, page, mesa_file = sys.argv[1:4]
    with open(mesa_file) as mesa_json:
        mesa = json.load(mesa_json)
    browser = browser_numbers(chromium, page)
    found = browser.pop('error/at the end', [None])
    problems = [] if found == [0] else ['WebGL error at the end: %s' % found]
    compared = [name for name in browser if name in mesa]
    if len(compared) != len(browser) or not compared:
        problems.append('sets Mesa lacks: %s' % sorted(set(browser) - set(mesa)))
    for name in compared:
        problems += differences(name, mesa[name], browser[name])
    print('%d sets compared, %d differences' % (len(compared), len(problems)))
    for problem in problems[:20]:
        print(problem)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
