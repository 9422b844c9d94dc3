#!/usr/bin/python3
"""The front panel of `vela controller --web` in two headless Chromium browsers:
the banner, a run's readout and track, an input that ends a WE wait, key buttons
that step, the same display in both; the screenshot of docs/controller.md.
Run with Debian's /usr/bin/python3 (Selenium): --vela PATH [--screenshot FILE]"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

FRIST = 60  # seconds any one expected change may take on a loaded machine

FAHRT = """XS 10
YS 10
G 1500
GS 200
SO 2
D 0 "FAHRT   "
X 40 Y 20
W
IL 80, 40, 0
W
CCW 0, 10, 0, 20
D 0 "WARTE E3"
WE 3
D 0 "WEITER  "
M1
W 20
J M1
"""

SCHRITTE = """D 0 "SCHRITT 1"
D 0 "SCHRITT 2"
D 0 "SCHRITT 3"
ENDE
"""


def browser(tmp, name, breite=1280, hoehe=1000):
    o = webdriver.ChromeOptions()
    o.binary_location = "/usr/bin/chromium"
    for a in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--user-data-dir=" + os.path.join(tmp, name), f"--window-size={breite},{hoehe}"):
        o.add_argument(a)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=o)


def warte(was, bedingung, frist=FRIST):
    bis = time.monotonic() + frist
    while time.monotonic() < bis:
        try:
            wert = bedingung()
            if wert:
                return wert
        except Exception:  # the page may be between two updates
            pass
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + was)


def zeile(b, r):
    return b.find_element(By.ID, f"row{r}").get_attribute("textContent")


def zahl(b, id_):
    return float(b.find_element(By.ID, id_).get_attribute("textContent"))


def main():
    arg = argparse.ArgumentParser()
    arg.add_argument("--vela", required=True)
    arg.add_argument("--screenshot")
    a = arg.parse_args()

    with tempfile.TemporaryDirectory(prefix="vela-panel-") as tmp:
        b1 = browser(tmp, "eins")
        b2 = browser(tmp, "zwei", 390, 844)  # a phone's screen
        # 3 ms ticks: the banner stands 3 s, long enough to be seen.
        steuerung = subprocess.Popen(
            [a.vela, "controller", "--pty", "--web", "0", "--tick-us", "3000", "--store", os.path.join(tmp, "ablage")],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
        try:
            leitung = steuerung.stdout.readline().strip()
            url = steuerung.stdout.readline().strip()
            assert url.startswith("http://127.0.0.1:"), url

            def sende(text, *mehr):
                datei = os.path.join(tmp, "programm.vela")
                with open(datei, "w") as f:
                    f.write(text)
                r = subprocess.run([a.vela, "send", "--line", leitung, "--state", os.path.join(tmp, "zustand"),
                                    datei, *mehr], capture_output=True, text=True, timeout=FRIST)
                assert r.returncode == 0 and r.stdout == "loaded\n", (r.returncode, r.stdout, r.stderr)

            b1.get(url)
            warte("the banner", lambda: zeile(b1, 0) == " GRONDA" + " " * 13)
            warte("Bereit z. Laden", lambda: zeile(b1, 3) == "Bereit z. Laden     ")
            b2.get(url)
            warte("the same display in the second browser",
                  lambda: all(zeile(b2, r) == zeile(b1, r) for r in range(4)))
            assert b2.execute_script("return document.documentElement.scrollWidth <= window.innerWidth"), \
                "the page is wider than a phone's screen"

            # A run: the readout moves while the axes move, and the track grows.
            sende(FAHRT)
            warte("the run", lambda: zeile(b1, 0).startswith("FAHRT"))
            gesehen = set()
            punkte = set()
            bis = time.monotonic() + FRIST
            while not zeile(b1, 0).startswith("WARTE E3") and time.monotonic() < bis:
                gesehen.add(zahl(b1, "units-X"))
                punkte.add(int(b1.find_element(By.ID, "track").get_attribute("data-points") or 0))
                time.sleep(0.03)
            assert zeile(b1, 0).startswith("WARTE E3"), zeile(b1, 0)
            unterwegs = {x for x in gesehen if 0 < x < 40 or 40 < x < 80}
            assert len(unterwegs) >= 2, f"X seen only at {sorted(gesehen)}"
            assert len(punkte) >= 2, f"the track did not grow: {sorted(punkte)}"
            warte("X at 80 units, 800 steps", lambda: zahl(b1, "units-X") == 80 and zahl(b1, "pos-X") == 800)
            warte("the lamp of output 2", lambda: "an" in b1.find_element(By.ID, "output-2").get_attribute("class"))
            assert b1.find_element(By.ID, "state").text == "run"

            # WE 3 waits until input 3 is set on the page.
            time.sleep(0.5)
            assert zeile(b1, 0).startswith("WARTE E3")
            b1.find_element(By.ID, "input-3").click()
            warte("the end of the WE wait", lambda: zeile(b1, 0).startswith("WEITER"))
            warte("input 3 shown set",
                  lambda: b2.find_element(By.ID, "input-3").get_attribute("aria-pressed") == "true")
            if a.screenshot:
                b1.save_screenshot(a.screenshot)

            # A single-step run waits for a key before every command.
            sende(SCHRITTE, "--mode", "step")
            time.sleep(0.5)
            assert not zeile(b1, 0).startswith("SCHRITT")
            b1.find_element(By.CSS_SELECTOR, "#keypad button[data-key='0']").click()
            warte("the first step", lambda: zeile(b1, 0).startswith("SCHRITT 1"))
            time.sleep(0.5)
            assert zeile(b1, 0).startswith("SCHRITT 1"), zeile(b1, 0)
            b1.find_element(By.CSS_SELECTOR, "#keypad button[data-key='11']").click()
            warte("the second step", lambda: zeile(b1, 0).startswith("SCHRITT 2"))
            warte("the second browser's display", lambda: zeile(b2, 0).startswith("SCHRITT 2"))
        finally:
            b1.quit()
            b2.quit()
            steuerung.terminate()
            steuerung.wait(timeout=30)
    print("panel browser test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
