// Where the page reads what the programs print in a terminal, all in one
// place: the sentences of a message, the converter's error line, the lines
// in which the repair says what it changed, and the export's name printed
// before its notes. When the module gives these as data, this goes.

// A message's sentences, each ending in its full stop.
function Sentences(message) {
  return message.split(/(?<=\.)\s+/);
}

// The converter's error line: the first that starts with Error. null where
// there is none.
function ErrorLine(messages) {
  return messages.split("\n").find((line) => line.startsWith("Error")) || null;
}

// What the repair changed, one line each, as it says it: the lines it
// indents by two spaces.
function RepairChanges(messages) {
  return messages.split("\n").filter((line) => /^ {2}\S/.test(line))
      .map((line) => line.trim());
}

// The repair's report as shown, without the blank line it starts with.
function RepairReport(messages) {
  return messages.replace(/^\n/, "");
}

// What the export said beyond its name, which it prints first.
function ExportNotes(messages) {
  return messages.replace(/^\s*TarvelinExport\s*/, "").trim();
}

function Quoted(name) {
  return /^[\w.+-]+$/.test(name) ? name : `"${name}"`;
}

// The command that a terminal would run for the conversion shown, as the
// first line of what the converter printed.
function Command(names) {
  return "$ Tarvelin " + [names.refMicFrom, names.refMicTo, names.myMicIn, names.myMicOut]
      .map(Quoted).join(" ") + "\n";
}
