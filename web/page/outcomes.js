// What the page decides from what the worker sent: each file's outcome in a
// word, the outcome line and the cause that leads it, the order of a batch,
// which Repair buttons there are, the names of the downloads, and what the
// boxes and the drops say. Plain data in, words and data out, so that these
// decisions run under Node as they run in the page.

const Keys = ["refMicFrom", "refMicTo", "myMicIn"];
const Roles = { refMicFrom: "RefMicFrom", refMicTo: "RefMicTo", myMicIn: "MyMicIn" };
const RoleKeys = { RefMicFrom: "refMicFrom", RefMicTo: "refMicTo", MyMicIn: "myMicIn" };
const ReferenceRoles = ["RefMicFrom", "RefMicTo"];
const Severities = ["error", "warning", "note"];
const ZipName = "Tarvelin-converted.zip";

// What to do with a message from the worker: an answer for a job that a
// newer one superseded is dropped, but for those that belong to no job.
function Route(data, currentJob) {
  if (data.type === Answer.Ready || data.type === Answer.Replotted) {
    return data.type;
  }
  if (data.job !== currentJob && data.job !== null) {
    return "stale";
  }
  if (data.type === Answer.Failed) {
    return data.request === Ask.Save ? "save-failed" : "failed";
  }
  return Object.values(Answer).includes(data.type) ? data.type : "stale";
}

// The outcome line while the worker works: what it is doing, then the step.
function ProgressText(working, { step, name, index, count }) {
  const doing = working === Ask.Repair ? Say("Repairing…") : Say("Converting…");
  const counted = count > 1;
  let said = null;
  if (step === Step.Convert) {
    said = counted ? Say("Converting {name} ({index} of {count}).", { name, index, count })
                   : Say("Converting {name}.", { name });
  } else if (step === Step.Check) {
    said = counted ? Say("Checking {name} ({index} of {count}).", { name, index, count })
                   : Say("Checking {name}.", { name });
  } else if (step === Step.Zip) {
    said = Say("Writing the zip.");
  } else if (step === Step.Repair) {
    said = Say("Repairing {name}.", { name });
  }
  return said === null ? doing : `${doing} ${said}`;
}

function Sorted(findings) {
  return [...findings].sort((a, b) =>
      Severities.indexOf(a.severity) - Severities.indexOf(b.severity));
}

function Count(findings, severity) {
  return findings.filter((finding) => finding.severity === severity).length;
}

// The file a finding is about, by its role and its name here, and its line.
function Where(finding, names) {
  const key = RoleKeys[finding.role];
  const values = { role: finding.role, name: key ? names[key] : "", line: finding.line };
  if (typeof finding.line !== "number") {
    return key ? Say("{role} {name}", values) : finding.role;
  }
  return key ? Say("{role} {name}, line {line}", values) : Say("{role}, line {line}", values);
}

// A file with no data line, or a reference with too few, is what a warning
// that dropped its lines leads to: that warning is the cause. A file no
// warning explains may be no text at all.
const Consequences = ["no-data-lines", "too-few-points"];

function NotText(role) {
  return {
    severity: "warning", code: "", role, line: null, repairable: false, droppedLines: 0,
    title: Say("Not a text file"),
    fix: Say("Choose the calibration's text file, or save it as text in the program that made it."),
  };
}

// The findings that say what went wrong, the cause first.
function Causes(result) {
  const causes = Sorted((result.check ? result.check.findings : [])
      .filter((finding) => finding.severity !== "note"));
  const first = causes[0];
  if (first === undefined || !Consequences.includes(first.code)) {
    return causes;
  }
  const cause = causes.findIndex((finding) => finding.role === first.role &&
      !Consequences.includes(finding.code) && (finding.droppedLines > 0 || finding.repairable));
  if (cause >= 0) {
    causes.unshift(...causes.splice(cause, 1));
  } else if (result.binary.includes(first.role)) {
    causes.unshift(NotText(first.role));
  }
  return causes;
}

// The titles of the causes, each once; what the first led to goes without
// saying.
function Titles(causes) {
  return [...new Set(causes.filter((finding, index) => index === 0 ||
      !(Consequences.includes(finding.code) && finding.role === causes[0].role))
      .map((finding) => finding.title))];
}

// Each file's outcome, in a word.
function Judge(result) {
  if (result.unreadable) {
    return { kind: "unreadable", failed: true, warnings: 0 };
  }
  if (result.status !== 0) {
    return { kind: "refused", failed: true, warnings: 0 };
  }
  if (result.dataLines === 0) {
    return { kind: "empty", failed: true, warnings: 0 };
  }
  const warnings = result.check ? Count(result.check.findings, "warning") : 0;
  return { kind: warnings > 0 ? "warnings" : "converted", failed: false, warnings };
}

// The copies the conversion used in place of the files chosen.
function Repaired(data, result) {
  const copies = [];
  for (const [key, role] of [["refMicFrom", "RefMicFrom"], ["refMicTo", "RefMicTo"]]) {
    if (data.references[key]) {
      copies.push({ role, ...data.references[key] });
    }
  }
  if (result && result.repaired) {
    copies.push({ role: "MyMicIn", ...result.repaired });
  }
  return copies;
}

// The file a finding's Repair button repairs, or null where the file is a
// repaired copy already (repairing it again changes nothing), or where the
// repair wrote nothing (it would not, again).
function RepairTarget(finding, data, index) {
  const key = RoleKeys[finding.role];
  if (!finding.repairable || !key) {
    return null;
  }
  if (key === "myMicIn") {
    const result = data.results[index];
    return result.repaired || result.failedRepair ? null : { key, index };
  }
  return data.references[key] || data.referencesUnrepaired[key] ? null : { key };
}

// Whether a batch offers to repair what can be repaired.
function RepairOffered(data) {
  return data.results.some((result, index) => result.check && result.check.findings.some(
      (finding) => RepairTarget(finding, data, index) !== null));
}

// A repair that wrote nothing is remembered with the file it was for, by the
// name the file has here (each is distinct), so that neither a button nor
// the outcome offers it again.
function WithFailedRepairs(data, failed) {
  const references = { ...data.referencesUnrepaired };
  const results = data.results.map((result) => {
    const mine = failed.find((each) => each.from === result.names.myMicIn);
    return mine && !result.repaired ? { ...result, failedRepair: mine } : result;
  });
  const names = data.results.length > 0 ? data.results[0].names : {};
  for (const key of ["refMicFrom", "refMicTo"]) {
    const mine = failed.find((each) => each.from === names[key]);
    if (mine && !data.references[key]) {
      references[key] = mine;
    }
  }
  return { ...data, results, referencesUnrepaired: references };
}

const Unreadable = "unreadable";

// The outcome of one file: the cause and its one fix first, then the other
// warnings by their titles, then what became of MyMicOut. strong, when not
// null, leads in bold; then each sentence.
function OneOutcome(result, data) {
  const names = result.names;
  const judged = Judge(result);
  if (judged.kind === Unreadable) {
    return { strong: null, kind: "failed", sentences: [Say(
        "Not converted. {name} could not be read: it may have changed or moved since it was chosen. Choose it again.", { name: names.myMicIn })] };
  }
  const copies = Repaired(data, result);
  const fromCopy = copies.map((copy) => copy.role === "MyMicIn"
      ? Say("{output} comes from the repaired copy {name}.",
            { output: names.myMicOut, name: copy.name })
      : Say("The conversion used {name}, the repaired copy of {role} {from}.",
            { name: copy.name, role: copy.role, from: copy.from }));
  if (judged.kind === "converted") {
    const values = { name: names.myMicIn, output: names.myMicOut };
    const strong = result.repaired
        ? Say("Converted {name}, the repaired copy of {from}: {output} is ready to download.",
              { ...values, from: result.repaired.from })
        : Say("Converted {name}: {output} is ready to download.", values);
    const others = copies.filter((copy) => copy.role !== "MyMicIn");
    return { strong, sentences: others.length > 0 ? fromCopy : [], kind: "" };
  }
  const causes = Causes(result);
  const sentences = [];
  let strong = null;
  if (causes.length > 0) {
    const cause = causes[0];
    strong = Say("{title} in {where}.", { title: cause.title, where: Where(cause, names) });
    if (cause.fix) {
      sentences.push(cause.fix);
    }
    if (RepairTarget(cause, data, data.results.indexOf(result)) !== null) {
      sentences.push(Say(
          "Or press Repair, below, to convert a repaired copy; your file stays as it is."));
    }
    const others = Titles(causes).slice(1);
    if (others.length > 0) {
      sentences.push(Say("Also: {titles}.", { titles: ListOf(others) }));
    }
  }
  if (judged.kind === "refused") {
    const said = ErrorLine(result.messages);
    if (causes.length > 0) {
      sentences.push(Say("Not converted: the converter says “{said}”.",
                         { said: said === null ? Say("The conversion failed.") : said }));
    } else if (said === null) {
      sentences.push(Say("Not converted. The conversion failed. Each reference needs at least two data lines, and each data line a frequency and a level as numbers separated by blanks or tabs."));
    } else {
      sentences.push(Say("Not converted. {said}. Each reference needs at least two data lines, and each data line a frequency and a level as numbers separated by blanks or tabs.", { said }));
    }
  } else if (judged.kind === "empty") {
    sentences.push(causes.length > 0 && causes[0].code === ""
        ? Say("Nothing was converted: {name} holds bytes that no text file holds; it may be a picture, a PDF or a spreadsheet's own format.", { name: names.myMicIn })
        : Say("Nothing was converted: no line of {name} was read as data.",
              { name: names.myMicIn }));
  } else {
    sentences.push(SayCount(
        "Converted, with {count} warning: read it below before you use {output}.",
        "Converted, with {count} warnings: read them below before you use {output}.",
        judged.warnings, { output: names.myMicOut }), ...fromCopy);
  }
  return { strong, sentences, kind: judged.failed ? "failed" : "warning" };
}

// The outcome of a batch, counted.
function BatchOutcome(data) {
  const results = data.results;
  const judged = results.map(Judge);
  const converted = judged.filter((entry) => !entry.failed).length;
  const warned = judged.filter((entry) => entry.kind === "warnings").length;
  const references = Repaired(data, null);
  const repaired = results.filter((result) => result.repaired).length + references.length;
  const values = { total: results.length, warned, failed: results.length - converted,
                   zip: ZipName };
  const sentences = [];
  if (converted === 0) {
    sentences.push(Say("Converted 0 of {total} files; {failed} not converted.", values));
  } else if (converted === results.length) {
    sentences.push(warned > 0
        ? SayCount("Converted {count} of {total} files, {warned} with warnings: {zip} holds the {count} file converted.",
                   "Converted {count} of {total} files, {warned} with warnings: {zip} holds the {count} files converted.", converted, values)
        : SayCount("Converted {count} of {total} files: {zip} holds the {count} file converted.",
                   "Converted {count} of {total} files: {zip} holds the {count} files converted.",
                   converted, values));
  } else {
    sentences.push(warned > 0
        ? SayCount("Converted {count} of {total} files, {warned} with warnings; {failed} not converted: {zip} holds the {count} file converted.",
                   "Converted {count} of {total} files, {warned} with warnings; {failed} not converted: {zip} holds the {count} files converted.", converted, values)
        : SayCount("Converted {count} of {total} files; {failed} not converted: {zip} holds the {count} file converted.",
                   "Converted {count} of {total} files; {failed} not converted: {zip} holds the {count} files converted.", converted, values));
  }
  if (repaired > 0) {
    sentences.push(SayCount(
        "{count} file was repaired first; the zip holds its copy in the folder repaired.",
        "{count} files were repaired first; the zip holds their copies in the folder repaired.",
        repaired));
  }
  for (const copy of references) {
    sentences.push(Say("Each file was converted with {name}, the repaired copy of {role} {from}.",
                       { name: copy.name, role: copy.role, from: copy.from }));
  }
  if (warned > 0 || converted < results.length) {
    sentences.push(Say("The files with warnings or errors come first in the table."));
  }
  return { strong: null, sentences, kind: converted === 0 ? "failed"
                                 : converted < results.length || warned > 0 ? "warning" : "" };
}

// A reference that could not be read stops the whole run.
function UnreadableOutcome({ key, name }) {
  return { strong: null, kind: "failed", sentences: [Say(
      "Not converted. {role} {name} could not be read: it may have changed or moved since it was chosen. Choose it again.", { role: Roles[key], name })] };
}

// Errors first, then warnings, then the rest, each in the order chosen.
function Order(results) {
  const rank = (result) => {
    const judged = Judge(result);
    return judged.failed ? 0 : judged.kind === "warnings" ? 1 : 2;
  };
  return results.map((result, index) => index)
      .sort((a, b) => rank(results[a]) - rank(results[b]) || a - b);
}

// The file shown first: the first in that order that has a MyMicOut.
function FirstShown(results) {
  const order = Order(results);
  return order.find((index) => results[index].output) ?? order[0];
}

function Key(finding) {
  return `${finding.severity}|${finding.code}|${finding.role}|${finding.line}`;
}

// A reference's findings are the same for every MyMicIn, but for a sentence
// on MyMicIn itself (its own Sens Factor, say): said once above the table,
// with the sentences they share; where the rest differs, each file keeps
// its own words.
function ReferenceFindings(results) {
  const checked = results.filter((result) => result.check);
  const groups = new Map();
  for (const result of checked) {
    for (const finding of result.check.findings) {
      if (ReferenceRoles.includes(finding.role)) {
        const group = groups.get(Key(finding)) || { finding, messages: new Set() };
        group.messages.add(finding.message);
        groups.set(Key(finding), group);
      }
    }
  }
  const shown = [];
  const same = new Set();
  for (const [key, { finding, messages }] of groups) {
    if (messages.size === 1) {
      same.add(key);
      shown.push(finding);
      continue;
    }
    const sentences = [...messages].map(Sentences);
    const shared = [];
    for (const [at, sentence] of sentences[0].entries()) {
      if (!sentences.every((each) => each[at] === sentence)) {
        break;
      }
      shared.push(sentence);
    }
    const differs = Say("What that means for each file is among its own findings, in its row.");
    shown.push({ ...finding, message: [...shared, differs].join(" ") });
  }
  return { shown, same };
}

// A batch row's outcome, in words.
function OutcomeWords(judged) {
  switch (judged.kind) {
    case "converted": return ["✓", Say("Converted")];
    case "warnings": return ["⚠", SayCount("Converted with {count} warning",
                                           "Converted with {count} warnings", judged.warnings)];
    case "empty": return ["✖", Say("Nothing converted")];
    case "refused": return ["✖", Say("Refused")];
    default: return ["✖", Say("Not read")];
  }
}

// A batch row's titles: the causes of what its own findings say, or why it
// has none.
function RowTitles(result, same) {
  const judged = Judge(result);
  const own = result.check ? result.check.findings.filter((finding) =>
      !(ReferenceRoles.includes(finding.role) && same.has(Key(finding)))) : [];
  const titles = Titles(Causes({ ...result, check: result.check && { findings: own } }));
  const said = titles.length > 0 ? ListOf(titles)
      : judged.kind === "refused" ? Say("The references' errors, above")
      : judged.kind === Unreadable
          ? Say("It could not be read: it may have changed or moved since it was chosen. Choose the files again.")
          : Say("none");
  return { own, said };
}

function SeverityLabel(severity) {
  return severity === "error" ? Say("Error:") : severity === "warning" ? Say("Warning:")
                                                                     : Say("Note:");
}

// ---- Downloads ----------------------------------------------------------------

// What is offered: one MyMicOut, or the zip of a batch; nothing where
// nothing was converted. warned: some file has warnings, so the offer says
// "anyway".
function Offered(data) {
  const results = data.results;
  const batch = results.length > 1;
  const blob = batch ? data.zip : results[0].output;
  if (!blob) {
    return null;
  }
  return { blob, name: batch ? ZipName : results[0].names.myMicOut,
           warned: results.some((result) => Judge(result).kind === "warnings"),
           // A batch's copies are in its zip.
           copies: batch ? [] : Repaired(data, results[0]) };
}

function OfferText(name, warned) {
  return warned ? Say("Download anyway: {name}", { name }) : Say("Download {name}", { name });
}

function FormName(profile) {
  switch (profile) {
    case "tsv": return SayIn("form", "tab-separated text");
    case "frd": return SayIn("form", "FRD");
    case "csv": return SayIn("form", "CSV");
    default: return SayIn("form", "CSV with decimal commas");
  }
}

// A "Save as": the file offered, if any, its name, and what to say.
function SavedOffer(data) {
  const form = FormName(data.profile);
  const said = [];
  if (data.messages) {
    said.push(data.messages);
  }
  if (data.left && data.left.length > 0) {
    said.push(Say("Left out of the zip, as they could not be saved as {form}: {names}.",
                  { form, names: ListOf(data.left) }));
  }
  if (data.blob === null) {
    return { name: null, message: [Say("Not saved as {form}.", { form }), ...said].join(" ") };
  }
  return { name: data.name || `Tarvelin-converted-${data.profile}.zip`, message: said.join(" ") };
}

// ---- Summary and plot -------------------------------------------------------

// Frequencies and corrections as the check gives them: the shortest form
// that reads back as the value the file gave.
function SummaryTexts(check, name) {
  const file = (role) => check.files.find((entry) => entry.role === role);
  const mine = file("MyMicIn");
  const conversion = check.conversion;
  return {
    heading: name === null ? Say("Summary") : Say("Summary of {name}", { name }),
    points: ListOf(["RefMicFrom", "RefMicTo", "MyMicIn"].map((role) => file(role)
        ? Say("{role} {count}", { role, count: file(role).dataLines })
        : Say("{role} none", { role }))),
    range: !mine || mine.firstFrequency === null
        ? Say("no data lines")
        : mine.ascending
            ? Say("{first} Hz to {last} Hz",
                  { first: mine.firstFrequency, last: mine.lastFrequency })
            : Say("{first} Hz on its first data line, {last} Hz on its last; not in rising order",
                  { first: mine.firstFrequency, last: mine.lastFrequency }),
    correction: !conversion || conversion.correctionMin === null
        ? Say("none")
        : Say("{least} dB at {leastAt} Hz to {most} dB at {mostAt} Hz",
              { least: conversion.correctionMin, leastAt: conversion.correctionMinFrequency,
                most: conversion.correctionMax, mostAt: conversion.correctionMaxFrequency }),
  };
}

function PlotTexts(names, batch) {
  return {
    alt: Say("Plot of {refMicFrom}, {refMicTo}, {myMicIn} and {myMicOut}, with the correction",
             names),
    caption: batch
        ? Say("{name}: the curves of the four files and the correction, as TarvelinPlot draws them. Choose another file in the table to plot it.", { name: names.myMicIn })
        : Say("The curves of the four files and the correction, as TarvelinPlot draws them."),
  };
}

// ---- Choosing and dropping --------------------------------------------------

// A file named otherwise than it is, because another has its name, says so.
function Named(file, name) {
  return file.name === name ? name
      : Say("{name}, called {shown} here, as another file has its name",
            { name: file.name, shown: name });
}

// What a box says of the files chosen for it.
function ChosenText(key, files, names) {
  if (files.length === 0) {
    return key === "myMicIn" ? Say("No file yet: choose one or more, or drop them here.")
                             : Say("No file yet: choose it or drop it here.");
  }
  if (key !== "myMicIn") {
    return Say("Chosen: {name}", { name: Named(files[0], names[key]) });
  }
  return files.length === 1 ? Say("Chosen: {name}", { name: Named(files[0], names.myMicIn[0]) })
                            : SayCount("Chosen: {count} file.", "Chosen: {count} files.",
                                       files.length);
}

// Where dropped files go: dropped on a box, to that box, several only to
// MyMicIn's; dropped anywhere else, into the empty boxes in order, when
// there are enough. { keys } to fill, or { refused } with what to say.
function DropPlan(zone, count, empty) {
  if (count === 0) {
    return { refused: Say("Only files can be dropped here.") };
  }
  if (zone !== null) {
    if (zone !== "myMicIn" && count > 1) {
      return { refused: SayCount(
          "{role} takes one file, and {count} was dropped on it; nothing was changed. Drop several calibrations on MyMicIn to convert them all.",
          "{role} takes one file, and {count} were dropped on it; nothing was changed. Drop several calibrations on MyMicIn to convert them all.", count, { role: Roles[zone] }) };
    }
    return { keys: [zone] };
  }
  if (count <= empty.length) {
    return { keys: empty.slice(0, count) };
  }
  // One sentence for each number of empty boxes, so that each is whole in
  // every language.
  const said = [
    () => SayCount("{count} file was dropped beside the boxes, and 0 boxes are empty; nothing was changed. Drop each file on its box.",
                   "{count} files were dropped beside the boxes, and 0 boxes are empty; nothing was changed. Drop each file on its box.", count),
    () => SayCount("{count} file was dropped beside the boxes, and 1 box is empty; nothing was changed. Drop each file on its box.",
                   "{count} files were dropped beside the boxes, and 1 box is empty; nothing was changed. Drop each file on its box.", count),
    () => SayCount("{count} file was dropped beside the boxes, and 2 boxes are empty; nothing was changed. Drop each file on its box.",
                   "{count} files were dropped beside the boxes, and 2 boxes are empty; nothing was changed. Drop each file on its box.", count),
    () => SayCount("{count} file was dropped beside the boxes, and 3 boxes are empty; nothing was changed. Drop each file on its box.",
                   "{count} files were dropped beside the boxes, and 3 boxes are empty; nothing was changed. Drop each file on its box.", count),
  ];
  return { refused: said[empty.length]() };
}

function DroppedText(names, keys) {
  return Say("Dropped beside the boxes: {files}.", { files: ListOf(names.map((name, index) =>
      Say("{name} as {role}", { name, role: Roles[keys[index]] }))) });
}

// ---- A calibration made by comparison -----------------------------------------

const DeriveKeys = ["refMicCal", "refMicMeasured", "myMicMeasured"];
const DeriveRoles = { refMicCal: "RefMicCal", refMicMeasured: "RefMicMeasured",
                      myMicMeasured: "MyMicMeasured" };
// The smoothing menu's choices, N of 1/N octave, 0 for none; 1/12 first chosen.
const Smoothings = [0, 48, 24, 12, 6, 3];
const DefaultSmoothingChoice = 12;
const DeriveRequests = [Ask.Derive, Ask.ReplotDerived, Ask.SaveDerived];
const DeriveAnswers = [Answer.Derived, Answer.DerivedReplotted, Answer.DerivedSaved];

// What to do with a message from the worker about a derivation, or null for
// one about a conversion: an answer for a derivation that a newer one
// superseded is dropped.
function DeriveRoute(data, deriveJob) {
  const failed = data.type === Answer.Failed && DeriveRequests.includes(data.request);
  if (!failed && !DeriveAnswers.includes(data.type)) {
    return null;
  }
  if (data.job !== deriveJob) {
    return "stale";
  }
  if (failed) {
    return data.request === Ask.SaveDerived ? "save-failed" : "failed";
  }
  return data.type;
}

// The program's options for the menu's smoothing and the level's checkbox.
function DeriveOptions(smoothing, levelled) {
  return { smoothing: smoothing === 0 ? "none" : `1/${smoothing}`,
           levelAt: levelled ? undefined : "none" };
}

function SmoothingText(smoothing) {
  return smoothing === 0 ? SayIn("smoothing", "none")
                         : Say("1/{n} octave", { n: String(smoothing) });
}

// The outcome of a derivation: made, made with warnings, or refused, each
// with the program's own words; the warnings are listed below it.
function DerivedOutcome(data) {
  if (data.unreadable) {
    return { strong: Say("Not made."), kind: "failed", sentences: [
      Say("{name} could not be read ({reason}); choose it again.",
          { name: data.unreadable.name, reason: data.unreadable.reason })] };
  }
  if (data.status === 2 || data.blob === null) {
    return { strong: Say("Not made."), kind: "failed",
             sentences: data.refusal ? [data.refusal] : [] };
  }
  const narrowed = data.narrowed ? [data.narrowed] : [];
  if (data.warnings.length > 0) {
    return { strong: Say("Made, with warnings."), kind: "warning", sentences: [
      ...narrowed,
      SayCount("Read the warning below before you use {name}.",
               "Read the {count} warnings below before you use {name}.",
               data.warnings.length, { name: data.name })] };
  }
  return { strong: Say("Calibration made."), kind: "", sentences: [
    ...narrowed, Say("{name} is ready to download.", { name: data.name })] };
}

// The names the three files go by here, each its own, and the calibration
// made after MyMicMeasured's, named as no input is; null for a file not
// chosen yet.
function DeriveNames(fileNames) {
  const used = new Set();
  const names = {};
  for (const key of DeriveKeys) {
    names[key] = fileNames[key] === null ? null : Distinct(fileNames[key], used);
  }
  names.myMicCal = names.myMicMeasured === null ? null
                                                : Distinct(CalibrationName(names.myMicMeasured),
                                                           used);
  return names;
}

// What a box of the derivation says of the file chosen, or of none yet.
function DeriveChosenText(name) {
  return name === null ? Say("No file yet: choose it or drop it here.")
                       : Say("Chosen: {name}", { name });
}
