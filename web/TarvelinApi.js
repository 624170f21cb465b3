// The module's interface, appended to the generated loader: each call writes
// the given files into a fresh folder of the in-memory file system, runs the
// program on them under the names the messages should show, and hands back
// its exit status, the exact text of its standard output and what it wrote.

const DefaultNames = {
  refMicFrom: "RefMicFrom.txt",
  refMicTo: "RefMicTo.txt",
  myMicIn: "MyMicIn.txt",
  myMicOut: "MyMicOut.txt",
};
const WorkFolder = "/work";
const MessagesPath = "/messages.txt";
// What a repair or an export said, as data.
const ReportPath = "/report.json";
// Outside the work folder, so that it can share no name with a calibration file.
const PlotPath = "/plot/Plot.svg";
// TarvelinPlot's own width, when it is given none.
const UsualPlotWidth = 960;
const ExportFolder = "/exported";

let runtime = null;
// The language the runs speak in: "en", "de", "fr" or "es", as the page's
// user chose it; a console's settings mean nothing here.
let language = "en";

export function setLanguage(name) {
  language = String(name);
}

function Runtime() {
  if (runtime === null) {
    runtime = CreateTarvelinModule();
  }
  return runtime;
}

// Each file is named in the work folder by its own name, which the messages
// show; so every name must be a plain file name, and no two the same.
function CheckNames(names) {
  const seen = new Set();
  for (const [key, name] of Object.entries(names)) {
    if (typeof name !== "string" || name === "" || name === "." || name === ".." ||
        /[\/\0]/.test(name)) {
      throw new TypeError(`${key} must be a file name without a folder`);
    }
    if (seen.has(name)) {
      throw new TypeError(`${key} is the name of another file too: ${name}`);
    }
    seen.add(name);
  }
}

function NamesOf(names) {
  const chosen = { ...DefaultNames, ...(names || {}) };
  CheckNames(Object.fromEntries(Object.keys(DefaultNames).map((key) => [`names.${key}`,
                                                                        chosen[key]])));
  return chosen;
}

function CheckBytes(files, keys) {
  for (const key of keys) {
    if (!(files[key] instanceof Uint8Array)) {
      throw new TypeError(`${key} must be a Uint8Array`);
    }
  }
}

function RemoveTree(FS, path) {
  if (!FS.analyzePath(path).exists) {
    return;
  }
  if (FS.isDir(FS.stat(path).mode)) {
    for (const entry of FS.readdir(path)) {
      if (entry !== "." && entry !== "..") {
        RemoveTree(FS, `${path}/${entry}`);
      }
    }
    FS.rmdir(path);
  } else {
    FS.unlink(path);
  }
}

function Clear(FS) {
  FS.chdir("/");
  for (const path of [WorkFolder, "/plot", ExportFolder, MessagesPath, ReportPath]) {
    RemoveTree(FS, path);
  }
}

function ReadIfThere(FS, path) {
  return FS.analyzePath(path).exists ? FS.readFile(path) : null;
}

// Runs one program's entry with the arguments on the files, each written
// into the work folder under its name; whatever happens, the file system is
// left empty. A run that aborts (memory exhausted) leaves the runtime
// unusable, so the next call starts a new one.
async function RunEntry(named, entry, argumentList, collect) {
  const module = await Runtime();
  const FS = module.FS;
  try {
    Clear(FS);
    FS.mkdir(WorkFolder);
    FS.mkdir("/plot");
    FS.mkdir(ExportFolder);
    for (const [name, bytes] of named) {
      FS.writeFile(`${WorkFolder}/${name}`, bytes);
    }
    FS.chdir(WorkFolder);
    module.ccall("UseLanguage", null, ["string"], [language]);
    const status = module.ccall(entry, "number", argumentList.map(() => "string"),
                                argumentList);
    const messageBytes = ReadIfThere(FS, MessagesPath) || new Uint8Array();
    const messages = new TextDecoder().decode(messageBytes);
    return collect(FS, status, messages);
  } catch (error) {
    runtime = null;
    throw error;
  } finally {
    try {
      Clear(FS);
    } catch (ignored) {
      runtime = null;
    }
  }
}

// The four calibration files of a conversion, under their names.
async function Run(files, keys, names, entry, extraArguments, collect) {
  CheckBytes(files, keys);
  const named = keys.map((key) => [names[key], files[key]]);
  const pathArguments = [names.refMicFrom, names.refMicTo, names.myMicIn, names.myMicOut];
  return RunEntry(named, entry, [...pathArguments, ...extraArguments], collect);
}

export async function convertCalibration({ refMicFrom, refMicTo, myMicIn, names } = {}) {
  const chosen = NamesOf(names);
  return Run({ refMicFrom, refMicTo, myMicIn }, ["refMicFrom", "refMicTo", "myMicIn"], chosen,
             "ConvertFiles", [MessagesPath], (FS, status, messages) => ({
               status,
               messages,
               myMicOut: status === 0 ? ReadIfThere(FS, chosen.myMicOut) : null,
             }));
}

// The picture TarvelinPlot draws of the four files, width pixels wide (240
// to 4000; TarvelinPlot refuses any other, with its message and status -1).
export async function plotCalibration({ refMicFrom, refMicTo, myMicIn, myMicOut, names,
                                        width = UsualPlotWidth } = {}) {
  const chosen = NamesOf(names);
  if (!Number.isInteger(width)) {
    throw new TypeError("width must be a whole number of pixels");
  }
  return Run({ refMicFrom, refMicTo, myMicIn, myMicOut },
             ["refMicFrom", "refMicTo", "myMicIn", "myMicOut"], chosen, "PlotFiles",
             [PlotPath, String(width), MessagesPath], (FS, status, messages) => {
               const picture = status === 0 ? ReadIfThere(FS, PlotPath) : null;
               return {
                 status,
                 messages,
                 svg: picture === null ? null : new TextDecoder().decode(picture),
               };
             });
}

// What TarvelinCheck --json tells about the three files: each file's lines,
// line ends and frequencies, the conversion's points and correction, and the
// findings with their severity, code, file and line. The files' names are
// the names in the report.
export async function checkCalibration({ refMicFrom, refMicTo, myMicIn, names } = {}) {
  const chosen = NamesOf(names);
  return Run({ refMicFrom, refMicTo, myMicIn }, ["refMicFrom", "refMicTo", "myMicIn"], chosen,
             "CheckFiles", [MessagesPath], (FS, status, messages) => JSON.parse(messages));
}

function ReportOf(FS) {
  return JSON.parse(new TextDecoder().decode(FS.readFile(ReportPath)));
}

// What TarvelinRepair does with one calibration file: its exit status, what
// it prints, and the repaired copy (null when it wrote none). What it said
// comes as data too: heading, changes (one sentence per kind of change),
// notes (why lines were left as they were), closing, remainingHeading and
// remaining (the findings, as checkCalibration gives them, still to look at
// in the copy), and refusal (its message, when it wrote nothing); a part it
// did not say is null or empty. The copy is named after the file (MyMic.csv
// gives MyMic-repaired.txt) unless repairedName says otherwise; both names
// appear in the messages.
export async function repairCalibration({ file, name = "MyMicIn.txt", repairedName } = {}) {
  CheckBytes({ file }, ["file"]);
  const copy = repairedName === undefined ? RepairedNameOf(name) : repairedName;
  CheckNames({ name, repairedName: copy });
  return RunEntry([[name, file]], "RepairFiles", [name, copy, MessagesPath, ReportPath],
                  (FS, status, messages) => {
                    const { heading, changes, notes, closing, remainingHeading, remaining,
                            refusal } = ReportOf(FS);
                    return {
                      status,
                      messages,
                      repaired: status === 0 || status === 1 ? ReadIfThere(FS, copy) : null,
                      heading, changes, notes, closing, remainingHeading, remaining, refusal,
                    };
                  });
}

// MyMic.csv is repaired into MyMic-repaired.txt.
function RepairedNameOf(name) {
  const dot = name.lastIndexOf(".");
  return `${dot > 0 ? name.slice(0, dot) : name}-repaired.txt`;
}

// What TarvelinExport writes from one calibration file, in the shape `to`
// (tsv, frd, csv or csv-decimal-comma), with its options: pointsPerOctave
// and maxPoints numbers, range [low, high] in Hz. name is the file's name in
// the messages. exported is the file's bytes, or null when it is not written
// (status 2, the reason in messages and in refusal). notes holds what it said
// of the file exported (lines not exported, points held), one sentence each.
export async function exportCalibration({ file, name = "Calibration.txt", to, pointsPerOctave,
                                          range, maxPoints } = {}) {
  CheckBytes({ file }, ["file"]);
  CheckNames({ name });
  if (range !== undefined && range !== null && (!Array.isArray(range) || range.length !== 2)) {
    throw new TypeError("range must be [low, high]");
  }
  const Text = (value) => (value === undefined || value === null ? "" : String(value));
  const [low, high] = range ? range.map(String) : ["", ""];
  const exportedPath = `${ExportFolder}/${name}`;
  return RunEntry([[name, file]], "ExportFiles",
                  [name, exportedPath, Text(to), Text(pointsPerOctave), low, high,
                   Text(maxPoints), MessagesPath, ReportPath],
                  (FS, status, messages) => {
                    const { notes, refusal } = ReportOf(FS);
                    return {
                      status,
                      messages,
                      exported: status === 0 ? ReadIfThere(FS, exportedPath) : null,
                      notes,
                      refusal,
                    };
                  });
}

const DerivedNames = {
  refMicCal: "RefMicCal.txt",
  refMicMeasured: "RefMicMeasured.txt",
  myMicMeasured: "MyMicMeasured.txt",
  myMicCal: "MyMicCal.txt",
};

// MyMic.csv's calibration is MyMic-calibration.txt.
function CalibrationNameOf(name) {
  const dot = name.lastIndexOf(".");
  return `${dot > 0 ? name.slice(0, dot) : name}-calibration.txt`;
}

// What TarvelinDerive makes of a calibrated microphone's file (refMicCal),
// its measurement (refMicMeasured) and the other microphone's
// (myMicMeasured), with its options: smoothing "1/N" or "none", levelAt a
// frequency or "none", pointsPerOctave a number or "none", range [low,
// high]; an option not given is the program's default. myMicCal is the
// file's bytes, or null when it is not written (status 2, the reason in
// messages and in refusal). As data: written (the sentence on the file
// written), narrowed (on a range narrowed, or null), headerLine, warnings
// (each { code, role, line, sentence }), and curves (frequencies,
// rawDifference, smoothedDifference, reference, result, one value per
// point). svg is the picture of it, plotWidth pixels wide (none when
// plotWidth is null). myMicCal is named after myMicMeasured (MyMic.csv
// gives MyMic-calibration.txt) unless names says otherwise.
export async function deriveCalibration({ refMicCal, refMicMeasured, myMicMeasured, names,
                                          smoothing, levelAt, pointsPerOctave, range,
                                          plotWidth = UsualPlotWidth } = {}) {
  CheckBytes({ refMicCal, refMicMeasured, myMicMeasured },
             ["refMicCal", "refMicMeasured", "myMicMeasured"]);
  const given = { ...DerivedNames, ...(names || {}) };
  if (!(names && names.myMicCal !== undefined)) {
    given.myMicCal = CalibrationNameOf(given.myMicMeasured);
  }
  CheckNames(Object.fromEntries(Object.keys(DerivedNames).map((key) => [`names.${key}`,
                                                                        given[key]])));
  if (range !== undefined && range !== null && (!Array.isArray(range) || range.length !== 2)) {
    throw new TypeError("range must be [low, high]");
  }
  if (plotWidth !== null && !Number.isInteger(plotWidth)) {
    throw new TypeError("plotWidth must be a whole number of pixels, or null");
  }
  const Text = (value) => (value === undefined || value === null ? "" : String(value));
  const [low, high] = range ? range.map(String) : ["", ""];
  return RunEntry([[given.refMicCal, refMicCal], [given.refMicMeasured, refMicMeasured],
                   [given.myMicMeasured, myMicMeasured]], "DeriveFiles",
                  [given.refMicCal, given.refMicMeasured, given.myMicMeasured, given.myMicCal,
                   Text(smoothing), Text(levelAt), Text(pointsPerOctave), low, high,
                   plotWidth === null ? "" : PlotPath, Text(plotWidth), MessagesPath,
                   ReportPath],
                  (FS, status, messages) => {
                    const { written, narrowed, headerLine, warnings, curves,
                            refusal } = ReportOf(FS);
                    const made = status === 0 || status === 1;
                    const picture = made ? ReadIfThere(FS, PlotPath) : null;
                    return {
                      status,
                      messages,
                      myMicCal: made ? ReadIfThere(FS, given.myMicCal) : null,
                      name: given.myMicCal,
                      written, narrowed, headerLine, warnings, curves, refusal,
                      svg: picture === null ? null : new TextDecoder().decode(picture),
                    };
                  });
}
