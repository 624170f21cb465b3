// The findings view: the check's findings of one file, or a batch's table of
// its files with the references' findings once above it, the Repair
// buttons, and for the file shown what the converter printed, what the
// repair changed and the summary.

function FindingItem(finding, names, repair) {
  const item = Make("li", `finding ${finding.severity}`);
  item.dataset.code = finding.code;
  item.dataset.severity = finding.severity;
  const label = Make("span", "severity");
  if (finding.severity !== "note") {
    label.append(Icon(finding.severity === "error" ? "✖" : "⚠"), " ");
  }
  label.append(SeverityLabel(finding.severity));
  // A warning's title is a line of its own, its heading; a note's runs on.
  item.append(Make("span", "head", label, " ", Make("span", "title", finding.title)),
              finding.severity === "note" ? " — " : " ",
              Make("span", "where", Where(finding, names)), ": ", finding.message, " ",
              Make("code", "code", finding.code));
  if (repair) {
    // Seen, the button says Repair; heard, which file it repairs.
    const seen = Make("span", "", Say("Repair"));
    seen.setAttribute("aria-hidden", "true");
    const button = Make("button", "repair", seen, Make("span", "visually-hidden",
        Say("Repair {where}", { where: Where({ role: finding.role }, names) })));
    button.type = "button";
    button.dataset.target = JSON.stringify(repair);
    button.disabled = busy;
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
      parts.push(Make("details", "notes",
                      Make("summary", "", SayCount("{count} note", "{count} notes", notes.length)),
                      list));
    } else {
      parts.push(list);
    }
  }
  return parts;
}

function ShowFindings() {
  const data = current.data;
  $("findings-heading").textContent = Say("Findings");
  if (current.batch) {
    ShowBatch(data);
  } else {
    ShowOne(data.results[0], data);
  }
  MarkSelected();
}

function ShowOne(result, data) {
  if (!result.check) {
    return;
  }
  const parts = FindingLists(result.check.findings, result.names,
                             (finding) => RepairTarget(finding, data, 0));
  if (parts.length === 0) {
    parts.push(Make("p", "", Say("The check found nothing to say about these files.")));
  }
  $("findings").replaceChildren(...parts);
  $("findings-part").hidden = false;
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
  const name = Make("th", "", choose, Make("span", "shown-here", Say("shown below")));
  name.scope = "row";

  const [symbol, word] = OutcomeWords(judged);
  const outcome = Make("td", "outcome", Icon(symbol), " ", word);
  if (result.dataLines !== null) {
    outcome.append(Make("span", "points-here",
                        SayCount(", {count} point", ", {count} points", result.dataLines)));
  }
  if (result.repaired) {
    outcome.append(Make("span", "repaired", Say("Repaired first, into {name}:",
                                                { name: result.repaired.name })),
                   Make("ul", "changes", ...result.repaired.said.changes
                       .map((line) => Make("li", "", line))));
  } else if (result.failedRepair) {
    const said = result.failedRepair.said.refusal;
    outcome.append(Make("span", "repaired", Say("Not repaired: {said}", {
      said: said === null ? Say("The conversion failed.") : said })));
  }

  const { own, said } = RowTitles(result, same);
  const warnings = Make("td", "titles", said);
  if (own.length > 0) {
    const parts = FindingLists(own, result.names, () => null);
    const seen = Make("span", "", Say("Findings"));
    seen.setAttribute("aria-hidden", "true");
    warnings.append(Make("details", "row-findings",
                         Make("summary", "", seen, Make("span", "visually-hidden",
                              Say("Findings of {name}", { name: shownName }))),
                         ...parts));
  }
  const points = Make("td", "points", result.dataLines === null ? "–" : Numeral(result.dataLines));
  row.append(name, outcome, warnings, points);
  return row;
}

function ShowBatch(data) {
  const results = data.results;
  const parts = [];
  if (RepairOffered(data)) {
    const button = Make("button", "repair", Say("Repair what can be repaired"));
    button.type = "button";
    button.id = "repair-all";
    button.disabled = busy;
    button.addEventListener("click", () => Repair("all"));
    parts.push(Make("p", "repair-all", button, " ", Say("Each file with something the repair mends is repaired into a copy, which is then converted; your files stay as they are.")));
  }
  const { shown, same } = ReferenceFindings(results);
  if (shown.length > 0) {
    const names = results.find((result) => result.check).names;
    parts.push(Make("h4", "", Say("About the references, for every file")),
               ...FindingLists(shown, names, (finding) => RepairTarget(finding, data, 0)));
  }
  const table = Make("table", "");
  table.id = "batch";
  const Column = (text, className) => {
    const cell = Make("th", className, text);
    cell.scope = "col";
    return cell;
  };
  const head = Make("tr", "", Column(SayIn("column", "File"), ""),
                    Column(SayIn("column", "Outcome"), ""), Column(SayIn("column", "Warnings"), ""),
                    Column(SayIn("column", "Points"), "points"));
  table.append(Make("caption", "", Say("Each MyMicIn, those with errors or warnings first. Choose a file to see its plot, its summary and what the converter printed.")),
               Make("thead", "", head),
               Make("tbody", "", ...Order(results).map((index) =>
                   BatchRow(results[index], index, data, same))));
  parts.push(Make("div", "table-frame", table));
  $("findings").replaceChildren(...parts);
  $("findings-part").hidden = false;
}

// The row of the file shown, marked.
function MarkSelected() {
  for (const button of document.querySelectorAll("#batch .choose-row")) {
    const row = button.closest("tr");
    const chosenRow = Number(row.dataset.index) === current.selected;
    button.setAttribute("aria-pressed", String(chosenRow));
    row.classList.toggle("chosen", chosenRow);
  }
}

// What is said of the file shown: what the converter printed for it, what
// the repair changed, and its summary.
function ShowSelectedWords() {
  const result = current.data.results[current.selected];
  $("messages-heading").textContent = current.batch
      ? Say("What the converter printed for {name}", { name: result.names.myMicIn })
      : Say("What the converter printed");
  if (result.unreadable) {
    $("messages-part").hidden = true;
  } else {
    $("messages").textContent = Command(result.names) + result.messages + current.plotMessages;
    $("messages").classList.toggle("failed", result.status !== 0);
    $("messages-part").hidden = false;
  }
  ShowRepairPart(Repaired(current.data, result),
                 [...(current.data.failed || []),
                  ...(result.failedRepair ? [result.failedRepair] : [])]);
  ShowSummary(result, current.batch ? result.names.myMicIn : null);
  if (shownPlot !== null) {
    ShowPlotWords(result);
  }
}

// What the repair said of one file: its heading, each kind of change, why
// lines were left, its closing and what still needs a person; or why it
// wrote nothing.
function RepairSaidView(each) {
  const said = each.said;
  const view = Make("div", "repair-said");
  if (said.refusal !== null) {
    view.append(Make("p", "", said.refusal));
    return view;
  }
  view.append(Make("p", "", said.heading));
  if (said.changes.length > 0) {
    view.append(Make("ul", "changes", ...said.changes.map((line) => Make("li", "", line))));
  }
  view.append(...said.notes.map((note) => Make("p", "", note)));
  if (said.closing !== null) {
    view.append(Make("p", "", said.closing));
  }
  if (said.remaining.length > 0) {
    // Whatever its role in the check, a finding left is one of the copy's.
    const names = { refMicFrom: each.name, refMicTo: each.name, myMicIn: each.name };
    view.append(Make("p", "", said.remainingHeading),
                ...FindingLists(said.remaining, names, () => null));
  }
  return view;
}

function ShowRepairPart(copies, failed) {
  const unique = [...new Map(failed.map((each) => [each.from, each])).values()];
  const part = $("repair-part");
  if (copies.length === 0 && unique.length === 0) {
    part.hidden = true;
    return;
  }
  $("repair-heading").textContent = copies.length > 0 ? Say("What the repair changed")
                                                      : Say("Why the repair wrote nothing");
  $("repair-help").textContent = copies.length > 0
      ? Say("Your own file is as it was; the conversion used the copy.")
      : Say("It wrote no copy: your own file is as it was, and so is the result above.");
  $("repair-messages").replaceChildren(...[...copies, ...unique].map(RepairSaidView));
  $("repair-messages").classList.toggle("failed", copies.length === 0);
  part.hidden = false;
}

function ShowSummary(result, name) {
  if (!result.check) {
    $("summary").hidden = true;
    return;
  }
  const texts = SummaryTexts(result.check, name);
  $("summary-heading").textContent = texts.heading;
  $("summary-points").textContent = texts.points;
  $("summary-range").textContent = texts.range;
  $("summary-correction").textContent = texts.correction;
  $("summary").hidden = false;
}

// ---- Repair -----------------------------------------------------------------

function Repair(targets) {
  if (busy || current === null || !Post(Request(Ask.Repair, currentJob + 1, Language(),
                                                { targets }))) {
    return;
  }
  busy = true;
  ++currentJob;
  for (const button of document.querySelectorAll("button.repair")) {
    button.disabled = true;
  }
  working = Ask.Repair;
  current.repairing = targets;
  ShowOutcome(() => Plain(Say("Repairing…"), ""));
  ShowProgress({ done: 0, total: 1 });
}

// The repair wrote nothing (a line it can read two ways): the result stays
// as it was, and the repair's message says which line to write otherwise.
// The files it failed on are offered no Repair again, by their buttons or
// by the outcome.
function Unrepaired(data) {
  busy = false;
  HideProgress();
  if (shownPlot !== null) {
    shownPlot.job = currentJob;
  }
  current.data = WithFailedRepairs(current.data, data.failed);
  ShowResultOutcome();
  ShowFindings();
  ShowRepairPart([], data.failed);
  $("repair-heading").focus();
}
