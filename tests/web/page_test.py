#!/usr/bin/env python3
"""The page in headless Chromium, opened from file:// as a user would open it
from a folder:
- the three example files give the expected MyMicOut through the download
  control (pressed with Space), with the messages, the plot and the summary
  (its numbers as the check gives them) shown; "Save as" FRD gives the native
  export of the native MyMicOut; the plot's four curves have four dash
  patterns; it is drawn for the width of its frame, so that on a 390-pixel
  phone nothing scrolls sideways and its smallest text is 10 pixels or more;
  its frame is a tab stop only on a screen so narrow that it scrolls;
- in the mode that makes a calibration, the three files of examples/derive
  give its expected MyMicCal through the download, a plot as wide as its
  frame, and "Save as" CSV; a MyMicMeasured 30 dB louder gives the warning's
  sentence with its line; the conversion's mode is then as it was left;
- a one-point reference, dropped on its box, gives its error message in plain
  sight, naming the file by its own name, and no download; files dropped
  beside the boxes fill the empty ones in order, and two dropped on a
  reference's box are refused with a message;
- a comma-separated MyMicIn gives "Nothing was converted" and no download;
  the headline of each file with warnings names its cause first;
- Repair on a decimal-comma MyMicIn (pressed with the keyboard) gives the
  native program's MyMicOut of the native repair's copy, and that copy;
- a file changed after it was chosen gives an error that says to choose it
  again, and choosing it again at the same path converts;
- a batch of six MyMicIn files gives a table with the file without data
  lines first, then the two with warnings, and the reference's note once
  above it; one zip whose entries are the native program's MyMicOut; after
  "Repair what can be repaired", the zip holds the repaired copy too;
- a MyMicIn of a million lines leaves no stretch of the page's thread longer
  than 100 ms, measured with a 10 ms timer in the page, and the conversion's
  time is printed beside the native program's; a new choice while it
  converts supersedes it;
- axe-core finds no violation after a conversion, with the plot on a phone
  and on a screen too narrow for it, and after an error (skipped, with a
  message, when axe-core is not installed);
- Deutsch chosen in the language menu sets the page's language, and a reload
  keeps it; the example files then give the outcome line and the findings'
  titles in German where po/de.po has them (in English where not), and on a
  phone nothing scrolls sideways;
- nothing asks for anything beyond the page itself, which its
  Content-Security-Policy would refuse anyway.

Exits 77 (skipped) when Chromium, its driver or Selenium is missing."""

import argparse
import json
import math
import os
import statistics
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

SkipStatus = 77
Root = Path(__file__).resolve().parents[2]
Examples = Root / "examples"
Chromium = "/usr/bin/chromium"
ChromeDriver = "/usr/bin/chromedriver"
# Where tests/web/ci-steps.sh installs axe-core; AXE_CORE names another file.
AxeCandidates = [os.environ.get("AXE_CORE", ""),
                 Root / "build" / "axe" / "node_modules" / "axe-core" / "axe.min.js"]
LongestStall = 100  # milliseconds

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select, WebDriverWait
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


class Page:
    def __init__(self, browser, downloads, problems, shots=None):
        self.Browser = browser
        self.Downloads = downloads
        self.Problems = problems
        self.Shots = shots
        # How the outcome line begins while a run is not done, in each
        # language the test chooses.
        self.Busy = ("Converting", "Repairing", "Waiting")

    def Text(self, id):
        return self.Browser.find_element(By.ID, id).text

    def Body(self, attribute):
        return self.Browser.find_element(By.TAG_NAME, "body").get_attribute(attribute)

    def Shown(self, id):
        return self.Browser.find_element(By.ID, id).is_displayed()

    def Expect(self, condition, problem):
        if not condition:
            self.Problems.append(problem)

    def Run(self, action, timeout=60):
        """Does action (a choice or a drop) and returns the outcome line once
        that run has finished."""
        self.Browser.execute_script("document.getElementById('outcome').textContent = '';")
        action()

        def Finished(driver):
            text = driver.find_element(By.ID, "outcome").text
            return text if text and not text.startswith(self.Busy) else None
        return WebDriverWait(self.Browser, timeout).until(Finished)

    def Choose(self, key, *paths):
        self.Browser.find_element(By.ID, key).send_keys("\n".join(str(path) for path in paths))

    def Drop(self, key, name, text):
        """Drops a file made of text onto the box of the input key."""
        self.DropFiles(f'.drop[data-key="{key}"]', [(name, text)])

    def DropFiles(self, where, files):
        """Drops files made of text, [(name, text)], on the element where."""
        self.Browser.execute_script("""
            const [where, files] = arguments;
            const transfer = new DataTransfer();
            for (const [name, text] of files) {
              transfer.items.add(new File([text], name, { type: "text/plain" }));
            }
            document.querySelector(where).dispatchEvent(
                new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
        """, where, files)

    def Downloaded(self, name):
        """The bytes of the file downloaded as name, which is then removed,
        so that the next download of that name takes it again."""
        saved = self.Downloads / name
        for _ in range(100):
            if saved.exists():
                data = saved.read_bytes()
                saved.unlink()
                return data
            time.sleep(0.1)
        return None

    def Findings(self):
        """The codes of the findings shown."""
        return [item.get_attribute("data-code") for item in
                self.Browser.find_elements(By.CSS_SELECTOR, "#findings li[data-code]")]

    def Shot(self, name, at="result-heading"):
        """Saves a picture of the window, scrolled to the element of id at,
        in --shots (when given) as name-WIDTH.png."""
        if self.Shots:
            self.Browser.execute_script(
                "document.getElementById(arguments[0]).scrollIntoView()", at)
            width = self.Browser.execute_script("return window.innerWidth")
            self.Browser.save_screenshot(str(Path(self.Shots) / f"{name}-{width}.png"))


# Keeps each SVG picture the page makes, by its URL, so that the test can
# read the picture shown (the page's policy lets nothing fetch it).
RecordPictures = """
    window.pictures = {};
    const create = URL.createObjectURL;
    URL.createObjectURL = (blob) => {
      const url = create.call(URL, blob);
      if (blob instanceof Blob && blob.type === "image/svg+xml") {
        window.pictures[url] = blob;
      }
      return url;
    };
"""
SvgNamespace = "{http://www.w3.org/2000/svg}"


def ShownPlot(page, width, when):
    """Resizes the window, waits until the plot shown has been drawn for its
    frame, and returns the picture's root element, the ratio of its size on
    the screen to its own, and whether the page and the frame scroll
    sideways and the frame is a tab stop."""
    page.Browser.set_window_size(width, 844 if width < 1000 else 1800)
    state = """
        const image = document.getElementById("plot-image");
        const frame = document.getElementById("plot-frame");
        const blob = window.pictures[image.src];
        return { ready: image.complete && image.naturalWidth > 0 && blob !== undefined &&
                        (image.naturalWidth === frame.clientWidth ||
                         (image.naturalWidth === 240 && frame.clientWidth < 240)),
                 shown: image.getBoundingClientRect().width, drawn: image.naturalWidth,
                 pageScrolls: document.documentElement.scrollWidth >
                              document.documentElement.clientWidth,
                 frameScrolls: frame.scrollWidth > frame.clientWidth,
                 tabStop: frame.getAttribute("tabindex") === "0",
                 hint: !document.getElementById("plot-scrolls").hidden };
    """
    try:
        WebDriverWait(page.Browser, 20).until(lambda driver: driver.execute_script(state)["ready"])
    except Exception:
        page.Problems.append(f"{when}: the plot was not drawn for its frame: "
                             f"{page.Browser.execute_script(state)}")
        return None, None
    found = page.Browser.execute_script(state)
    svg = page.Browser.execute_async_script("""
        const done = arguments[0];
        window.pictures[document.getElementById("plot-image").src].text().then(done);
    """)
    return ElementTree.fromstring(svg), found


def SmallestText(element, inherited=16.0):
    size = float(element.get("font-size", inherited))
    sizes = [size] if element.tag == SvgNamespace + "text" else []
    return min([SmallestText(child, size) for child in element] + sizes, default=inherited)


def PlotRows(page, options, axe):
    """The plot at a desktop's width, a phone's, and one too narrow for any
    picture."""
    root, found = ShownPlot(page, 1000, "plot on a desktop")
    if root is None:
        return
    Grey(page, "plot-grayscale", "summary")
    patterns = {path.get("id"): path.get("stroke-dasharray")
                for path in root.iter(SvgNamespace + "path")
                if path.get("id") in ("RefMicFrom", "RefMicTo", "MyMicIn", "MyMicOut")}
    page.Expect(len(patterns) == 4 and len(set(patterns.values())) == 4,
                f"plot: the curves' dash patterns are not four different ones: {patterns}")
    page.Expect(not found["tabStop"] and not found["frameScrolls"] and not found["hint"],
                f"plot on a desktop: the frame scrolls or is a tab stop: {found}")
    for width, name in ((390, "a phone"), (250, "a screen too narrow")):
        root, found = ShownPlot(page, width, f"plot on {name}")
        if root is None:
            continue
        scale = found["shown"] / found["drawn"]
        scrolls = width < 300
        page.Expect(abs(scale - 1) < 0.01 and not found["pageScrolls"],
                    f"plot on {name}: the picture is shown at {scale:.2f} of its size, "
                    f"the page scrolls sideways: {found['pageScrolls']}")
        page.Expect(SmallestText(root) * scale >= 10,
                    f"plot on {name}: text of {SmallestText(root) * scale:.1f} pixels")
        page.Expect(found["frameScrolls"] == scrolls and found["tabStop"] == scrolls
                    and found["hint"] == scrolls,
                    f"plot on {name}: the frame should {'' if scrolls else 'not '}scroll, and be a "
                    f"tab stop and say so only then: {found}")
        if width == 390 and options.phone_screenshot:
            page.Browser.save_screenshot(options.phone_screenshot)
        if width == 390:
            page.Shot("plot", "plot")
            Grey(page, "plot-grayscale", "plot")
        CheckAccessibility(page, axe, f"a conversion on {name}")
    page.Browser.set_window_size(1000, 1800)


def Grey(page, name, at="result-heading"):
    """A picture of the window as someone who sees no colour sees it."""
    if not page.Shots:
        return
    page.Browser.execute_cdp_cmd("Emulation.setEmulatedVisionDeficiency", {"type": "achromatopsia"})
    page.Shot(name, at)
    page.Browser.execute_cdp_cmd("Emulation.setEmulatedVisionDeficiency", {"type": "none"})


def AxeScript():
    for candidate in AxeCandidates:
        if candidate and Path(candidate).is_file():
            return Path(candidate).read_text(encoding="utf-8")
    print("skipped: axe-core, not found (tests/web/ci-steps.sh installs it into build/axe)")
    return None


def CheckAccessibility(page, axe, when):
    if axe is None:
        return
    violations = page.Browser.execute_async_script("""
        const [source, done] = arguments;
        if (typeof axe === "undefined") {
          (0, eval)(source);
        }
        axe.run(document, { resultTypes: ["violations"] })
           .then((result) => done(result.violations.map((v) => [v.id, v.impact, v.nodes.length])),
                 (error) => done([["axe failed", String(error), 0]]));
    """, axe)
    for rule, impact, count in violations:
        page.Problems.append(f"axe after {when}: {rule} ({impact}) on {count} elements")


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


def NativeOutput(tarvelin, work, myMicIn):
    out = work / "native-out.txt"
    subprocess.run([tarvelin, Examples / "RefMicFrom.txt", Examples / "RefMicTo.txt", myMicIn,
                    out], check=True, capture_output=True, timeout=60)
    return out.read_bytes()


def ExampleFiles(page, work, options, axe, tarvelin):
    for key, name in (("refMicFrom", "RefMicFrom.txt"), ("refMicTo", "RefMicTo.txt")):
        page.Choose(key, Examples / name)
    outcome = page.Run(lambda: page.Choose("myMicIn", Examples / "MyMicIn.txt"))
    messages = page.Text("messages").splitlines()
    page.Expect(outcome.startswith("Converted MyMicIn.txt"), f"examples: outcome {outcome!r}")
    page.Expect(messages[0].startswith("$ Tarvelin RefMicFrom.txt") and
                messages[1:] == ["", "Tarvelin"], f"examples: messages {messages!r}")
    picture = page.Browser.find_element(By.ID, "plot-image")
    WebDriverWait(page.Browser, 10).until(lambda _: picture.get_attribute("src"))
    loaded = page.Browser.execute_script(
        "return arguments[0].decode().then(() => arguments[0].naturalWidth > 0, () => false)",
        picture)
    page.Expect(picture.get_attribute("src").startswith("blob:") and loaded,
                "examples: no plot shown")
    # As the file writes them, not as six decimals.
    summary = [page.Text(f"summary-{part}") for part in ("points", "range", "correction")]
    page.Expect(summary == ["RefMicFrom 270, RefMicTo 256, MyMicIn 300", "8 Hz to 26000 Hz",
                            "-0.26325616 dB at 605.841 Hz to 0.2730515 dB at 8 Hz"],
                f"examples: summary {summary}")
    print("conversion of the examples in the page: " + page.Body("data-conversion-milliseconds")
          + " ms")
    CheckAccessibility(page, axe, "a conversion")

    page.Browser.find_element(By.ID, "download").send_keys(Keys.SPACE)
    expected = (Examples / "expected" / "MyMicOut.txt").read_bytes()
    page.Expect(page.Downloaded("MyMicIn-converted.txt") == expected,
                "examples: Space on the download gave no MyMicIn-converted.txt equal to "
                "examples/expected/MyMicOut.txt")
    SaveAs(page, work, axe, tarvelin)

    PlotRows(page, options, axe)


def Derivation(page, work, axe):
    """The mode that makes a calibration: the three example files, the
    outcome, the plot, the download and Save as, a warning with its line,
    and the conversion's mode as it was left."""
    browser = page.Browser
    converted = page.Text("outcome")
    browser.find_element(By.CSS_SELECTOR, 'label[for="mode-derive"]').click()
    page.Expect(page.Shown("derive-mode") and not page.Shown("convert-mode"),
                "derivation: the mode did not switch")

    def Made(action):
        browser.execute_script("document.getElementById('derive-outcome').textContent = '';")
        action()

        def Finished(driver):
            text = driver.find_element(By.ID, "derive-outcome").text
            return text if text and not text.startswith(("Making", "Waiting")) else None
        return WebDriverWait(browser, 60).until(Finished)

    folder = Examples / "derive"
    page.Choose("refMicCal", folder / "RefMicCal.txt")
    page.Choose("refMicMeasured", folder / "RefMicMeasured.txt")
    outcome = Made(lambda: page.Choose("myMicMeasured", folder / "MyMicMeasured.txt"))
    page.Expect(outcome.startswith("Calibration made.") and
                "MyMicMeasured-calibration.txt" in outcome, f"derivation: outcome {outcome!r}")
    picture = browser.find_element(By.ID, "derive-plot-image")
    WebDriverWait(browser, 10).until(lambda _: picture.get_attribute("src"))
    loaded = browser.execute_script(
        "return arguments[0].decode().then(() => arguments[0].naturalWidth, () => 0)", picture)
    frame = browser.execute_script(
        "return document.getElementById('derive-plot-frame').clientWidth")
    page.Expect(loaded == frame, f"derivation: a plot {loaded} wide in a frame {frame} wide")
    page.Shot("derive", "derive-result-heading")
    Grey(page, "derive-grayscale", "derive-result-heading")
    CheckAccessibility(page, axe, "a derivation")
    browser.find_element(By.ID, "derive-download").send_keys(Keys.SPACE)
    page.Expect(page.Downloaded("MyMicMeasured-calibration.txt") ==
                (folder / "expected" / "MyMicCal.txt").read_bytes(),
                "derivation: the download is not examples/derive/expected/MyMicCal.txt")
    Select(browser.find_element(By.ID, "derive-save-as")).select_by_value("csv")
    download = browser.find_element(By.ID, "derive-download")
    WebDriverWait(browser, 20).until(
        lambda _: download.get_attribute("download") == "MyMicMeasured-calibration.csv" and
        download.get_attribute("href"))
    download.send_keys(Keys.SPACE)
    saved = page.Downloaded("MyMicMeasured-calibration.csv")
    page.Expect(saved is not None and saved.count(b"\n") > 500,
                "derivation: Save as CSV gave no MyMicMeasured-calibration.csv")

    # 30 dB more: written, with the warning's sentence and its line.
    louder = []
    for line in (folder / "MyMicMeasured.txt").read_text().splitlines():
        if line.startswith("%"):
            louder.append(line)
        else:
            frequency, level = line.split(";")
            louder.append(f"{frequency};{float(level.replace(',', '.')) + 30:.2f}".replace(
                ".", ","))
    outcome = Made(lambda: page.DropFiles('.drop[data-derive-key="myMicMeasured"]',
                                          [("Louder.txt", "\r\n".join(louder) + "\r\n")]))
    warnings = browser.find_elements(By.CSS_SELECTOR, "#derive-warnings li")
    codes = [(item.get_attribute("data-code"), item.get_attribute("data-line"))
             for item in warnings]
    page.Expect(outcome.startswith("Made, with warnings.") and
                any(code == "levels-differ" and line != "0" for code, line in codes) and
                all(item.text.startswith("Warning - ") for item in warnings),
                f"derivation with louder MyMicMeasured: {outcome!r}, {codes}")
    page.Shot("derive-warned", "derive-result-heading")

    browser.find_element(By.CSS_SELECTOR, 'label[for="mode-convert"]').click()
    page.Expect(page.Shown("convert-mode") and not page.Shown("derive-mode") and
                page.Text("outcome") == converted,
                "derivation: back in the conversion, its outcome is not as it was")


def SaveAs(page, work, axe, tarvelin):
    """MyMicOut saved as FRD: the native export of the native MyMicOut."""
    Select(page.Browser.find_element(By.ID, "save-as")).select_by_value("frd")
    download = page.Browser.find_element(By.ID, "download")
    WebDriverWait(page.Browser, 20).until(
        lambda _: download.get_attribute("download") == "MyMicIn-converted.frd")
    page.Shot("save-as")
    CheckAccessibility(page, axe, "Save as FRD")
    download.click()
    saved = page.Downloaded("MyMicIn-converted.frd")
    if tarvelin is None:
        page.Expect(saved is not None, "save as: no MyMicIn-converted.frd")
        return
    (work / "MyMicOut.txt").write_bytes((Examples / "expected" / "MyMicOut.txt").read_bytes())
    subprocess.run([Sibling(tarvelin, "TarvelinExport"), "--to", "frd", work / "MyMicOut.txt",
                    work / "native.frd"], check=True, capture_output=True, timeout=60)
    page.Expect(saved == (work / "native.frd").read_bytes(),
                "save as: MyMicIn-converted.frd is not what TarvelinExport writes")
    Select(page.Browser.find_element(By.ID, "save-as")).select_by_value("")


def Sibling(tarvelin, program):
    """Another native program (TarvelinExport, say) beside Tarvelin, named as
    it is: tarvelin-export beside an installed tarvelin."""
    if Path(tarvelin).name == "tarvelin":
        program = "tarvelin-" + program[len("Tarvelin"):].lower()
    return Path(tarvelin).with_name(program)


def OnePointReference(page, axe):
    # Dropped, not chosen, and named unlike the default, so that the
    # message shows that the file's own name reaches the converter.
    outcome = page.Run(lambda: page.Drop("refMicTo", "Ref one point.txt",
                                         '"one point is no curve"\r\n1000 0.5\r\n'))
    messages = page.Text("messages")
    error = "Error - invalid file Ref one point.txt"
    page.Expect(messages.strip().splitlines()[-1:] == [error],
                f"one-point reference: messages {messages!r}")
    # The converter's message, and beyond it what to fix.
    page.Expect(outcome.startswith("Too few points in RefMicTo Ref one point.txt. Give ") and
                f"“{error}”" in outcome, f"one-point reference: outcome {outcome!r}")
    page.Expect(not page.Shown("download"), "one-point reference: a download is offered")
    findings = page.Findings()
    page.Expect("too-few-points" in findings,
                f"one-point reference: findings {findings}")
    CheckAccessibility(page, axe, "an error")
    page.Run(lambda: page.Choose("refMicTo", Examples / "RefMicTo.txt"))


# Files whose headline names a cause, with the title it starts with: the
# cause of a file without data lines is what dropped them, or its bytes.
Headlines = [
    ("Comma mic.txt", b'"Freq,SPL"\r\n20,1.5\r\n1000,0.25\r\n', "Spreadsheet CSV", "Nothing"),
    ("Unicode mic.txt", '"mic"\r\n20\t-1.5\r\n1000\t0\r\n'.encode("utf-16"), "UTF-16 text",
     "Nothing"),
    ("Picture.png", b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", "Not a text file", "Nothing"),
    ("kHz mic.txt", b'"kHz"\r\n0.02\t-1.5\r\n1\t0\r\n10\t2.25\r\n20\t1\r\n',
     "Looks like kHz", "Converted, with 2 warnings"),
]


def CommaSeparated(page, work):
    for name, data, title, result in Headlines:
        (work / name).write_bytes(data)
        outcome = page.Run(lambda: page.Choose("myMicIn", work / name))
        page.Expect(outcome.startswith(f"{title} in MyMicIn {name}") and f" {result}" in outcome,
                    f"headline of {name}: {outcome!r}")
        # A result with warnings is offered as such.
        offer = page.Text("download") if page.Shown("download") else None
        page.Expect(offer is None if result == "Nothing" else "Download anyway: " in offer,
                    f"headline of {name}: download {offer!r}")


def NativeRepairAndConversion(tarvelin, work, name):
    """The native repair's copy of work/name, and the native MyMicOut of it."""
    copy = work / "native-repaired.txt"
    subprocess.run([Sibling(tarvelin, "TarvelinRepair"), work / name, copy],
                   capture_output=True, timeout=60)
    return copy.read_bytes(), NativeOutput(tarvelin, work, copy)


DecimalCommas = (b'"Sens Factor =-0,21dB, SERNO: 4410990"\r\n"Freq(Hz)\tSPL(dB)"\r\n'
                 b"20\t-1,52\r\n100\t-0,31\r\n1000\t0,02\r\n10000\t2,25\r\n20000\t-3,5\r\n")


def PressRepair(page, when):
    """Presses the first Repair button among the findings with the keyboard;
    the outcome once the page is done, or None without a button."""
    buttons = page.Browser.find_elements(By.CSS_SELECTOR, "#findings button.repair")
    if not buttons:
        page.Problems.append(f"{when}: no Repair button among the findings")
        return None
    return page.Run(lambda: buttons[0].send_keys(Keys.ENTER))


def RepairOne(page, work, axe, tarvelin):
    # A line that reads two ways: the repair would write nothing, so no
    # Repair is offered, and the finding says why.
    (work / "Two ways.txt").write_bytes(b'"x"\r\n20,5,-1,5\r\n100,5,-0,85\r\n1000,0,0,25\r\n')
    page.Run(lambda: page.Choose("myMicIn", work / "Two ways.txt"))
    page.Expect(not page.Browser.find_elements(By.CSS_SELECTOR, "#findings button.repair") and
                "can be read as" in page.Text("findings"),
                f"a file read two ways: {page.Text('findings')!r}")
    page.Shot("two-readings", "findings")
    CheckAccessibility(page, axe, "a file read two ways")

    name = "Decimal mic.txt"
    (work / name).write_bytes(DecimalCommas)
    outcome = page.Run(lambda: page.Choose("myMicIn", work / name))
    page.Expect(outcome.startswith(f"Decimal commas in MyMicIn {name}, line 3. Save it with "),
                f"repair: headline {outcome!r}")
    page.Shot("headline")
    outcome = PressRepair(page, "repair")
    if outcome is None:
        return
    page.Expect(outcome.startswith("Converted Decimal mic-repaired.txt, the repaired copy of "
                                   f"{name}: "), f"repair: outcome {outcome!r}")
    page.Expect("decimal commas became full stops" in page.Text("repair-messages"),
                f"repair: what it changed {page.Text('repair-messages')!r}")
    page.Shot("repair")
    CheckAccessibility(page, axe, "a repair")
    page.Browser.find_element(By.ID, "download").click()
    converted = page.Downloaded("Decimal mic-converted.txt")
    page.Browser.find_element(By.CSS_SELECTOR, '#repaired-downloads a').click()
    copy = page.Downloaded("Decimal mic-repaired.txt")
    if tarvelin is not None:
        nativeCopy, nativeConverted = NativeRepairAndConversion(tarvelin, work, name)
        page.Expect(copy == nativeCopy, f"repair: the copy {copy!r} is not the native {nativeCopy!r}")
        page.Expect(converted == nativeConverted,
                    f"repair: MyMicOut {converted!r} is not the native {nativeConverted!r}")


def ChangedAfterChoosing(page, work):
    changing = work / "Changing mic.txt"
    changing.write_bytes((Examples / "MyMicIn.txt").read_bytes())
    page.Run(lambda: page.Choose("myMicIn", changing))
    changing.write_bytes(b'"edited"\r\n' + (Examples / "MyMicIn.txt").read_bytes())
    outcome = page.Run(lambda: page.Choose("refMicTo", Examples / "RefMicTo.txt"))
    page.Expect(outcome.startswith("Not converted") and "Changing mic.txt" in outcome and
                "Choose it again" in outcome, f"changed file: outcome {outcome!r}")
    outcome = page.Run(lambda: page.Choose("myMicIn", changing))
    page.Expect(outcome.startswith("Converted Changing mic.txt"),
                f"changed file, chosen again: outcome {outcome!r}")


def Batch(page, work, options, tarvelin, axe):
    """A lab's microphones, one of them written by an older program with
    commas, one with decimal commas and one in kHz; the README's picture is
    this one."""
    files = {"Mic 4410982.txt": (Examples / "MyMicIn.txt").read_bytes(),
             "Mic 4410983.txt": b'"Sens Factor =-0.12dB, SERNO: 4410983"\r\n'
                                b"20 -1.5\r\n1000 -0.5\r\n10000 2.25 45\r\n",
             "Mic 3390417.txt": b'"Freq(Hz),SPL(dB)"\r\n20,-1.52\r\n1000,0.00\r\n',
             "Mic 4410990.txt": DecimalCommas,
             "Mic 4410991.txt": b'"kHz, SERNO: 4410991"\r\n0.02\t-1.5\r\n1\t0\r\n'
                                b"10\t2.25\r\n20\t1\r\n",
             "Mic 4410992.txt": b'"SERNO: 4410992"\n20 -0.75\n1000 0\n20000 -2.5\n'}
    for name, data in files.items():
        (work / name).write_bytes(data)
    page.Browser.set_window_size(1280, 1400)
    outcome = page.Run(lambda: page.Choose("myMicIn", *(work / name for name in files)))
    page.Expect(outcome.startswith("Converted 5 of 6 files, 2 with warnings; 1 not converted"),
                f"batch: outcome {outcome!r}")
    page.Expect(page.Text("myMicIn-chosen") == "Chosen: 6 files.",
                f"batch: the box says {page.Text('myMicIn-chosen')!r}")
    rows = [(row.find_element(By.TAG_NAME, "button").text, row.get_attribute("data-outcome"),
             row.find_element(By.CLASS_NAME, "titles").text.splitlines()[0])
            for row in page.Browser.find_elements(By.CSS_SELECTOR, "#batch tbody tr")]
    page.Expect(rows == [("Mic 3390417.txt", "empty", "Spreadsheet CSV"),
                         ("Mic 4410990.txt", "warnings", "Decimal commas"),
                         ("Mic 4410991.txt", "warnings", "Looks like kHz, Far beyond the references"),
                         ("Mic 4410982.txt", "converted", "none"),
                         ("Mic 4410983.txt", "converted", "none"),
                         ("Mic 4410992.txt", "converted", "none")],
                f"batch: rows {rows}")
    above = page.Browser.execute_script("""
        return [...document.querySelectorAll("#findings li[data-code]")]
            .filter((item) => !item.closest("#batch")).map((item) => item.dataset.code);""")
    page.Expect(above == ["sensitivity-changed"], f"batch: above the table {above}")
    # Choosing a row plots its file.
    page.Browser.find_element(By.XPATH, '//button[text()="Mic 4410983.txt"]').send_keys(Keys.ENTER)
    WebDriverWait(page.Browser, 20).until(
        lambda _: page.Text("plot-caption").startswith("Mic 4410983.txt"))
    page.Expect(page.Text("messages-heading").endswith("for Mic 4410983.txt"),
                f"batch: messages of {page.Text('messages-heading')!r}")
    if options.screenshot:
        page.Browser.execute_script("window.scrollTo(0, 0)")
        page.Browser.save_screenshot(options.screenshot)
    page.Shot("batch")
    Grey(page, "batch-grayscale")
    CheckAccessibility(page, axe, "a batch")
    page.Browser.set_window_size(390, 844)
    page.Expect(not page.Browser.execute_script(
        "return document.documentElement.scrollWidth > document.documentElement.clientWidth"),
        "batch on a phone: the page scrolls sideways")
    page.Shot("batch", "batch")
    CheckAccessibility(page, axe, "a batch on a phone")
    page.Browser.set_window_size(1280, 1400)
    converted = [name for name in files if name != "Mic 3390417.txt"]
    BatchZip(page, work, tarvelin, "Tarvelin-converted.zip",
             {name[:-4] + "-converted.txt": work / name for name in converted})

    # The decimal commas and the commas between numbers are repaired; the
    # file in kHz is left for a person.
    outcome = page.Run(lambda: page.Browser.find_element(By.ID, "repair-all").click())
    page.Expect(outcome.startswith("Converted 6 of 6 files, 1 with warnings") and
                " 2 files were repaired first" in outcome, f"batch repaired: outcome {outcome!r}")
    page.Shot("batch-repaired")
    CheckAccessibility(page, axe, "a batch repaired")
    expected = {name[:-4] + "-converted.txt": work / name for name in files}
    repaired = ["Mic 3390417.txt", "Mic 4410990.txt"]
    expected.update({f"repaired/{name[:-4]}-repaired.txt": None for name in repaired})
    BatchZip(page, work, tarvelin, "Tarvelin-converted.zip", expected, repaired)
    page.Browser.set_window_size(1000, 1800)


def BatchZip(page, work, tarvelin, zipName, expected, repaired=()):
    """Downloads the batch's zip, which must hold the expected entries: each
    the native MyMicOut of its file, or of the native repair's copy of a file
    repaired, and that copy."""
    page.Browser.find_element(By.ID, "download").click()
    zipped = page.Downloaded(zipName)
    if zipped is None:
        page.Problems.append(f"batch: no {zipName} downloaded")
        return
    (work / "batch.zip").write_bytes(zipped)
    with zipfile.ZipFile(work / "batch.zip") as archive:
        page.Expect(archive.testzip() is None, "batch: the zip is damaged")
        entries = {name: archive.read(name) for name in archive.namelist()}
    page.Expect(sorted(entries) == sorted(expected), f"batch: the zip holds {sorted(entries)}")
    if tarvelin is None:
        print("skipped: the batch's bytes, without a native Tarvelin to compare with")
        return
    for entry, source in expected.items():
        mended = [name for name in repaired if name[:-4] in entry]
        if mended:
            copy, native = NativeRepairAndConversion(tarvelin, work, mended[0])
            wanted = copy if source is None else native
        else:
            wanted = NativeOutput(tarvelin, work, source)
        page.Expect(entries.get(entry) == wanted,
                    f"batch: {entry} in the zip is not what the native programs write")


def WriteMillionLines(path):
    with open(path, "w", newline="") as file:
        file.write('"a million lines"\r\n')
        count = 1000000
        for i in range(count):
            file.write(f"{10 * 2000 ** (i / (count - 1)):.6f} {math.sin(i / 1000):.4f} "
                       f"{i % 90}\r\n")


def MillionLines(page, pageUri, work, tarvelin):
    big = work / "Million.txt"
    WriteMillionLines(big)
    # A fresh page, so that its first conversion is measured too.
    page.Browser.get(pageUri)
    WebDriverWait(page.Browser, 30).until(lambda driver: driver.execute_script(
        "return document.body.dataset.converterReady === 'yes'"))
    # Dropped beside the boxes, the references fill the empty ones in order;
    # two more dropped on one reference's box are refused, and said to be.
    references = [(name, (Examples / name).read_text()) for name in ("RefMicFrom.txt",
                                                                     "RefMicTo.txt")]
    page.DropFiles("header", references)
    page.DropFiles('.drop[data-key="refMicTo"]', references)
    chosen = [page.Text(f"{key}-chosen") for key in ("refMicFrom", "refMicTo", "myMicIn")]
    page.Expect(chosen[:2] == ["Chosen: RefMicFrom.txt", "Chosen: RefMicTo.txt"] and
                "Chosen" not in chosen[2] and "takes one file" in page.Text("drop-message"),
                f"drops: boxes {chosen}, message {page.Text('drop-message')!r}")
    page.Browser.execute_script("""
        window.longestStall = 0;
        let last = performance.now();
        setInterval(() => {
          const now = performance.now();
          window.longestStall = Math.max(window.longestStall, now - last);
          last = now;
        }, 10);
    """)
    times = []
    for _ in range(2):
        outcome = page.Run(lambda: page.Choose("myMicIn", big), timeout=120)
        page.Expect(outcome.startswith("Converted Million.txt"), f"million lines: {outcome!r}")
        times.append(float(page.Body("data-conversion-milliseconds")))
    stall = page.Browser.execute_script("return window.longestStall")
    # A choice while the large file converts supersedes it, for good.
    page.Choose("myMicIn", big)
    outcome = page.Run(lambda: page.Choose("myMicIn", Examples / "MyMicIn.txt"))
    time.sleep(2)
    page.Expect(outcome.startswith("Converted MyMicIn.txt") and page.Text("outcome") == outcome,
                f"superseded: outcome {outcome!r}, then {page.Text('outcome')!r}")
    print(f"million lines: longest stretch of the page's thread {stall:.0f} ms")
    page.Expect(stall < LongestStall, f"million lines: the page's thread stalled {stall:.0f} ms")
    if tarvelin is not None:
        native = []
        for _ in range(3):
            started = time.perf_counter()
            subprocess.run([tarvelin, Examples / "RefMicFrom.txt", Examples / "RefMicTo.txt", big,
                            work / "million-out.txt"], check=True, capture_output=True)
            native.append((time.perf_counter() - started) * 1000)
        middle = statistics.median(native)
        print(f"million lines: the page's conversion {times[0]:.0f} ms first, {times[1]:.0f} ms "
              f"next; the native program {middle:.0f} ms (median of 3); "
              f"ratios {times[0] / middle:.1f} and {times[1] / middle:.1f}")


def Translations(code):
    """What the page's catalogue holds for a language, as the build makes it
    from its PO file: an entry still empty, or fuzzy, is not in it."""
    sys.path.insert(0, str(Root / "po"))
    try:
        import make_catalogue
    finally:
        sys.path.pop(0)
    return make_catalogue.ReadCatalogue(Root / "po" / f"{code}.po").Entries


def SaidIn(translations, english, **values):
    """english as the page says it in the catalogue's language: translated
    where the catalogue has it, in English where not, with its values."""
    text = translations.get(english, ([english], False))[0][0]
    for name, value in values.items():
        text = text.replace("{" + name + "}", value)
    return text


def LanguageChoice(page, pageUri):
    """Deutsch chosen in the menu is the page's language, and stays so after
    a reload; the page and the module's findings then speak German."""
    Select(page.Browser.find_element(By.ID, "language")).select_by_value("de")
    lang = page.Browser.execute_script("return document.documentElement.lang")
    page.Browser.get(pageUri)
    kept = page.Browser.execute_script(
        "return [document.documentElement.lang, document.getElementById('language').value]")
    page.Expect(lang == "de" and kept == ["de", "de"],
                f"language: chosen {lang!r}, after a reload {kept}")

    german = Translations("de")
    page.Busy += tuple(SaidIn(german, english) for english in
                       ("Converting…", "Repairing…", "Waiting for three files."))
    WebDriverWait(page.Browser, 30).until(lambda driver: driver.execute_script(
        "return document.body.dataset.converterReady === 'yes'"))
    for key, name in (("refMicFrom", "RefMicFrom.txt"), ("refMicTo", "RefMicTo.txt")):
        page.Choose(key, Examples / name)
    outcome = page.Run(lambda: page.Choose("myMicIn", Examples / "MyMicIn.txt"))
    expected = SaidIn(german, "Converted {name}: {output} is ready to download.",
                      name="MyMicIn.txt", output="MyMicIn-converted.txt")
    page.Expect(outcome == expected, f"in German: outcome {outcome!r}, not {expected!r}")
    # The module's words, said in the language the worker gave it.
    titles = page.Browser.execute_script("""
        return Object.fromEntries([...document.querySelectorAll("#findings li[data-code]")]
            .map((item) => [item.dataset.code, item.querySelector(".title").textContent]));""")
    wanted = {"sensitivity-changed": SaidIn(german, "Sensitivity changed"),
              "extrapolated": SaidIn(german, "Beyond the references")}
    page.Expect(titles == wanted, f"in German: the findings' titles {titles}, not {wanted}")
    page.Shot("deutsch")
    page.Shot("deutsch-findings", "findings")
    # German's longer words still fit a phone, the plot's too.
    _, found = ShownPlot(page, 390, "in German on a phone")
    page.Expect(found is None or not found["pageScrolls"],
                "in German on a phone: the page scrolls sideways")
    page.Shot("deutsch")
    page.Shot("deutsch-findings", "findings")
    page.Shot("deutsch-plot", "plot-frame")
    page.Browser.set_window_size(1000, 1800)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--page", required=True)
    parser.add_argument("--tarvelin", default="", help="the native program, to compare with")
    parser.add_argument("--screenshot", help="where to save a picture of the batch (the README's)")
    parser.add_argument("--phone-screenshot",
                        help="where to save a picture of the converted examples, 390 pixels wide")
    parser.add_argument("--shots", help="a folder to save a picture of each state the test visits")
    options = parser.parse_args()
    if webdriver is None or not Path(Chromium).exists() or not Path(ChromeDriver).exists():
        print("skipped: needs chromium, chromium-driver and python3-selenium")
        return SkipStatus
    pageUri = Path(options.page).resolve().as_uri()
    tarvelin = options.tarvelin if options.tarvelin and Path(options.tarvelin).is_file() else None
    axe = AxeScript()
    problems = []

    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        downloads = work / "downloads"
        downloads.mkdir()
        browser = StartBrowser(work / "profile", downloads)
        page = Page(browser, downloads, problems, options.shots)
        browser.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                {"source": RecordPictures})
        try:
            browser.get(pageUri)
            ExampleFiles(page, work, options, axe, tarvelin)
            Derivation(page, work, axe)
            OnePointReference(page, axe)
            CommaSeparated(page, work)
            RepairOne(page, work, axe, tarvelin)
            ChangedAfterChoosing(page, work)
            Batch(page, work, options, tarvelin, axe)
            MillionLines(page, pageUri, work, tarvelin)
            LanguageChoice(page, pageUri)
            for url in UnexpectedRequests(browser, pageUri):
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
