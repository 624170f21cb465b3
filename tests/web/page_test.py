#!/usr/bin/env python3
"""The page in headless Chromium, opened from file:// as a user would open it
from a folder: the three example files give the expected MyMicOut through the
download button, with the messages, the plot and the summary shown; a
one-point reference, dropped on its box, gives its error message in plain
sight, naming the file by its own name; and nothing asks
for anything beyond the page itself, which its Content-Security-Policy would
refuse anyway.

Exits 77 (skipped) when Chromium, its driver or Selenium is missing."""

import argparse
import json
import shutil
import sys
import tempfile
import time
from pathlib import Path

SkipStatus = 77
Examples = Path(__file__).resolve().parents[2] / "examples"
Chromium = "/usr/bin/chromium"
ChromeDriver = "/usr/bin/chromedriver"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None


def StartBrowser(profile, downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = Chromium
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--window-size=1000,1800",
                 f"--user-data-dir={profile}"):
        options.add_argument(flag)
    options.add_experimental_option("prefs", {
        "download.default_directory": str(downloads),
        "download.prompt_for_download": False,
    })
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    return webdriver.Chrome(service=Service(ChromeDriver), options=options)


def WaitForOutcome(browser, previous):
    """The outcome line once a run has finished after previous was shown."""
    def Finished(driver):
        text = driver.find_element(By.ID, "outcome").text
        return text if text != previous and not text.startswith(("Converting", "Waiting")) else None
    return WebDriverWait(browser, 60).until(Finished)


def Choose(browser, key, path):
    browser.find_element(By.ID, key).send_keys(str(path))


def Drop(browser, key, name, text):
    """Drops a file made of text onto the zone of the input key."""
    browser.execute_script("""
        const [key, name, text] = arguments;
        const transfer = new DataTransfer();
        transfer.items.add(new File([text], name, { type: "text/plain" }));
        const zone = document.querySelector(`.drop[data-key="${key}"]`);
        zone.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true,
                                                   cancelable: true }));
    """, key, name, text)


def UnexpectedRequests(browser, page):
    """Requests that went beyond the page and what it made itself (data: and
    blob: URLs): any of the page's own, and any at all to the network. The
    browser's start page loads chrome:// resources of its own, which are no
    concern of the page."""
    unexpected = []
    for entry in browser.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] != "Network.requestWillBeSent":
            continue
        url = message["params"]["request"]["url"]
        fromPage = message["params"].get("documentURL") == page
        if url.startswith(("http:", "https:", "ws:", "wss:", "ftp:")) or (
                fromPage and url != page and not url.startswith(("data:", "blob:"))):
            unexpected.append(url)
    return unexpected


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--page", required=True)
    parser.add_argument("--screenshot", help="where to save a picture of the converted examples")
    options = parser.parse_args()
    if webdriver is None or not Path(Chromium).exists() or not Path(ChromeDriver).exists():
        print("skipped: needs chromium, chromium-driver and python3-selenium")
        return SkipStatus
    page = Path(options.page).resolve()
    problems = []

    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        downloads = work / "downloads"
        downloads.mkdir()
        browser = StartBrowser(work / "profile", downloads)
        try:
            browser.get(page.as_uri())
            for key, name in (("refMicFrom", "RefMicFrom.txt"), ("refMicTo", "RefMicTo.txt"),
                              ("myMicIn", "MyMicIn.txt")):
                Choose(browser, key, Examples / name)
            outcome = WaitForOutcome(browser, "")
            messages = browser.find_element(By.ID, "messages").text
            if not outcome.startswith("Converted MyMicIn.txt"):
                problems.append(f"examples: outcome {outcome!r}")
            if messages.strip() != "Tarvelin":
                problems.append(f"examples: messages {messages!r}")
            picture = browser.find_element(By.ID, "plot-image")
            loaded = browser.execute_script(
                "return arguments[0].complete && arguments[0].naturalWidth > 0", picture)
            if not picture.get_attribute("src").startswith("blob:") or not loaded:
                problems.append("examples: no plot shown")
            correction = browser.find_element(By.ID, "summary-correction").text
            if not correction.endswith(" dB") or " to " not in correction:
                problems.append(f"examples: summary of the correction {correction!r}")
            milliseconds = browser.execute_script(
                "return document.body.dataset.conversionMilliseconds")
            print(f"conversion of the examples in the page: {milliseconds} ms")
            if options.screenshot:
                browser.save_screenshot(options.screenshot)

            browser.find_element(By.ID, "download").click()
            saved = downloads / "MyMicIn-converted.txt"
            for _ in range(100):
                if saved.exists():
                    break
                time.sleep(0.1)
            expected = (Examples / "expected" / "MyMicOut.txt").read_bytes()
            if not saved.exists() or saved.read_bytes() != expected:
                problems.append("examples: the downloaded MyMicIn-converted.txt is not "
                                "examples/expected/MyMicOut.txt")

            # Dropped, not chosen, and named unlike the default, so that the
            # message shows that the file's own name reaches the converter.
            Drop(browser, "refMicTo", "Ref one point.txt",
                 '"one point is no curve"\r\n1000 0.5\r\n')
            outcome = WaitForOutcome(browser, outcome)
            messages = browser.find_element(By.ID, "messages").text
            error = "Error - invalid file Ref one point.txt"
            if messages.strip().splitlines()[-1:] != [error]:
                problems.append(f"one-point reference: messages {messages!r}")
            if error not in outcome:
                problems.append(f"one-point reference: outcome {outcome!r}")
            if browser.find_element(By.ID, "download").is_displayed():
                problems.append("one-point reference: a download is offered")

            for url in UnexpectedRequests(browser, page.as_uri()):
                problems.append(f"requested {url[:100]}")
            for entry in browser.get_log("browser"):
                if entry["level"] == "SEVERE":
                    problems.append(f"browser console: {entry['message'][:300]}")
        finally:
            browser.quit()

    for problem in problems:
        print("FAIL " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
