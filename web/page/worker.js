// The converter's side of the page, run in a Web Worker that the page makes
// from its own text, after the module (the same code as tarvelin.mjs) and
// zip.js: it reads the chosen files, converts each MyMicIn with the two
// references, checks and summarizes it, plots the first one converted (and
// plots it again when the page's frame takes another width), and zips a
// batch. The page only shows what comes back. A new choice ends this
// worker and starts another, so a job never outlives the files it was for.

const CheckAvailable = typeof checkCalibration === "function";

// Two files may well share a name (two folders' calibration.txt); the
// converter names files in its messages, so each gets a name of its own.
function Distinct(name, used) {
  const dot = name.lastIndexOf(".");
  const stem = dot > 0 ? name.slice(0, dot) : name;
  const extension = dot > 0 ? name.slice(dot) : "";
  let candidate = name;
  for (let copy = 2; used.has(candidate); ++copy) {
    candidate = `${stem} (${copy})${extension}`;
  }
  used.add(candidate);
  return candidate;
}

// MyMic.txt becomes MyMic-converted.txt.
function ConvertedName(name) {
  const dot = name.lastIndexOf(".");
  return dot > 0 ? `${name.slice(0, dot)}-converted${name.slice(dot)}` : `${name}-converted`;
}

// A file that changed or went away after it was chosen cannot be read; that
// is the user's to fix, so it comes back as a reason, not as a failure.
async function Read(file) {
  try {
    return { bytes: new Uint8Array(await file.arrayBuffer()) };
  } catch (error) {
    return { reason: error && error.message ? error.message : String(error) };
  }
}

function DataLinesOf(check, summary) {
  const file = check && check.files ? check.files.find((entry) => entry.role === "MyMicIn") : null;
  if (file && typeof file.dataLines === "number") {
    return file.dataLines;
  }
  return summary ? Number(summary.pointsMyMicIn) : null;
}

// The files of the picture last drawn, to draw it again at another width.
let lastPlotted = null;

async function RunJob({ job, refMicFrom, refMicTo, myMicIn, plotWidth }) {
  lastPlotted = null;
  const total = 2 + myMicIn.length * (CheckAvailable ? 3 : 2) + (myMicIn.length > 1 ? 1 : 0);
  let done = 0;
  const Progress = (text) => postMessage({ type: "progress", job, text, done: done++, total });

  Progress("Reading the references");
  const references = {};
  for (const [key, file] of [["refMicFrom", refMicFrom], ["refMicTo", refMicTo]]) {
    const read = await Read(file);
    if (read.reason !== undefined) {
      return { unreadable: { key, name: file.name, reason: read.reason }, results: [] };
    }
    references[key] = read.bytes;
  }

  const results = [];
  const outputNames = new Set();
  let plotted = null;
  for (const [index, file] of myMicIn.entries()) {
    const used = new Set();
    const names = {
      refMicFrom: Distinct(refMicFrom.name, used),
      refMicTo: Distinct(refMicTo.name, used),
      myMicIn: Distinct(file.name, used),
    };
    // In a batch each output needs a name of its own in the zip too.
    names.myMicOut = Distinct(ConvertedName(file.name), new Set([...used, ...outputNames]));
    outputNames.add(names.myMicOut);
    const result = { names, unreadable: null, status: null, messages: "", check: null,
                     summary: null, dataLines: null, bytes: null, milliseconds: null };
    results.push(result);
    const counted = myMicIn.length > 1 ? ` (${index + 1} of ${myMicIn.length})` : "";
    Progress(`Converting ${file.name}${counted}`);
    const read = await Read(file);
    if (read.reason !== undefined) {
      result.unreadable = { key: "myMicIn", name: file.name, reason: read.reason };
      continue;
    }
    const inputs = { ...references, myMicIn: read.bytes, names };
    const started = performance.now();
    const converted = await convertCalibration(inputs);
    result.milliseconds = performance.now() - started;
    result.status = converted.status;
    result.messages = converted.messages;
    if (CheckAvailable) {
      Progress(`Checking ${file.name}${counted}`);
      result.check = await checkCalibration(inputs);
    }
    if (converted.status !== 0) {
      continue;
    }
    const all = { ...inputs, myMicOut: converted.myMicOut };
    if (!CheckAvailable || plotted === null) {
      Progress(`Summarizing ${file.name}${counted}`);
      result.summary = await summarizeCalibration(all);
    }
    result.dataLines = DataLinesOf(result.check, result.summary);
    if (result.dataLines === 0) {
      continue; // nothing was converted: nothing to download or to draw
    }
    result.bytes = converted.myMicOut;
    if (plotted === null) {
      Progress(`Drawing the plot of ${file.name}`);
      const picture = await plotCalibration({ ...all, width: plotWidth });
      plotted = { index, svg: picture.svg, messages: picture.messages, width: plotWidth };
      lastPlotted = { job, files: all };
    }
  }

  let zip = null;
  const converted = results.filter((result) => result.bytes !== null);
  if (myMicIn.length > 1 && converted.length > 0) {
    Progress(`Writing the zip of ${converted.length} files`);
    zip = await MakeZip(converted.map((result) => ({ name: result.names.myMicOut,
                                                      bytes: result.bytes })));
  }
  for (const result of results) {
    result.output = result.bytes === null ? null
                                          : new Blob([result.bytes], { type: "text/plain" });
    delete result.bytes;
  }
  return { unreadable: null, results, plotted, zip };
}

const warmedUp = (async () => {
  // A conversion before the first real one instantiates the module, and with
  // some thousand lines it runs long enough for the browser to compile the
  // busy code fully; the first real conversion is then as quick as any.
  const Bytes = (text) => new TextEncoder().encode(text);
  let lines = "";
  for (let i = 0; i < 20000; ++i) {
    lines += `${(20 + i).toFixed(3)}\t${(i % 7) / 8}\t${i % 90}\r\n`;
  }
  await convertCalibration({ refMicFrom: Bytes("10 0\r\n100000 1\r\n"),
                             refMicTo: Bytes("10 1\r\n100000 0\r\n"), myMicIn: Bytes(lines) });
})();

// The page's frame changed its width: the same picture, drawn for the new
// one. Should that fail, the page keeps the picture it shows.
async function Replot({ job, width }) {
  let svg = null;
  if (lastPlotted !== null && lastPlotted.job === job) {
    try {
      svg = (await plotCalibration({ ...lastPlotted.files, width })).svg;
    } catch (ignored) {
      svg = null;
    }
  }
  postMessage({ type: "replotted", job, width, svg });
}

self.onmessage = async ({ data }) => {
  try {
    await warmedUp;
    if (data.type === "replot") {
      await Replot(data);
      return;
    }
    const outcome = await RunJob(data);
    postMessage({ type: "done", job: data.job, checkAvailable: CheckAvailable, ...outcome });
  } catch (error) {
    postMessage({ type: "failed", job: data.job, error: String(error) });
  }
};
warmedUp.then(() => postMessage({ type: "ready" }),
              (error) => postMessage({ type: "failed", job: null, error: String(error) }));
