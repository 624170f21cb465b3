// The page's own part: gathers the files from the inputs or from drops, hands
// them to the worker that runs the converter (worker.js, made from the text
// of #worker-source), and shows what comes back: the outcome, the check's
// findings, what the converter printed, a summary, the plot, and one download
// for one file or a zip for several. This thread never runs the converter,
// so that the page answers while it works.

const Keys = ["refMicFrom", "refMicTo", "myMicIn"];
const Roles = { refMicFrom: "RefMicFrom", refMicTo: "RefMicTo", myMicIn: "MyMicIn" };
const RoleKeys = { RefMicFrom: "refMicFrom", RefMicTo: "refMicTo", MyMicIn: "myMicIn" };
const Severities = ["error", "warning", "note"];
const ZipName = "Tarvelin-converted.zip";
const chosen = { refMicFrom: [], refMicTo: [], myMicIn: [] };
let worker = null;
let busy = false;
let currentJob = 0;
let urls = [];
// The picture shown, and the width it was drawn for; a replot under way.
let shownPlot = null;
let replotting = false;
// The widths TarvelinPlot draws at.
const LeastPlotWidth = 240;
const MostPlotWidth = 4000;

const $ = (id) => document.getElementById(id);

function Make(tag, className, text) {
  const element = document.createElement(tag);
  if (className) {
    element.className = className;
  }
  if (text !== undefined) {
    element.textContent = text;
  }
  return element;
}

function Plural(count, one, many) {
  return `${count} ${count === 1 ? one : many}`;
}

// ---- The worker -------------------------------------------------------------

const workerUrl = URL.createObjectURL(
    new Blob([$("worker-source").textContent], { type: "text/javascript" }));

function StartWorker() {
  replotting = false;
  try {
    worker = new Worker(workerUrl);
  } catch (error) {
    worker = null;
    ShowOutcome(`The converter cannot start in this browser (${error}).`, "failed");
    return;
  }
  worker.onmessage = ({ data }) => Receive(data);
  worker.onerror = (event) => {
    event.preventDefault();
    busy = false;
    HideProgress();
    ShowOutcome(`Not converted: the converter stopped (${event.message || "it could not start"}).`,
                "failed");
  };
}

// A new choice while a conversion runs ends it: the result shown is always
// the one for the files shown.
function Run() {
  if (!Keys.every((key) => chosen[key].length > 0)) {
    return;
  }
  if (busy || worker === null) {
    if (worker !== null) {
      worker.terminate();
    }
    StartWorker();
    if (worker === null) {
      return;
    }
  }
  busy = true;
  const job = ++currentJob;
  ClearResult();
  ShowOutcome("Converting…", "");
  ShowProgress({ done: 0, total: 1 });
  worker.postMessage({ job, refMicFrom: chosen.refMicFrom[0], refMicTo: chosen.refMicTo[0],
                       myMicIn: chosen.myMicIn, plotWidth: PlotWidth() });
}

function Receive(data) {
  if (data.type === "ready") {
    document.body.dataset.converterReady = "yes";
    return;
  }
  if (data.type === "replotted") {
    Replotted(data);
    return;
  }
  if (data.job !== currentJob && data.job !== null) {
    return;
  }
  if (data.type === "progress") {
    ShowProgress(data);
  } else if (data.type === "failed") {
    busy = false;
    HideProgress();
    ShowOutcome(`Not converted: the converter stopped (${data.error}).`, "failed");
  } else if (data.type === "done") {
    busy = false;
    HideProgress();
    ShowResult(data);
  }
}

// ---- Showing the result -----------------------------------------------------

function ShowOutcome(text, kind) {
  const outcome = $("outcome");
  outcome.textContent = text;
  outcome.className = kind;
}

function ShowProgress({ text, done, total }) {
  const progress = $("progress");
  progress.max = total;
  progress.value = Math.min(done, total);
  progress.hidden = false;
  if (text) {
    ShowOutcome(`Converting… ${text}.`, "");
  }
}

function HideProgress() {
  $("progress").hidden = true;
}

function ClearResult() {
  for (const url of urls) {
    URL.revokeObjectURL(url);
  }
  urls = [];
  for (const id of ["download", "findings-part", "messages-part", "summary", "plot"]) {
    $(id).hidden = true;
  }
  shownPlot = null;
  $("findings").replaceChildren();
  $("messages").textContent = "";
  $("messages").classList.remove("failed");
  delete document.body.dataset.conversionMilliseconds;
}

function Url(blob) {
  const url = URL.createObjectURL(blob);
  urls.push(url);
  return url;
}

function Quoted(name) {
  return /^[\w.+-]+$/.test(name) ? name : `"${name}"`;
}

function Command(names) {
  return "$ Tarvelin " + [names.refMicFrom, names.refMicTo, names.myMicIn, names.myMicOut]
      .map(Quoted).join(" ") + "\n";
}

function Sorted(findings) {
  return [...findings].sort((a, b) =>
      Severities.indexOf(a.severity) - Severities.indexOf(b.severity));
}

function Count(check, severity) {
  return check ? check.findings.filter((finding) => finding.severity === severity).length : 0;
}

function FindingItem(finding, names) {
  const item = Make("li", `finding ${finding.severity}`);
  item.dataset.code = finding.code;
  item.dataset.severity = finding.severity;
  const severity = finding.severity[0].toUpperCase() + finding.severity.slice(1);
  item.append(Make("span", "severity", severity), " ");
  const key = RoleKeys[finding.role];
  let where = key ? `${finding.role} ${names[key]}` : finding.role;
  if (typeof finding.line === "number") {
    where += `, line ${finding.line}`;
  }
  item.append(Make("span", "where", where), ": ", finding.message, " ",
              Make("code", "code", finding.code));
  return item;
}

function FindingList(check, names) {
  const list = Make("ul", "findings");
  for (const finding of Sorted(check.findings)) {
    list.append(FindingItem(finding, names));
  }
  return list;
}

// What to fix when the converter refuses the files: the check's own words
// where it ran, else what the converter's one message can mean.
function Advice(result) {
  const errors = result.check ? Sorted(result.check.findings)
      .filter((finding) => finding.severity === "error") : [];
  if (errors.length > 0) {
    return errors.map((finding) => finding.message).join(" ");
  }
  return "Each reference needs at least two data lines, and each data line a frequency and a " +
      "level as numbers separated by spaces or tabs (not commas), with a point as the " +
      "decimal mark.";
}

function NothingAdvice(result) {
  const finding = result.check ? Sorted(result.check.findings)
      .find((entry) => entry.role === "MyMicIn" && entry.severity !== "note") : null;
  if (finding) {
    return finding.message;
  }
  return "No line of it is a frequency and a level as numbers separated by spaces or tabs " +
      "(not commas).";
}

function ErrorLine(messages) {
  return messages.split("\n").find((line) => line.startsWith("Error")) ||
      "The conversion failed.";
}

// Each file's outcome: a word for the code, and what to do about it.
function Judge(result) {
  if (result.unreadable) {
    return { kind: "unreadable", failed: true };
  }
  if (result.status !== 0) {
    return { kind: "refused", failed: true,
             text: `${ErrorLine(result.messages)}. ${Advice(result)}` };
  }
  if (result.dataLines === 0) {
    return { kind: "empty", failed: true, text: NothingAdvice(result) };
  }
  const warnings = Count(result.check, "warning");
  return { kind: warnings > 0 ? "warnings" : "converted", failed: false, warnings };
}

const Unreadable = "could not be read: it may have changed or moved since it was chosen.";

function ShowMessages(results) {
  let text = "";
  for (const result of results) {
    if (!result.unreadable) {
      text += Command(result.names) + result.messages;
    }
  }
  $("messages").textContent = text;
  $("messages").classList.toggle("failed", results.some((result) => result.status !== 0 &&
                                                                    !result.unreadable));
  $("messages-part").hidden = text === "";
}

function Offer(blob, name) {
  const download = $("download");
  download.href = Url(blob);
  download.download = name;
  download.textContent = `Download ${name}`;
  download.hidden = false;
}

// A file that cannot be read is chosen again: its box is emptied, and the
// control takes the same path again.
function Forget(key) {
  chosen[key] = [];
  ShowChosen(key);
}

function ShowResult(data) {
  if (data.unreadable) {
    const { key, name } = data.unreadable;
    Forget(key);
    ShowOutcome(`Not converted. ${Roles[key]} ${name} ${Unreadable} Choose it again.`, "failed");
    return;
  }
  const results = data.results;
  if (results.length === 1) {
    ShowOne(results[0], data);
  } else {
    ShowBatch(results, data);
  }
  ShowMessages(results);
  const timed = results.find((result) => result.milliseconds !== null);
  if (timed) {
    document.body.dataset.conversionMilliseconds = timed.milliseconds.toFixed(1);
  }
  if (data.plotted) {
    const result = results[data.plotted.index];
    if (result.summary) {
      ShowSummary(result.summary, results.length > 1 ? result.names.myMicIn : null);
    }
    ShowPlot(data.plotted, result.names, results.length > 1);
  } else if (results.length === 1 && results[0].summary) {
    ShowSummary(results[0].summary, null);
  }
}

function ShowOne(result, data) {
  const names = result.names;
  const judged = Judge(result);
  if (result.unreadable) {
    Forget("myMicIn");
  }
  if (judged.kind === "unreadable") {
    ShowOutcome(`Not converted. ${names.myMicIn} ${Unreadable} Choose it again.`, "failed");
  } else if (judged.kind === "refused") {
    ShowOutcome(`Not converted. ${judged.text}`, "failed");
  } else if (judged.kind === "empty") {
    ShowOutcome(`Nothing was converted: ${names.myMicIn} has no data lines, so there is ` +
                `nothing to convert. ${judged.text}`, "failed");
  } else if (judged.kind === "warnings") {
    ShowOutcome(`Converted, with ${Plural(judged.warnings, "warning", "warnings")}: ` +
                `${names.myMicOut} is ready to download. Read the findings below before ` +
                "you use it.", "warning");
  } else {
    ShowOutcome(`Converted ${names.myMicIn}: ${names.myMicOut} is ready to download.`, "");
  }
  if (result.output) {
    Offer(result.output, names.myMicOut);
  }
  $("findings-heading").textContent = "Findings";
  $("findings").dataset.check = data.checkAvailable ? "available" : "missing";
  if (result.check) {
    const list = FindingList(result.check, names);
    if (list.children.length === 0) {
      list.append(Make("li", "finding", "The check found nothing to say about these files."));
    }
    $("findings").replaceChildren(...list.children);
    $("findings-part").hidden = false;
  }
}

function ShowBatch(results, data) {
  const judged = results.map(Judge);
  const converted = judged.filter((entry) => !entry.failed).length;
  const warned = judged.filter((entry) => entry.kind === "warnings").length;
  let text = `Converted ${converted} of ${results.length} files`;
  if (warned > 0) {
    text += `, ${warned} with warnings`;
  }
  if (converted < results.length) {
    text += `; ${results.length - converted} not converted (see the list)`;
  }
  text += converted > 0 ? `: ${ZipName} holds the ${Plural(converted, "file", "files")} ` +
      "converted." : ".";
  ShowOutcome(text, converted === 0 ? "failed" :
                    converted < results.length || warned > 0 ? "warning" : "");
  if (data.zip) {
    Offer(data.zip, ZipName);
  }
  $("findings-heading").textContent = "The files, one line each";
  $("findings").dataset.check = data.checkAvailable ? "available" : "missing";
  const items = results.map((result, index) => {
    const entry = judged[index];
    const item = Make("li", `file ${entry.kind}`);
    item.dataset.outcome = entry.kind;
    item.append(Make("strong", "", result.names.myMicIn), ": ");
    if (entry.kind === "unreadable") {
      item.append(`not converted. It ${Unreadable} Choose the files again.`);
    } else if (entry.kind === "refused") {
      item.append(`not converted. ${entry.text}`);
    } else if (entry.kind === "empty") {
      item.append(`nothing was converted, as it has no data lines. ${entry.text}`);
    } else {
      item.append(`converted to ${result.names.myMicOut}` +
                  (entry.warnings ? `, with ${Plural(entry.warnings, "warning", "warnings")}.`
                                  : "."));
    }
    if (result.check && result.check.findings.length > 0) {
      item.append(FindingList(result.check, result.names));
    }
    return item;
  });
  $("findings").replaceChildren(...items);
  $("findings-part").hidden = false;
}

// The program writes six decimals (20.000000); a person reads 20.
function WithoutTrailingZeros(sixDecimals) {
  return String(Number(sixDecimals));
}

function ShowSummary(summary, name) {
  $("summary-heading").textContent = name === null ? "Summary" : `Summary of ${name}`;
  $("summary-points").textContent = `RefMicFrom ${summary.pointsRefMicFrom}, ` +
      `RefMicTo ${summary.pointsRefMicTo}, MyMicIn ${summary.pointsMyMicIn}`;
  $("summary-range").textContent = summary.lowestFrequency === undefined
      ? "no data lines"
      : `${WithoutTrailingZeros(summary.lowestFrequency)} Hz to ${WithoutTrailingZeros(summary.highestFrequency)} Hz`;
  let correction = summary.smallestCorrection === undefined
      ? "none"
      : `${WithoutTrailingZeros(summary.smallestCorrection)} dB to ${WithoutTrailingZeros(summary.largestCorrection)} dB`;
  if (summary.notANumberCorrections !== "0") {
    correction += `; not a number at ${summary.notANumberCorrections} frequencies`;
  }
  $("summary-correction").textContent = correction;
  $("summary").hidden = false;
}

// The picture is drawn as wide as its frame, so that it is shown at its own
// size: its text as large as it was drawn, and nothing to scroll sideways.
// Measured on the figure's container, which is shown even while the figure
// is not.
function PlotWidth() {
  const frame = getComputedStyle($("plot-frame"));
  const room = $("plot").parentElement.clientWidth - parseFloat(frame.borderLeftWidth) -
      parseFloat(frame.borderRightWidth);
  return Math.min(MostPlotWidth, Math.max(LeastPlotWidth, Math.floor(room)));
}

// Only a frame that scrolls (on a screen narrower than the narrowest
// picture) is a tab stop, so that the keyboard can scroll it, and says so.
function FitFrame() {
  const frame = $("plot-frame");
  const scrolls = frame.scrollWidth > frame.clientWidth;
  if (scrolls) {
    frame.setAttribute("tabindex", "0");
  } else {
    frame.removeAttribute("tabindex");
  }
  $("plot-scrolls").hidden = !scrolls;
}

function ShowPicture(svg, width) {
  // Drawn a moment later, in a task of its own: the browser reads an SVG
  // picture on this thread, and would add that to laying out the rest.
  const url = Url(new Blob([svg], { type: "image/svg+xml" }));
  const previous = shownPlot;
  shownPlot = { job: currentJob, width, url };
  setTimeout(() => {
    if (urls.includes(url)) {
      $("plot-image").src = url;
    }
    if (previous !== null && previous.url !== url) {
      URL.revokeObjectURL(previous.url);
      urls = urls.filter((each) => each !== previous.url);
    }
  }, 20);
}

function ShowPlot(plotted, names, ofBatch) {
  if (plotted.svg === null) {
    $("messages").textContent += plotted.messages;
    return;
  }
  ShowPicture(plotted.svg, plotted.width);
  $("plot-image").alt = `Plot of ${names.refMicFrom}, ${names.refMicTo}, ` +
      `${names.myMicIn} and ${names.myMicOut}, with the correction`;
  $("plot-caption").textContent = ofBatch
      ? `The first file converted, ${names.myMicIn}: the curves of the four files and the ` +
        "correction, as TarvelinPlot draws them."
      : "The curves of the four files and the correction, as TarvelinPlot draws them.";
  $("plot").hidden = false;
}

// A frame that changed its width (a phone turned, a window resized) gets the
// picture drawn again for it, one drawing at a time.
function Replot() {
  if (shownPlot === null || busy || replotting || worker === null ||
      shownPlot.job !== currentJob || PlotWidth() === shownPlot.width) {
    return;
  }
  replotting = true;
  worker.postMessage({ type: "replot", job: currentJob, width: PlotWidth() });
}

// A picture that could not be drawn again leaves the one shown, which the
// frame scrolls if it must, and is not asked for again.
function Replotted(data) {
  replotting = false;
  if (data.job !== currentJob || shownPlot === null) {
    return;
  }
  if (data.svg === null) {
    shownPlot.width = data.width;
  } else {
    ShowPicture(data.svg, data.width);
  }
  Replot();
}

let replotTimer = 0;
new ResizeObserver(() => {
  FitFrame();
  clearTimeout(replotTimer);
  replotTimer = setTimeout(Replot, 150);
}).observe($("plot").parentElement);
$("plot-image").addEventListener("load", FitFrame);

// ---- Choosing and dropping --------------------------------------------------

function ShowChosen(key) {
  const files = chosen[key];
  const text = files.length === 0
      ? (key === "myMicIn" ? "No file yet: choose one or more, or drop them here."
                           : "No file yet: choose it or drop it here.")
      : files.length === 1 ? `Chosen: ${files[0].name}`
                           : `Chosen, ${files.length} files: ${files.map((file) => file.name)
                                                                   .join(", ")}`;
  $(`${key}-chosen`).textContent = text;
  document.querySelector(`.drop[data-key="${key}"]`).classList.toggle("ready", files.length > 0);
}

function Say(text) {
  $("drop-message").textContent = text;
}

function Choose(key, files) {
  if (files.length === 0) {
    return;
  }
  chosen[key] = files;
  ShowChosen(key);
  Run();
}

for (const key of Keys) {
  const input = $(key);
  input.addEventListener("change", () => {
    const files = Array.from(input.files);
    // Emptied at once, so that choosing the same path again (after the
    // file was changed, say) is a change too.
    input.value = "";
    Say("");
    Choose(key, files);
  });
}

// Files dropped on a box go to that box, several only to MyMicIn's; dropped
// anywhere else they fill the empty boxes in order, when there are enough.
function Drop(event) {
  event.preventDefault();
  ShowOver(null);
  const files = Array.from(event.dataTransfer ? event.dataTransfer.files : []);
  if (files.length === 0) {
    Say("Only files can be dropped here.");
    return;
  }
  const zone = event.target instanceof Element ? event.target.closest(".drop") : null;
  if (zone !== null) {
    const key = zone.dataset.key;
    if (key !== "myMicIn" && files.length > 1) {
      Say(`${Roles[key]} takes one file, and ${files.length} were dropped on it; nothing ` +
          "was changed. Drop several calibrations on MyMicIn to convert them all.");
      return;
    }
    Say("");
    Choose(key, files);
    return;
  }
  const empty = Keys.filter((key) => chosen[key].length === 0);
  if (files.length > empty.length) {
    Say(`${Plural(files.length, "file was", "files were")} dropped beside the boxes, ` +
        `and ${Plural(empty.length, "box is", "boxes are")} empty; nothing was changed. ` +
        "Drop each file on its box.");
    return;
  }
  files.forEach((file, index) => {
    chosen[empty[index]] = [file];
    ShowChosen(empty[index]);
  });
  Say("Dropped beside the boxes: " +
      files.map((file, index) => `${file.name} as ${Roles[empty[index]]}`).join(", ") + ".");
  Run();
}

function ShowOver(zone) {
  for (const each of document.querySelectorAll(".drop")) {
    each.classList.toggle("over", each === zone);
  }
}

window.addEventListener("dragover", (event) => {
  event.preventDefault();
  ShowOver(event.target instanceof Element ? event.target.closest(".drop") : null);
});
window.addEventListener("dragleave", (event) => {
  if (event.relatedTarget === null) {
    ShowOver(null);
  }
});
window.addEventListener("drop", Drop);

// The download looks like a button, so it acts on Space as well as Enter.
$("download").addEventListener("keydown", (event) => {
  if (event.key === " ") {
    event.preventDefault();
    $("download").click();
  }
});

// The browser sets up its drawing of SVG pictures, text and all, on the first
// one, which costs this thread some tens of milliseconds: better now than
// while a result is shown.
new Image().src = "data:image/svg+xml," + encodeURIComponent(
    '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8" font-family="sans-serif">' +
    '<path d="M0,0L8,8" stroke="#000"/><text y="8" font-size="8">0</text></svg>');

StartWorker();
