// The page's own part: gathers the files from the inputs or from drops, hands
// them to the worker that runs the converter (worker.js, made from the text
// of #worker-source), and shows what comes back: the outcome, led by its
// cause, the check's findings (for a batch, a table of the files), what the
// converter printed, a summary and the plot of the file shown, and one
// download for one file or a zip for several, in the form chosen. A repair
// asked for goes to the worker too. This thread never runs the converter, so
// that the page answers while it works.

const Keys = ["refMicFrom", "refMicTo", "myMicIn"];
const Roles = { refMicFrom: "RefMicFrom", refMicTo: "RefMicTo", myMicIn: "MyMicIn" };
const RoleKeys = { RefMicFrom: "refMicFrom", RefMicTo: "refMicTo", MyMicIn: "myMicIn" };
const ReferenceRoles = ["RefMicFrom", "RefMicTo"];
const Severities = ["error", "warning", "note"];
const ZipName = "Tarvelin-converted.zip";
const chosen = { refMicFrom: [], refMicTo: [], myMicIn: [] };
let worker = null;
let busy = false;
let currentJob = 0;
let urls = [];
// The result shown: what the worker sent, the names of the run, and the
// index of the MyMicIn whose plot, summary and messages are shown.
let current = null;
// The picture shown, the file and the width it was drawn for; a replot under
// way.
let shownPlot = null;
let replotting = false;
// What the outcome line says while the worker works.
let working = "Converting";
// The widths TarvelinPlot draws at.
const LeastPlotWidth = 240;
const MostPlotWidth = 4000;

const $ = (id) => document.getElementById(id);

function Make(tag, className, ...children) {
  const element = document.createElement(tag);
  if (className) {
    element.className = className;
  }
  element.append(...children);
  return element;
}

function Plural(count, one, many) {
  return `${count} ${count === 1 ? one : many}`;
}

// An icon beside a word that says the same, so that colour is never the only
// sign: hidden from screen readers, which read the word.
function Icon(symbol) {
  const icon = Make("span", "icon", symbol);
  icon.setAttribute("aria-hidden", "true");
  return icon;
}

// ---- Names ------------------------------------------------------------------

// The names of the files chosen so far, in the order of the boxes.
function NamesOf() {
  const used = new Set();
  const names = { myMicIn: [], myMicOut: [] };
  for (const key of ["refMicFrom", "refMicTo"]) {
    names[key] = chosen[key].length > 0 ? Distinct(chosen[key][0].name, used) : null;
  }
  names.myMicIn = chosen.myMicIn.map((file) => Distinct(file.name, used));
  const outputs = new Set(used);
  names.myMicOut = chosen.myMicIn.map((file) => Distinct(ConvertedName(file.name), outputs));
  return names;
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
  working = "Converting";
  ShowOutcome("Converting…", "");
  ShowProgress({ done: 0, total: 1 });
  worker.postMessage({ type: "convert", job, refMicFrom: chosen.refMicFrom[0],
                       refMicTo: chosen.refMicTo[0], myMicIn: chosen.myMicIn,
                       names: NamesOf() });
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
  } else if (data.type === "shown") {
    Shown(data);
  } else if (data.type === "saved") {
    Saved(data);
  } else if (data.type === "unrepaired") {
    Unrepaired(data);
  } else if (data.type === "failed") {
    if (data.request === "save") {
      SaveFailed(data.error);
      return;
    }
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

// text: a string, or the nodes of the line.
function ShowOutcome(text, kind) {
  const outcome = $("outcome");
  outcome.replaceChildren(...(typeof text === "string" ? [text] : text));
  outcome.className = kind;
}

function ShowProgress({ text, done, total }) {
  const progress = $("progress");
  progress.max = total;
  progress.value = Math.min(done, total);
  progress.hidden = false;
  if (text) {
    ShowOutcome(`${working}… ${text}.`, "");
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
  for (const id of ["offer", "repair-part", "findings-part", "messages-part", "summary",
                    "plot"]) {
    $(id).hidden = true;
  }
  current = null;
  shownPlot = null;
  $("findings").replaceChildren();
  $("repaired-downloads").replaceChildren();
  $("save-message").textContent = "";
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

function Count(findings, severity) {
  return findings.filter((finding) => finding.severity === severity).length;
}

function Where(finding, names) {
  const key = RoleKeys[finding.role];
  let where = key ? `${finding.role} ${names[key]}` : finding.role;
  if (typeof finding.line === "number") {
    where += `, line ${finding.line}`;
  }
  return where;
}

function ErrorLine(messages) {
  return messages.split("\n").find((line) => line.startsWith("Error")) ||
      "The conversion failed.";
}

// A file with no data line, or a reference with too few, is what a warning
// that dropped its lines leads to: that warning is the cause. A file no
// warning explains may be no text at all.
const Consequences = ["no-data-lines", "too-few-points"];

function NotText(role) {
  return {
    severity: "warning", code: "", role, line: null, repairable: false, droppedLines: 0,
    title: "Not a text file",
    fix: "Choose the calibration's text file, or save it as text in the program that made it.",
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

const Unreadable = "could not be read: it may have changed or moved since it was chosen.";

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

// The outcome of one file: the cause and its one fix first, then the other
// warnings by their titles, then what became of MyMicOut.
function OneOutcome(result, data) {
  const names = result.names;
  const judged = Judge(result);
  if (judged.kind === "unreadable") {
    return { nodes: [`Not converted. ${names.myMicIn} ${Unreadable} Choose it again.`],
             kind: "failed" };
  }
  const copies = Repaired(data, result);
  const fromCopy = copies.map((copy) => copy.role === "MyMicIn"
      ? ` ${names.myMicOut} comes from the repaired copy ${copy.name}.`
      : ` The conversion used ${copy.name}, the repaired copy of ${copy.role} ${copy.from}.`)
      .join("");
  if (judged.kind === "converted") {
    const own = result.repaired ? `${names.myMicIn}, the repaired copy of ${result.repaired.from}`
                                : names.myMicIn;
    const others = copies.filter((copy) => copy.role !== "MyMicIn");
    return { nodes: [Make("strong", "", `Converted ${own}: ${names.myMicOut} is ready to ` +
                                         "download."),
                     others.length > 0 ? fromCopy : ""], kind: "" };
  }
  const causes = Causes(result);
  const nodes = [];
  if (causes.length > 0) {
    const cause = causes[0];
    nodes.push(Make("strong", "", `${cause.title} in ${Where(cause, names)}.`));
    if (cause.fix) {
      nodes.push(` ${cause.fix}`);
    }
    if (cause.repairable && !copies.some((copy) => copy.role === cause.role)) {
      nodes.push(" Or press Repair, below, to convert a repaired copy; your file stays as it is.");
    }
    const others = Titles(causes).slice(1);
    if (others.length > 0) {
      nodes.push(` Also: ${others.join(", ")}.`);
    }
  }
  if (judged.kind === "refused") {
    const said = ErrorLine(result.messages);
    nodes.push(causes.length > 0 ? ` Not converted: the converter says “${said}”.`
                                 : ` Not converted. ${said}. Each reference needs at least ` +
                                   "two data lines, and each data line a frequency and a level " +
                                   "as numbers separated by blanks or tabs.");
  } else if (judged.kind === "empty") {
    nodes.push(causes.length > 0 && causes[0].code === ""
        ? ` Nothing was converted: ${names.myMicIn} holds bytes that no text file holds; it may ` +
          "be a picture, a PDF or a spreadsheet's own format."
        : ` Nothing was converted: no line of ${names.myMicIn} was read as data.`);
  } else {
    nodes.push(` Converted, with ${Plural(judged.warnings, "warning", "warnings")}: read ` +
               `${judged.warnings === 1 ? "it" : "them"} below before you use ` +
               `${names.myMicOut}.${fromCopy}`);
  }
  return { nodes, kind: judged.failed ? "failed" : "warning" };
}

function BatchOutcome(data) {
  const results = data.results;
  const judged = results.map(Judge);
  const converted = judged.filter((entry) => !entry.failed).length;
  const warned = judged.filter((entry) => entry.kind === "warnings").length;
  const references = Repaired(data, null);
  const repaired = results.filter((result) => result.repaired).length + references.length;
  let text = `Converted ${converted} of ${results.length} files`;
  if (warned > 0) {
    text += `, ${warned} with warnings`;
  }
  if (converted < results.length) {
    text += `; ${results.length - converted} not converted`;
  }
  text += converted > 0 ? `: ${ZipName} holds the ${Plural(converted, "file", "files")} ` +
      "converted." : ".";
  if (repaired > 0) {
    text += ` ${Plural(repaired, "file was", "files were")} repaired first; the zip holds ` +
        `${repaired === 1 ? "its copy" : "their copies"} in the folder repaired.`;
  }
  for (const copy of references) {
    text += ` Each file was converted with ${copy.name}, the repaired copy of ${copy.role} ` +
        `${copy.from}.`;
  }
  if (warned > 0 || converted < results.length) {
    text += " The files with warnings or errors come first in the table.";
  }
  return { nodes: [text], kind: converted === 0 ? "failed"
                                : converted < results.length || warned > 0 ? "warning" : "" };
}

function ShowResult(data) {
  if (data.unreadable) {
    const { key, name } = data.unreadable;
    Forget(key);
    ShowOutcome(`Not converted. ${Roles[key]} ${name} ${Unreadable} Choose it again.`, "failed");
    return;
  }
  const repeated = current !== null;
  const results = data.results;
  const batch = results.length > 1;
  ClearResult();
  current = { data, batch, selected: null };
  if (!batch && results[0].unreadable) {
    Forget("myMicIn");
  }
  const outcome = batch ? BatchOutcome(data) : OneOutcome(results[0], data);
  ShowOutcome(outcome.nodes, outcome.kind);
  ShowOffer(data);
  if (batch) {
    ShowBatch(data);
  } else {
    ShowOne(results[0], data);
  }
  const timed = results.find((result) => result.milliseconds !== null);
  if (timed) {
    document.body.dataset.conversionMilliseconds = timed.milliseconds.toFixed(1);
  }
  const order = Order(results);
  Select(order.find((index) => results[index].output) ?? order[0]);
  if (repeated) {
    // After a repair the button pressed is gone: the outcome says what
    // became of it.
    $("outcome").focus();
  }
}

// ---- The findings -----------------------------------------------------------

function FindingItem(finding, names, repair) {
  const item = Make("li", `finding ${finding.severity}`);
  item.dataset.code = finding.code;
  item.dataset.severity = finding.severity;
  const severity = finding.severity[0].toUpperCase() + finding.severity.slice(1);
  const label = Make("span", "severity");
  if (finding.severity !== "note") {
    label.append(Icon(finding.severity === "error" ? "✖" : "⚠"), " ");
  }
  label.append(`${severity}:`);
  // A warning's title is a line of its own, its heading; a note's runs on.
  item.append(Make("span", "head", label, " ", Make("span", "title", finding.title)),
              finding.severity === "note" ? " — " : " ",
              Make("span", "where", Where(finding, names)), ": ", finding.message, " ",
              Make("code", "code", finding.code));
  if (repair) {
    const button = Make("button", "repair", "Repair",
                        Make("span", "visually-hidden", ` ${Where({ role: finding.role }, names)}`));
    button.type = "button";
    button.dataset.target = JSON.stringify(repair);
    button.addEventListener("click", () => Repair([repair]));
    item.append(" ", button);
  }
  return item;
}

// Warnings and errors in plain sight; notes quieter, and folded away under
// their count when there are warnings to read first.
function FindingLists(findings, names, repairOf) {
  const parts = [];
  const loud = Sorted(findings.filter((finding) => finding.severity !== "note"));
  const notes = findings.filter((finding) => finding.severity === "note");
  if (loud.length > 0) {
    parts.push(Make("ul", "findings",
                    ...loud.map((finding) => FindingItem(finding, names, repairOf(finding)))));
  }
  if (notes.length > 0) {
    const list = Make("ul", "findings notes",
                      ...notes.map((finding) => FindingItem(finding, names, repairOf(finding))));
    if (loud.length > 0) {
      parts.push(Make("details", "notes", Make("summary", "", Plural(notes.length, "note", "notes")),
                      list));
    } else {
      parts.push(list);
    }
  }
  return parts;
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

function ShowOne(result, data) {
  $("findings-heading").textContent = "Findings";
  if (!result.check) {
    return;
  }
  const parts = FindingLists(result.check.findings, result.names,
                             (finding) => RepairTarget(finding, data, 0));
  if (parts.length === 0) {
    parts.push(Make("p", "", "The check found nothing to say about these files."));
  }
  $("findings").replaceChildren(...parts);
  $("findings-part").hidden = false;
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
    const sentences = [...messages].map((message) => message.split(/(?<=\.)\s+/));
    const shared = [];
    for (const [at, sentence] of sentences[0].entries()) {
      if (!sentences.every((each) => each[at] === sentence)) {
        break;
      }
      shared.push(sentence);
    }
    shown.push({ ...finding, message: `${shared.join(" ")} What that means for each file is ` +
                                      "among its own findings, in its row." });
  }
  return { shown, same };
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

const OutcomeWords = {
  converted: ["✓", "Converted"],
  warnings: ["⚠", "Converted with warnings"],
  empty: ["✖", "Nothing converted"],
  refused: ["✖", "Refused"],
  unreadable: ["✖", "Not read"],
};

// What the repair changed, one line each, as it says it.
function Changes(messages) {
  return messages.split("\n").filter((line) => /^ {2}\S/.test(line))
      .map((line) => line.trim());
}

function BatchRow(result, index, data, same) {
  const judged = Judge(result);
  const row = Make("tr", `file ${judged.failed ? "failed" : judged.kind}`);
  row.dataset.outcome = judged.kind;
  row.dataset.index = index;
  const shownName = result.repaired ? result.repaired.from : result.names.myMicIn;
  const choose = Make("button", "choose-row", shownName);
  choose.type = "button";
  choose.setAttribute("aria-pressed", "false");
  choose.addEventListener("click", () => Select(index));
  const name = Make("th", "", choose, Make("span", "shown-here", "shown below"));
  name.scope = "row";

  const [symbol, word] = OutcomeWords[judged.kind];
  const outcome = Make("td", "outcome", Icon(symbol), " ",
                       judged.kind === "warnings"
                           ? `Converted with ${Plural(judged.warnings, "warning", "warnings")}`
                           : word);
  if (result.dataLines !== null) {
    outcome.append(Make("span", "points-here",
                        `, ${Plural(result.dataLines, "point", "points")}`));
  }
  if (result.repaired) {
    outcome.append(Make("span", "repaired", `Repaired first, into ${result.repaired.name}:`),
                   Make("ul", "changes",
                        ...Changes(result.repaired.messages).map((line) => Make("li", "", line))));
  } else if (result.failedRepair) {
    outcome.append(Make("span", "repaired",
                        `Not repaired: ${ErrorLine(result.failedRepair.messages)}`));
  }

  const own = result.check ? result.check.findings.filter((finding) =>
      !(ReferenceRoles.includes(finding.role) && same.has(Key(finding)))) : [];
  const titles = Titles(Causes({ ...result, check: result.check && { findings: own } }));
  const warnings = Make("td", "titles", titles.length > 0 ? titles.join(", ")
      : judged.kind === "refused" ? "The references' errors, above"
      : judged.kind === "unreadable" ? `It ${Unreadable} Choose the files again.` : "none");
  if (own.length > 0) {
    const parts = FindingLists(own, result.names, () => null);
    warnings.append(Make("details", "row-findings",
                         Make("summary", "", "Findings",
                              Make("span", "visually-hidden", ` of ${shownName}`)),
                         ...parts));
  }
  const points = Make("td", "points", result.dataLines === null ? "–" : String(result.dataLines));
  row.append(name, outcome, warnings, points);
  return row;
}

function ShowBatch(data) {
  const results = data.results;
  $("findings-heading").textContent = "Findings";
  const parts = [];
  const repairable = results.some((result, index) => result.check && result.check.findings.some(
      (finding) => RepairTarget(finding, data, index) !== null));
  if (repairable) {
    const button = Make("button", "repair", "Repair what can be repaired");
    button.type = "button";
    button.id = "repair-all";
    button.addEventListener("click", () => Repair("all"));
    parts.push(Make("p", "repair-all", button, " Each file with something the repair mends is " +
                    "repaired into a copy, which is then converted; your files stay as they are."));
  }
  const { shown, same } = ReferenceFindings(results);
  if (shown.length > 0) {
    const names = results.find((result) => result.check).names;
    parts.push(Make("h4", "", "About the references, for every file"),
               ...FindingLists(shown, names, (finding) => RepairTarget(finding, data, 0)));
  }
  const table = Make("table", "");
  table.id = "batch";
  const head = Make("tr", "", ...["File", "Outcome", "Warnings", "Points"].map((text) => {
    const cell = Make("th", text === "Points" ? "points" : "", text);
    cell.scope = "col";
    return cell;
  }));
  table.append(Make("caption", "", "Each MyMicIn, those with errors or warnings first. " +
                    "Choose a file to see its plot, its summary and what the converter printed."),
               Make("thead", "", head),
               Make("tbody", "", ...Order(results).map((index) =>
                   BatchRow(results[index], index, data, same))));
  parts.push(Make("div", "table-frame", table));
  $("findings").replaceChildren(...parts);
  $("findings-part").hidden = false;
}

// ---- The file shown -----------------------------------------------------------

// One MyMicIn of the result: its row marked, what the converter printed for
// it, its summary and its plot, which the worker draws.
function Select(index) {
  const result = current.data.results[index];
  current.selected = index;
  for (const button of document.querySelectorAll("#batch .choose-row")) {
    const row = button.closest("tr");
    const chosenRow = Number(row.dataset.index) === index;
    button.setAttribute("aria-pressed", String(chosenRow));
    row.classList.toggle("chosen", chosenRow);
  }
  const of = current.batch ? ` for ${result.names.myMicIn}` : "";
  $("messages-heading").textContent = `What the converter printed${of}`;
  if (result.unreadable) {
    $("messages-part").hidden = true;
  } else {
    $("messages").textContent = Command(result.names) + result.messages;
    $("messages").classList.toggle("failed", result.status !== 0);
    $("messages-part").hidden = false;
  }
  ShowRepairPart(Repaired(current.data, result),
                 [...(current.data.failed || []), ...(result.failedRepair ? [result.failedRepair] : [])]);
  ShowSummary(result, current.batch ? result.names.myMicIn : null);
  $("plot").hidden = true;
  shownPlot = null;
  if (result.output) {
    worker.postMessage({ type: "show", job: currentJob, index, width: PlotWidth() });
  }
}

function ShowRepairPart(copies, failed) {
  const unique = [...new Map(failed.map((each) => [each.from, each])).values()];
  const part = $("repair-part");
  if (copies.length === 0 && unique.length === 0) {
    part.hidden = true;
    return;
  }
  $("repair-heading").textContent = copies.length > 0 ? "What the repair changed"
                                                      : "Why the repair wrote nothing";
  $("repair-help").textContent = copies.length > 0
      ? "Your own file is as it was; the conversion used the copy."
      : "It wrote no copy: your own file is as it was, and so is the result above.";
  $("repair-messages").textContent = [...copies, ...unique]
      .map((each) => each.messages.replace(/^\n/, "")).join("\n");
  $("repair-messages").classList.toggle("failed", copies.length === 0);
  part.hidden = false;
}

// Frequencies and corrections as the check gives them: the shortest form
// that reads back as the value the file gave.
function ShowSummary(result, name) {
  const check = result.check;
  if (!check) {
    $("summary").hidden = true;
    return;
  }
  const file = (role) => check.files.find((entry) => entry.role === role);
  $("summary-heading").textContent = name === null ? "Summary" : `Summary of ${name}`;
  $("summary-points").textContent = ["RefMicFrom", "RefMicTo", "MyMicIn"]
      .map((role) => `${role} ${file(role) ? file(role).dataLines : "none"}`).join(", ");
  const mine = file("MyMicIn");
  $("summary-range").textContent = !mine || mine.firstFrequency === null
      ? "no data lines"
      : mine.ascending
          ? `${mine.firstFrequency} Hz to ${mine.lastFrequency} Hz`
          : `${mine.firstFrequency} Hz on its first data line, ${mine.lastFrequency} Hz on its ` +
            "last; not in rising order";
  const conversion = check.conversion;
  $("summary-correction").textContent = !conversion || conversion.correctionMin === null
      ? "none"
      : `${conversion.correctionMin} dB at ${conversion.correctionMinFrequency} Hz to ` +
        `${conversion.correctionMax} dB at ${conversion.correctionMaxFrequency} Hz`;
  $("summary").hidden = false;
}

// ---- Downloads: MyMicOut or the zip, in the form chosen, and the copies ------

function Offer(blob, name) {
  const download = $("download");
  const warned = $("offer").dataset.warned === "yes";
  download.href = Url(blob);
  download.download = name;
  download.removeAttribute("aria-disabled");
  download.replaceChildren(...(warned ? [Icon("⚠"), ` Download anyway: ${name}`]
                                      : [`Download ${name}`]));
  download.classList.toggle("anyway", warned);
  download.hidden = false;
}

function ShowOffer(data) {
  const results = data.results;
  const batch = results.length > 1;
  const blob = batch ? data.zip : results[0].output;
  $("save-as").value = "";
  if (!blob) {
    return;
  }
  $("offer").dataset.warned = results.some((result) => Judge(result).kind === "warnings")
      ? "yes" : "no";
  Offer(blob, batch ? ZipName : results[0].names.myMicOut);
  // A batch's copies are in its zip.
  const copies = batch ? [] : Repaired(data, results[0]);
  $("repaired-downloads").replaceChildren(...copies.map((copy) => {
    const link = Make("a", "button secondary", `Download ${copy.name}`);
    link.href = Url(copy.copy);
    link.download = copy.name;
    link.setAttribute("role", "button");
    link.addEventListener("keydown", PressWithSpace);
    return link;
  }));
  $("offer").hidden = false;
}

function SaveAs() {
  const profile = $("save-as").value;
  $("save-message").textContent = "";
  if (current === null) {
    return;
  }
  if (profile === "") {
    ShowOffer(current.data);
    return;
  }
  const download = $("download");
  download.removeAttribute("href");
  download.setAttribute("aria-disabled", "true");
  download.replaceChildren("Preparing the file…");
  worker.postMessage({ type: "save", job: currentJob, profile });
}

const FormNames = { tsv: "tab-separated text", frd: "FRD", csv: "CSV",
                    "csv-decimal-comma": "CSV with decimal commas" };

function Saved(data) {
  if ($("save-as").value !== data.profile || current === null) {
    return;
  }
  const form = FormNames[data.profile];
  let said = data.messages;
  if (data.left && data.left.length > 0) {
    said += `${said ? " " : ""}Left out of the zip, as they could not be saved as ${form}: ` +
        `${data.left.join(", ")}.`;
  }
  if (data.blob === null) {
    $("download").hidden = true;
    $("save-message").textContent = `Not saved as ${form}. ${said}`;
    return;
  }
  Offer(data.blob, data.name || `Tarvelin-converted-${data.profile}.zip`);
  $("save-message").textContent = said;
}

function SaveFailed(error) {
  $("download").hidden = true;
  $("save-message").textContent = `Not saved: the export stopped (${error}).`;
}

// ---- Repair -----------------------------------------------------------------

function Repair(targets) {
  if (busy || current === null) {
    return;
  }
  busy = true;
  ++currentJob;
  for (const button of document.querySelectorAll("button.repair")) {
    button.disabled = true;
  }
  working = "Repairing";
  current.repairing = targets;
  ShowOutcome("Repairing…", "");
  ShowProgress({ done: 0, total: 1 });
  worker.postMessage({ type: "repair", job: currentJob, targets });
}

// The repair wrote nothing (a line it can read two ways): the result stays
// as it was, and the repair's message says which line to write otherwise.
function Unrepaired(data) {
  busy = false;
  HideProgress();
  if (shownPlot !== null) {
    shownPlot.job = currentJob;
  }
  const outcome = current.batch ? BatchOutcome(current.data)
                                : OneOutcome(current.data.results[0], current.data);
  ShowOutcome(outcome.nodes, outcome.kind);
  // A button that would only fail the same way again goes.
  const tried = current.repairing === "all" ? null
                                            : current.repairing.map((each) => JSON.stringify(each));
  for (const button of document.querySelectorAll("button.repair")) {
    button.disabled = false;
    if (button.id === "repair-all" && tried === null) {
      button.closest("p").remove();
    } else if (tried === null || tried.includes(button.dataset.target)) {
      button.remove();
    }
  }
  ShowRepairPart([], data.failed);
  $("repair-heading").focus();
}

// ---- The plot -----------------------------------------------------------------

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

function ShowPicture(svg, width, index) {
  // Drawn a moment later, in a task of its own: the browser reads an SVG
  // picture on this thread, and would add that to laying out the rest.
  const url = Url(new Blob([svg], { type: "image/svg+xml" }));
  const previous = shownPlot;
  shownPlot = { job: currentJob, width, url, index };
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

function Shown(data) {
  if (current === null || current.selected !== data.index) {
    return;
  }
  const result = current.data.results[data.index];
  if (data.svg === null) {
    $("messages").textContent += data.messages;
    return;
  }
  const names = result.names;
  ShowPicture(data.svg, data.width, data.index);
  $("plot-image").alt = `Plot of ${names.refMicFrom}, ${names.refMicTo}, ` +
      `${names.myMicIn} and ${names.myMicOut}, with the correction`;
  $("plot-caption").textContent = current.batch
      ? `${names.myMicIn}: the curves of the four files and the correction, as TarvelinPlot ` +
        "draws them. Choose another file in the table to plot it."
      : "The curves of the four files and the correction, as TarvelinPlot draws them.";
  $("plot").hidden = false;
  Replot();
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
  if (data.job !== currentJob || shownPlot === null || data.index !== shownPlot.index) {
    return;
  }
  if (data.svg === null) {
    shownPlot.width = data.width;
  } else {
    ShowPicture(data.svg, data.width, data.index);
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

// A file named otherwise than it is, because another has its name, says so.
function Named(file, name) {
  return file.name === name ? name
                            : `${file.name}, called ${name} here, as another file has its name`;
}

function ShowChosen() {
  const names = NamesOf();
  for (const key of Keys) {
    const files = chosen[key];
    let text;
    if (files.length === 0) {
      text = key === "myMicIn" ? "No file yet: choose one or more, or drop them here."
                               : "No file yet: choose it or drop it here.";
    } else if (key !== "myMicIn") {
      text = `Chosen: ${Named(files[0], names[key])}`;
    } else {
      text = files.length === 1 ? `Chosen: ${Named(files[0], names.myMicIn[0])}`
                                : `Chosen: ${files.length} files.`;
    }
    $(`${key}-chosen`).textContent = text;
    document.querySelector(`.drop[data-key="${key}"]`).classList.toggle("ready", files.length > 0);
  }
  const many = chosen.myMicIn.length > 1;
  $("myMicIn-names").hidden = !many;
  $("myMicIn-list").replaceChildren(...(many ? chosen.myMicIn.map((file, index) =>
      Make("li", "", Named(file, names.myMicIn[index]))) : []));
}

function Say(text) {
  $("drop-message").textContent = text;
}

// A file that cannot be read is chosen again: its box is emptied, and the
// control takes the same path again.
function Forget(key) {
  chosen[key] = [];
  ShowChosen();
}

function Choose(key, files) {
  if (files.length === 0) {
    return;
  }
  chosen[key] = files;
  ShowChosen();
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
  });
  ShowChosen();
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

// A download looks like a button, so it acts on Space as well as Enter.
function PressWithSpace(event) {
  if (event.key === " ") {
    event.preventDefault();
    event.currentTarget.click();
  }
}
$("download").addEventListener("keydown", PressWithSpace);
$("save-as").addEventListener("change", SaveAs);
$("outcome").tabIndex = -1;
$("repair-heading").tabIndex = -1;

// The browser sets up its drawing of SVG pictures, text and all, on the first
// one, which costs this thread some tens of milliseconds: better now than
// while a result is shown.
new Image().src = "data:image/svg+xml," + encodeURIComponent(
    '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8" font-family="sans-serif">' +
    '<path d="M0,0L8,8" stroke="#000"/><text y="8" font-size="8">0</text></svg>');

StartWorker();
