// The page's decisions without a browser: what an answer of the worker
// leads to, the outcome line and the cause that leads it, the order of a
// batch, where drops go, the downloads' names, and the words in English and
// from a catalogue. The page's own scripts are run as the page joins them,
// in one context with no document.
//
//   node page_decisions_test.mjs

import { readFileSync } from "node:fs";
import { dirname, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import vm from "node:vm";

const Folder = resolve(dirname(fileURLToPath(import.meta.url)), "../../web/page");
const Parts = ["names.js", "protocol.js", "words.js", "console.js", "outcomes.js"];
const Exported = ["Route", "ProgressText", "OneOutcome", "BatchOutcome", "UnreadableOutcome",
                  "FirstShown", "RepairOffered", "WithFailedRepairs", "ReferenceFindings",
                  "RowTitles", "DropPlan", "DroppedText", "ChosenText", "Offered", "SavedOffer",
                  "SummaryTexts", "DeriveRoute", "DeriveOptions", "DerivedOutcome",
                  "DeriveNames", "DeriveChosenText", "SmoothingText", "Say", "SayIn", "SayCount", "SetLanguage", "PreferredLanguage",
                  "Numeral"];

// The decisions, with catalogue (a script, or none) put before them as the
// build puts it.
function Load(catalogue = "") {
  const context = vm.createContext({});
  const source = catalogue + Parts.map((part) => readFileSync(`${Folder}/${part}`, "utf8"))
      .join("\n") + `\n({ ${Exported.join(", ")} })`;
  return vm.runInContext(source, context);
}
const page = Load();

const failures = [];
function Expect(what, actual, expected) {
  const Show = (value) => JSON.stringify(value);
  if (Show(actual) !== Show(expected)) {
    failures.push(`${what}:\n  expected ${Show(expected)}\n  got      ${Show(actual)}`);
  }
}
// An outcome as the page shows it: its text, and whether it is boxed.
const Text = ({ strong, sentences, kind }) =>
    [[strong, ...sentences].filter((part) => part !== null).join(" "), kind];

// ---- Results as the worker sends them ---------------------------------------

const Names = (myMicIn) => ({ refMicFrom: "From.txt", refMicTo: "To.txt", myMicIn,
                              myMicOut: myMicIn.replace(".txt", "-converted.txt") });
const Finding = (fields) => ({ severity: "warning", code: "x", role: "MyMicIn", line: null,
                               repairable: false, droppedLines: 0, title: "Title",
                               message: "Message.", fix: "", ...fields });
function Result(name, fields = {}, findings = []) {
  return { names: Names(name), unreadable: null, status: 0, messages: "\nTarvelin\n",
           dataLines: 3, binary: [], output: "bytes", milliseconds: 1, repaired: null,
           failedRepair: null, check: { findings, files: [], conversion: null }, ...fields };
}
const Data = (results, fields = {}) => ({ results, zip: "zip", references: {},
                                          referencesUnrepaired: {}, ...fields });
const Copy = (from, name) => ({ from, name, status: 0, copy: "copy", said: {
  heading: "Repaired.", changes: ["changed a line"], notes: [], closing: null,
  remainingHeading: null, remaining: [], refusal: null } });

const decimalCommas = Finding({ code: "decimal-commas", title: "Decimal commas", line: 3,
                                repairable: true, fix: "Save it with full stops." });
const noData = Finding({ code: "no-data-lines", title: "No data lines" });
const dropped = Finding({ code: "spreadsheet-csv", title: "Spreadsheet CSV", droppedLines: 2,
                          fix: "Save it as text." });
const kHz = Finding({ code: "khz", title: "Looks like kHz" });
const far = Finding({ code: "far", title: "Far beyond the references" });
const refError = Finding({ severity: "error", code: "too-few-points", role: "RefMicTo",
                           title: "Too few points", fix: "Give two." });

// ---- What an answer leads to ------------------------------------------------

for (const [data, job, expected] of [
  [{ type: "ready", job: null }, 3, "ready"],
  [{ type: "replotted", job: 1 }, 3, "replotted"], // checked against the plot shown
  [{ type: "progress", job: 2 }, 3, "stale"],
  [{ type: "done", job: 3 }, 3, "done"],
  [{ type: "failed", job: 3, request: "save" }, 3, "save-failed"],
  [{ type: "failed", job: 3, request: "repair" }, 3, "failed"],
  [{ type: "failed", job: null, request: "convert" }, 3, "failed"], // the module did not start
  [{ type: "surprise", job: 3 }, 3, "stale"],
]) {
  Expect(`route of ${JSON.stringify(data)}`, page.Route(data, job), expected);
}
const Progress = [
  ["convert", { step: "convert", name: "a.txt", index: 1, count: 1 }, "Converting… Converting a.txt."],
  ["convert", { step: "check", name: "a.txt", index: 2, count: 3 }, "Converting… Checking a.txt (2 of 3)."],
  ["repair", { step: "zip", index: 3, count: 3 }, "Repairing… Writing the zip."],
  ["repair", { step: "repair", name: "b.txt", index: 1, count: 2 }, "Repairing… Repairing b.txt."],
];
for (const [working, progress, expected] of Progress) {
  Expect(`progress ${progress.step}`, page.ProgressText(working, progress), expected);
}

// ---- One file's outcome -----------------------------------------------------

const Repairable = Result("Dec.txt", { dataLines: 5 }, [decimalCommas]);
const Outcomes = [
  ["converted", Result("Mic.txt"), null,
   ["Converted Mic.txt: Mic-converted.txt is ready to download.", ""]],
  ["converted from a repaired copy, with a repaired reference",
   Result("Mic-repaired.txt", { repaired: Copy("Mic.txt", "Mic-repaired.txt") }),
   { references: { refMicTo: Copy("To.txt", "To-repaired.txt") } },
   ["Converted Mic-repaired.txt, the repaired copy of Mic.txt: Mic-repaired-converted.txt is " +
    "ready to download. The conversion used To-repaired.txt, the repaired copy of RefMicTo " +
    "To.txt. Mic-repaired-converted.txt comes from the repaired copy Mic-repaired.txt.", ""]],
  ["one warning, repairable", Repairable, null,
   ["Decimal commas in MyMicIn Dec.txt, line 3. Save it with full stops. Or press Repair, " +
    "below, to convert a repaired copy; your file stays as it is. Converted, with 1 warning: " +
    "read it below before you use Dec-converted.txt.", "warning"]],
  ["two warnings, the others by title", Result("k.txt", {}, [kHz, far]), null,
   ["Looks like kHz in MyMicIn k.txt. Also: Far beyond the references. Converted, with 2 " +
    "warnings: read them below before you use k-converted.txt.", "warning"]],
  // What dropped the lines leads, not that none was left.
  ["no data lines, led by their cause", Result("C.txt", { dataLines: 0 }, [noData, dropped]),
   null, ["Spreadsheet CSV in MyMicIn C.txt. Save it as text. Nothing was converted: no line " +
          "of C.txt was read as data.", "failed"]],
  ["no data lines in bytes no text holds",
   Result("P.png", { dataLines: 0, binary: ["MyMicIn"] }, [noData]), null,
   ["Not a text file in MyMicIn P.png. Choose the calibration's text file, or save it as text " +
    "in the program that made it. Nothing was converted: P.png holds bytes that no text file " +
    "holds; it may be a picture, a PDF or a spreadsheet's own format.", "failed"]],
  ["refused, with the reference's error",
   Result("Mic.txt", { status: -1, messages: "\nTarvelin\n\nError - invalid file To.txt\n" },
          [refError]), null,
   ["Too few points in RefMicTo To.txt. Give two. Not converted: the converter says “Error - " +
    "invalid file To.txt”.", "failed"]],
  // Said once, with one full stop.
  ["refused without a finding or an error line", Result("Mic.txt", { status: 1 }), null,
   ["Not converted. The conversion failed. Each reference needs at least two data lines, and " +
    "each data line a frequency and a level as numbers separated by blanks or tabs.", "failed"]],
  ["unreadable", Result("Gone.txt", { unreadable: { key: "myMicIn", name: "Gone.txt" } }), null,
   ["Not converted. Gone.txt could not be read: it may have changed or moved since it was " +
    "chosen. Choose it again.", "failed"]],
  // A repair that wrote nothing is not offered again, by the outcome either.
  ["repairable, after a repair that wrote nothing", Repairable,
   "failed", ["Decimal commas in MyMicIn Dec.txt, line 3. Save it with full stops. Converted, " +
              "with 1 warning: read it below before you use Dec-converted.txt.", "warning"]],
];
// A row's outcome as the page (a Load) decides it.
function OutcomeOf(decisions, result, data) {
  let shown = Data([result], data === "failed" ? {} : data || {});
  if (data === "failed") {
    shown = decisions.WithFailedRepairs(shown, [Copy("Dec.txt", "Dec-repaired.txt")]);
  }
  return decisions.OneOutcome(shown.results[0], shown);
}
for (const [what, result, data, expected] of Outcomes) {
  Expect(`outcome: ${what}`, Text(OutcomeOf(page, result, data)), expected);
}
Expect("outcome: a reference unreadable",
       Text(page.UnreadableOutcome({ key: "refMicFrom", name: "F.txt" })),
       ["Not converted. RefMicFrom F.txt could not be read: it may have changed or moved since " +
        "it was chosen. Choose it again.", "failed"]);

// ---- A batch ----------------------------------------------------------------

const Clean = (name) => Result(name);
const Empty = Result("E.txt", { dataLines: 0, output: null }, [noData, dropped]);
const Warned = Result("W.txt", {}, [kHz]);
const Batches = [
  ["all converted", Data([Clean("a.txt"), Clean("b.txt")]),
   ["Converted 2 of 2 files: Tarvelin-converted.zip holds the 2 files converted.", ""]],
  ["warnings and a failure, one left",
   Data([Empty, Warned, Result("x.txt", { status: 1, output: null })]),
   ["Converted 1 of 3 files, 1 with warnings; 2 not converted: Tarvelin-converted.zip holds " +
    "the 1 file converted. The files with warnings or errors come first in the table.",
    "warning"]],
  ["none converted", Data([Empty, Empty], { zip: null }),
   ["Converted 0 of 2 files; 2 not converted. The files with warnings or errors come first in " +
    "the table.", "failed"]],
  ["repaired first, a reference too",
   Data([Result("a.txt", { repaired: Copy("a0.txt", "a.txt") }), Clean("b.txt")],
        { references: { refMicFrom: Copy("From.txt", "From-repaired.txt") } }),
   ["Converted 2 of 2 files: Tarvelin-converted.zip holds the 2 files converted. 2 files were " +
    "repaired first; the zip holds their copies in the folder repaired. Each file was " +
    "converted with From-repaired.txt, the repaired copy of RefMicFrom From.txt.", ""]],
];
for (const [what, data, expected] of Batches) {
  Expect(`batch: ${what}`, Text(page.BatchOutcome(data)), expected);
}
// Errors, then warnings, then the rest; the first with a MyMicOut is shown.
Expect("batch: shown first", page.FirstShown([Clean("a.txt"), Warned, Empty]), 1);
Expect("batch: shown first when none converted", page.FirstShown([Empty, Empty]), 0);
Expect("batch: repair offered", page.RepairOffered(Data([Clean("a.txt"), Repairable])), true);
Expect("batch: repair not offered for a repaired copy", page.RepairOffered(Data([Clean("a.txt"),
    { ...Repairable, repaired: Copy("Dec0.txt", "Dec.txt") }])), false);
// A reference's finding worded per file is said once with what the files
// share, and points to the rows for the rest.
const Sens = (message) => Finding({ role: "RefMicFrom", code: "sens", message });
const sens = page.ReferenceFindings([Result("a.txt", {}, [Sens("Same. Differs a.")]),
                                     Result("b.txt", {}, [Sens("Same. Differs b.")])]);
Expect("batch: a reference's finding worded per file", sens.shown.map((each) => each.message),
       ["Same. What that means for each file is among its own findings, in its row."]);
Expect("batch: a row's titles without the references' shared findings",
       page.RowTitles(Result("a.txt", {}, [Sens("One."), kHz]),
                      page.ReferenceFindings([Result("a.txt", {}, [Sens("One.")])]).same).said,
       "Looks like kHz");

// ---- Choosing, dropping, downloads -----------------------------------------

const Drops = [
  [null, 0, [], { refused: "Only files can be dropped here." }],
  ["refMicTo", 2, ["refMicTo"], { refused: "RefMicTo takes one file, and 2 were dropped on it; " +
   "nothing was changed. Drop several calibrations on MyMicIn to convert them all." }],
  ["myMicIn", 4, [], { keys: ["myMicIn"] }],
  [null, 2, ["refMicFrom", "refMicTo", "myMicIn"], { keys: ["refMicFrom", "refMicTo"] }],
  [null, 1, [], { refused: "1 file was dropped beside the boxes, and 0 boxes are empty; " +
   "nothing was changed. Drop each file on its box." }],
  [null, 2, ["myMicIn"], { refused: "2 files were dropped beside the boxes, and 1 box is " +
   "empty; nothing was changed. Drop each file on its box." }],
  [null, 4, ["refMicFrom", "refMicTo", "myMicIn"], { refused: "4 files were dropped beside " +
   "the boxes, and 3 boxes are empty; nothing was changed. Drop each file on its box." }],
];
for (const [zone, count, empty, expected] of Drops) {
  Expect(`drop of ${count} on ${zone}`, page.DropPlan(zone, count, empty), expected);
}
Expect("dropped beside the boxes", page.DroppedText(["a.txt", "b.txt"], ["refMicTo", "myMicIn"]),
       "Dropped beside the boxes: a.txt as RefMicTo, b.txt as MyMicIn.");
const chosenNames = { refMicFrom: "c.txt", myMicIn: ["c (2).txt"] };
const Boxes = [
  ["refMicTo", [], "No file yet: choose it or drop it here."],
  ["myMicIn", [], "No file yet: choose one or more, or drop them here."],
  ["refMicFrom", [{ name: "c.txt" }], "Chosen: c.txt"],
  ["myMicIn", [{ name: "c.txt" }], "Chosen: c.txt, called c (2).txt here, as another file has its name"],
  ["myMicIn", [{ name: "a" }, { name: "b" }], "Chosen: 2 files."],
];
for (const [key, files, expected] of Boxes) {
  Expect(`box ${key} with ${files.length}`, page.ChosenText(key, files, chosenNames), expected);
}
for (const [what, data, expected] of [
  ["one file", Data([Warned]), { name: "W-converted.txt", warned: true, copies: 0 }],
  ["a batch", Data([Clean("a.txt"), Clean("b.txt")]),
   { name: "Tarvelin-converted.zip", warned: false, copies: 0 }],
  ["a repaired file and its copy",
   Data([Result("R.txt", { repaired: Copy("Q.txt", "R.txt") })]),
   { name: "R-converted.txt", warned: false, copies: 1 }],
  ["nothing converted", Data([Empty]), null],
]) {
  const offered = page.Offered(data);
  Expect(`offer: ${what}`, offered && { name: offered.name, warned: offered.warned,
                                        copies: offered.copies.length }, expected);
}
const Saves = [
  ["one file", { profile: "frd", name: "a.frd", blob: "b", messages: "" },
   { name: "a.frd", message: "" }],
  ["a batch with one left out", { profile: "csv-decimal-comma", name: null, blob: "b",
                                  messages: "a note", left: ["x.txt", "y.txt"] },
   { name: "Tarvelin-converted-csv-decimal-comma.zip", message: "a note Left out of the zip, " +
     "as they could not be saved as CSV with decimal commas: x.txt, y.txt." }],
  ["nothing saved", { profile: "tsv", name: "a.txt", blob: null, messages: "Why." },
   { name: null, message: "Not saved as tab-separated text. Why." }],
];
for (const [what, saved, expected] of Saves) {
  Expect(`save as: ${what}`, page.SavedOffer(saved), expected);
}
const check = { files: [{ role: "RefMicFrom", dataLines: 270 }, { role: "MyMicIn", dataLines: 300,
                firstFrequency: 8, lastFrequency: 26000, ascending: true }],
                conversion: { correctionMin: -0.26325616, correctionMinFrequency: 605.841,
                              correctionMax: 0.2730515, correctionMaxFrequency: 8 } };
Expect("summary", page.SummaryTexts(check, null),
       { heading: "Summary", points: "RefMicFrom 270, RefMicTo none, MyMicIn 300",
         range: "8 Hz to 26000 Hz",
         correction: "-0.26325616 dB at 605.841 Hz to 0.2730515 dB at 8 Hz" });

// ---- Words ------------------------------------------------------------------

for (const [stored, wanted, expected] of [
  [null, ["de-AT", "en"], "de"], [null, ["pt-BR", "FR"], "fr"], [null, [], "en"],
  ["es", ["de"], "es"], ["xx", ["pt"], "en"],
]) {
  Expect(`language from ${stored} and ${wanted}`, page.PreferredLanguage(stored, wanted), expected);
}
// ---- A calibration made by comparison ----------------------------------------

// Answers about a derivation go by the derivation's own job; the
// conversion's are none of its business.
for (const [data, expected] of [
  [{ type: "derived", job: 4 }, "derived"],
  [{ type: "derived", job: 3 }, "stale"],
  [{ type: "derived-replotted", job: 4 }, "derived-replotted"],
  [{ type: "derived-saved", job: 4 }, "derived-saved"],
  [{ type: "failed", job: 4, request: "derive" }, "failed"],
  [{ type: "failed", job: 4, request: "save-derived" }, "save-failed"],
  [{ type: "failed", job: 4, request: "convert" }, null],
  [{ type: "done", job: 4 }, null],
]) {
  Expect(`derive route of ${JSON.stringify(data)}`, page.DeriveRoute(data, 4), expected);
}
for (const [smoothing, levelled, expected] of [
  [12, true, { smoothing: "1/12" }],
  [0, true, { smoothing: "none" }],
  [48, false, { smoothing: "1/48", levelAt: "none" }],
]) {
  Expect(`options for 1/${smoothing}, levelled ${levelled}`,
         page.DeriveOptions(smoothing, levelled), expected);
}
Expect("the smoothing menu", [0, 3].map(page.SmoothingText), ["none", "1/3 octave"]);
const DerivedNames = [
  ["three names", { refMicCal: "Cal.txt", refMicMeasured: "A.txt", myMicMeasured: "B.csv" },
   { refMicCal: "Cal.txt", refMicMeasured: "A.txt", myMicMeasured: "B.csv",
     myMicCal: "B-calibration.txt" }],
  ["two alike, and a calibration named as the result",
   { refMicCal: "B-calibration.txt", refMicMeasured: "B.txt", myMicMeasured: "B.txt" },
   { refMicCal: "B-calibration.txt", refMicMeasured: "B.txt", myMicMeasured: "B (2).txt",
     myMicCal: "B (2)-calibration.txt" }],
  ["not all chosen", { refMicCal: null, refMicMeasured: "A.txt", myMicMeasured: null },
   { refMicCal: null, refMicMeasured: "A.txt", myMicMeasured: null, myMicCal: null }],
];
for (const [what, names, expected] of DerivedNames) {
  Expect(`derive names: ${what}`, page.DeriveNames(names), expected);
}
Expect("derive box", [null, "A.txt"].map(page.DeriveChosenText),
       ["No file yet: choose it or drop it here.", "Chosen: A.txt"]);
const Derived = (fields) => ({ unreadable: null, status: 0, name: "B-calibration.txt",
                               written: "B-calibration.txt written: 9 points.", narrowed: null,
                               warnings: [], refusal: null, blob: "bytes", ...fields });
const Warning = { code: "levels-differ", role: "MyMicMeasured", line: 7,
                  sentence: "Warning - line 7." };
const DerivedOutcomes = [
  ["made", Derived({}),
   ["Calibration made. B-calibration.txt is ready to download.", ""]],
  ["made on a narrower range", Derived({ narrowed: "The range was narrowed." }),
   ["Calibration made. The range was narrowed. B-calibration.txt is ready to download.", ""]],
  ["made with a warning", Derived({ status: 1, warnings: [Warning] }),
   ["Made, with warnings. Read the warning below before you use B-calibration.txt.",
    "warning"]],
  ["made with two warnings", Derived({ status: 1, warnings: [Warning, Warning] }),
   ["Made, with warnings. Read the 2 warnings below before you use B-calibration.txt.",
    "warning"]],
  ["refused", Derived({ status: 2, blob: null, refusal: "Error - too few points." }),
   ["Not made. Error - too few points.", "failed"]],
  ["a file unreadable",
   { unreadable: { key: "refMicCal", name: "Cal.txt", reason: "gone" } },
   ["Not made. Cal.txt could not be read (gone); choose it again.", "failed"]],
];
for (const [what, data, expected] of DerivedOutcomes) {
  Expect(`derived: ${what}`, Text(page.DerivedOutcome(data)), expected);
}

// Without a catalogue every language says the English, numbers in its own
// way.
page.SetLanguage("de");
Expect("German without a catalogue", page.Say("Summary of {name}", { name: "a" }), "Summary of a");
Expect("a German number", page.Say("{least} dB", { least: -0.26325616 }), "-0,26325616 dB");
Expect("a long German count stays one word", page.Numeral(1000000), "1000000");
page.SetLanguage("en");
const german = Load(`const TarvelinCatalogue = { de: { plural: (n) => Number(n != 1), entries: {
  "Summary of {name}": "Übersicht über {name}",
  "Chosen: {count} file.": ["Gewählt: {count} Datei.", "Gewählt: {count} Dateien."],
  "form\\u0004CSV": "CSV-Datei",
  "Download {name}": "" } } };\n`);
german.SetLanguage("de");
for (const [what, actual, expected] of [
  ["a sentence", german.Say("Summary of {name}", { name: "a.txt" }), "Übersicht über a.txt"],
  ["a sentence it lacks", german.Say("Result"), "Result"],
  ["an empty translation", german.Say("Download {name}", { name: "a" }), "Download a"],
  ["one of a count", german.SayCount("Chosen: {count} file.", "Chosen: {count} files.", 1),
   "Gewählt: 1 Datei."],
  ["many of a count", german.SayCount("Chosen: {count} file.", "Chosen: {count} files.", 2),
   "Gewählt: 2 Dateien."],
  ["in a context", german.SayIn("form", "CSV"), "CSV-Datei"],
  ["out of its context", german.Say("CSV"), "CSV"],
  ["a placeholder without a value", german.Say("{a} and {b}", { a: 1.5 }), "1,5 and {b}"],
]) {
  Expect(`catalogue: ${what}`, actual, expected);
}
german.SetLanguage("fr");
Expect("catalogue: a language it lacks", german.Say("Summary of {name}", { name: "a" }),
       "Summary of a");

// No sentence of the page's goes round the catalogue: with every entry of
// the template translated as its English in [ ], each sentence the tables'
// decisions make comes back wrapped, but for the values put into it (names,
// numbers, codes, and the module's findings, already in the language), which
// must then be found among the row's own data. A sentence missing from the
// template shows unwrapped too, as a translator would never see it.
function PseudoCatalogue() {
  const entries = {};
  const template = readFileSync(resolve(Folder, "../../po/tarvelin.pot"), "utf8");
  for (const block of template.split(/\n\s*\n/)) {
    const fields = {};
    let field = null;
    for (const line of block.split("\n")) {
      const keyword = /^(msgctxt|msgid|msgid_plural|msgstr(?:\[\d+\])?) (".*")$/.exec(line);
      if (keyword) {
        field = keyword[1];
        fields[field] = JSON.parse(keyword[2]);
      } else if (line.startsWith('"') && field !== null) {
        fields[field] += JSON.parse(line);
      }
    }
    if (fields.msgid) {
      const key = fields.msgctxt === undefined ? fields.msgid
                                               : fields.msgctxt + "\u0004" + fields.msgid;
      entries[key] = fields.msgid_plural === undefined
          ? `[${fields.msgid}]` : [`[${fields.msgid}]`, `[${fields.msgid_plural}]`];
    }
  }
  return `const TarvelinCatalogue = { en: { plural: (n) => Number(n != 1), entries: ${
      JSON.stringify(entries)} } };\n`;
}
const pseudo = Load(PseudoCatalogue());
// English, so that numbers and lists read as the values they are.
pseudo.SetLanguage("en");
const perFile = [Result("a.txt", {}, [Sens("Same. Differs a.")]),
               Result("b.txt", {}, [Sens("Same. Differs b.")])];
// [what, the data the sentences come from, the sentences]; a save with
// nothing to say says "".
const pseudoSaid = [
  ...Progress.map(([working, progress]) =>
      [`progress ${progress.step}`, progress, [pseudo.ProgressText(working, progress)]]),
  ...Outcomes.map(([what, result, data]) =>
      [`outcome: ${what}`, [result, data], [Text(OutcomeOf(pseudo, result, data))[0]]]),
  ["outcome: a reference unreadable", { name: "F.txt" },
   [Text(pseudo.UnreadableOutcome({ key: "refMicFrom", name: "F.txt" }))[0]]],
  ...Batches.map(([what, data]) => [`batch: ${what}`, data, [Text(pseudo.BatchOutcome(data))[0]]]),
  ["batch: a reference's finding worded per file", perFile,
   pseudo.ReferenceFindings(perFile).shown.map((each) => each.message)],
  ["batch: a row's titles", [], [pseudo.RowTitles(Clean("a.txt"), new Set()).said]],
  ...Drops.filter(([, , , expected]) => expected.refused).map(([zone, count, empty]) =>
      [`drop of ${count} on ${zone}`, [], [pseudo.DropPlan(zone, count, empty).refused]]),
  ["dropped beside the boxes", ["a.txt", "b.txt"],
   [pseudo.DroppedText(["a.txt", "b.txt"], ["refMicTo", "myMicIn"])]],
  ...Boxes.map(([key, files]) => [`box ${key} with ${files.length}`, [files, chosenNames],
                                  [pseudo.ChosenText(key, files, chosenNames)]]),
  ...Saves.map(([what, saved]) => [`save as: ${what}`, saved, [pseudo.SavedOffer(saved).message]]),
  ["summary", check, Object.values(pseudo.SummaryTexts(check, null))],
  ...DerivedOutcomes.map(([what, data]) =>
      [`derived: ${what}`, data, [Text(pseudo.DerivedOutcome(data))[0]]]),
  ["derive box", ["A.txt"], [null, "A.txt"].map(pseudo.DeriveChosenText)],
  ["the smoothing menu", [], [0, 12].map(pseudo.SmoothingText)],
];
function Strings(value) {
  if (typeof value === "string") {
    return [value];
  }
  return value && typeof value === "object" ? Object.values(value).flatMap(Strings) : [];
}
for (const [what, data, sentences] of pseudoSaid) {
  const values = [...Strings(data), "RefMicFrom", "RefMicTo", "MyMicIn",
                  "Tarvelin-converted.zip"].join("\n");
  for (const sentence of sentences) {
    let left = sentence;
    for (let before = null; before !== left;) {
      before = left;
      left = left.replace(/\[[^[\]]*\]/g, "\u0000");
    }
    const bare = left.split("\u0000").map((piece) => piece.trim())
        .filter((piece) => /\p{L}/u.test(piece) && !values.includes(piece));
    if (bare.length > 0 || /[[\]]/.test(left)) {
      failures.push(`pseudo catalogue, ${what}: not through the catalogue: ` +
                    `${JSON.stringify(bare)} in ${JSON.stringify(sentence)}`);
    }
  }
}

// Each sentence is written as one plain string, so that it can be taken
// from the scripts for translation: no template, no joining, no variable.
const Literal = String.raw`"(?:[^"\\\n]|\\.)*"`;
const Plain = { Say: new RegExp(String.raw`^Say\(\s*${Literal}\s*[,)]`),
                SayIn: new RegExp(String.raw`^SayIn\(\s*${Literal}\s*,\s*${Literal}\s*[,)]`),
                SayCount: new RegExp(String.raw`^SayCount\(\s*${Literal}\s*,\s*${Literal}\s*,`) };
for (const part of ["outcomes.js", "choosing.js", "findings.js", "downloads.js", "plot.js",
                    "deriving.js", "state.js"]) {
  const source = readFileSync(`${Folder}/${part}`, "utf8");
  for (const match of source.matchAll(/\b(Say|SayIn|SayCount)\(/g)) {
    const call = source.slice(match.index, match.index + 2000);
    const line = source.slice(0, match.index).split("\n").length;
    if (source.slice(match.index - 9, match.index) !== "function " && !Plain[match[1]].test(call)) {
      failures.push(`${part}:${line}: ${match[1]} is not given its English as one plain string`);
    }
  }
}

for (const failure of failures) {
  console.log("FAIL " + failure);
}
console.log(`${failures.length === 0 ? "all passed" : `${failures.length} failed`}`);
process.exitCode = failures.length === 0 ? 0 : 1;
