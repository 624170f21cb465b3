// The page's own part: gathers the three files from the inputs or from drops,
// runs the converter as soon as all three are there, and shows what it said,
// the plot and a summary. convertCalibration, plotCalibration and
// summarizeCalibration come from the module placed ahead of this script.

const Keys = ["refMicFrom", "refMicTo", "myMicIn"];
const chosenFiles = {};
let runNumber = 0;
let downloadUrl = null;
let plotUrl = null;

const $ = (id) => document.getElementById(id);

// Two files may well share a name (two folders' calibration.txt); the
// converter names files in its messages, so each gets a name of its own.
function DistinctNames(names) {
  const used = new Set();
  const distinct = {};
  for (const [key, name] of Object.entries(names)) {
    let candidate = name;
    const dot = name.lastIndexOf(".");
    const stem = dot > 0 ? name.slice(0, dot) : name;
    const extension = dot > 0 ? name.slice(dot) : "";
    for (let copy = 2; used.has(candidate); ++copy) {
      candidate = `${stem} (${copy})${extension}`;
    }
    used.add(candidate);
    distinct[key] = candidate;
  }
  return distinct;
}

// MyMic.txt becomes MyMic-converted.txt.
function ConvertedName(name) {
  const dot = name.lastIndexOf(".");
  return dot > 0 ? `${name.slice(0, dot)}-converted${name.slice(dot)}` : `${name}-converted`;
}

function Number6(text) {
  return String(Number(text));
}

function ShowOutcome(text, failed) {
  const outcome = $("outcome");
  outcome.textContent = text;
  outcome.classList.toggle("failed", failed);
}

function ClearResult() {
  for (const url of [downloadUrl, plotUrl]) {
    if (url !== null) {
      URL.revokeObjectURL(url);
    }
  }
  downloadUrl = plotUrl = null;
  $("download").hidden = true;
  $("summary").hidden = true;
  $("plot").hidden = true;
  $("messages").textContent = "";
  $("messages").classList.remove("failed");
}

function ShowSummary(summary) {
  $("summary-points").textContent = `RefMicFrom ${summary.pointsRefMicFrom}, ` +
      `RefMicTo ${summary.pointsRefMicTo}, MyMicIn ${summary.pointsMyMicIn}`;
  $("summary-range").textContent = summary.lowestFrequency === undefined
      ? "no data lines"
      : `${Number6(summary.lowestFrequency)} Hz to ${Number6(summary.highestFrequency)} Hz`;
  let correction = summary.smallestCorrection === undefined
      ? "none"
      : `${Number6(summary.smallestCorrection)} dB to ${Number6(summary.largestCorrection)} dB`;
  if (summary.notANumberCorrections !== "0") {
    correction += `; not a number at ${summary.notANumberCorrections} frequencies`;
  }
  $("summary-correction").textContent = correction;
  $("summary").hidden = false;
}

async function Run() {
  if (!Keys.every((key) => chosenFiles[key])) {
    return;
  }
  const thisRun = ++runNumber;
  ClearResult();
  ShowOutcome("Converting…", false);
  const files = {};
  for (const key of Keys) {
    files[key] = new Uint8Array(await chosenFiles[key].arrayBuffer());
  }
  const names = DistinctNames({
    refMicFrom: chosenFiles.refMicFrom.name,
    refMicTo: chosenFiles.refMicTo.name,
    myMicIn: chosenFiles.myMicIn.name,
    myMicOut: ConvertedName(chosenFiles.myMicIn.name),
  });
  try {
    const started = performance.now();
    const converted = await convertCalibration({ ...files, names });
    const conversionTime = performance.now() - started;
    if (thisRun !== runNumber) {
      return;
    }
    $("messages").textContent = converted.messages;
    document.body.dataset.conversionMilliseconds = conversionTime.toFixed(1);
    if (converted.status !== 0) {
      $("messages").classList.add("failed");
      const error = converted.messages.split("\n").find((line) => line.startsWith("Error")) ||
          "The conversion failed.";
      ShowOutcome(`Not converted. ${error}`, true);
      return;
    }
    const all = { ...files, myMicOut: converted.myMicOut, names };
    const [plotted, summary] = [await plotCalibration(all), await summarizeCalibration(all)];
    if (thisRun !== runNumber) {
      return;
    }
    downloadUrl = URL.createObjectURL(new Blob([converted.myMicOut], { type: "text/plain" }));
    const download = $("download");
    download.href = downloadUrl;
    download.download = names.myMicOut;
    download.textContent = `Download ${names.myMicOut}`;
    download.hidden = false;
    if (summary !== null) {
      ShowSummary(summary);
    }
    if (plotted.status === 0) {
      plotUrl = URL.createObjectURL(new Blob([plotted.svg], { type: "image/svg+xml" }));
      $("plot-image").src = plotUrl;
      $("plot-image").alt = `Plot of ${names.refMicFrom}, ${names.refMicTo}, ` +
          `${names.myMicIn} and ${names.myMicOut}, with the correction`;
      $("plot").hidden = false;
    } else {
      $("messages").textContent += plotted.messages;
    }
    ShowOutcome(`Converted ${names.myMicIn}: ${names.myMicOut} is ready to download.`, false);
  } catch (error) {
    if (thisRun === runNumber) {
      ShowOutcome(`Not converted: the converter stopped (${error}).`, true);
    }
  }
}

function Choose(key, file) {
  if (!file) {
    return;
  }
  chosenFiles[key] = file;
  $(`${key}-chosen`).textContent = `Chosen: ${file.name}`;
  document.querySelector(`.drop[data-key="${key}"]`).classList.add("ready");
  Run();
}

for (const key of Keys) {
  const input = $(key);
  input.addEventListener("change", () => Choose(key, input.files[0]));
  const zone = document.querySelector(`.drop[data-key="${key}"]`);
  zone.addEventListener("dragover", (event) => {
    event.preventDefault();
    zone.classList.add("over");
  });
  zone.addEventListener("dragleave", () => zone.classList.remove("over"));
  zone.addEventListener("drop", (event) => {
    event.preventDefault();
    zone.classList.remove("over");
    Choose(key, event.dataTransfer.files[0]);
  });
}
// A file dropped beside the zones would otherwise be opened by the browser.
for (const type of ["dragover", "drop"]) {
  window.addEventListener(type, (event) => event.preventDefault());
}
