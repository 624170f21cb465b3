// Where the page reads what the converter prints in a terminal, whose words
// are fixed, and the command a terminal would run: the converter's error
// line, and the sentences of a message that the references' findings share.

// A message's sentences, each ending in its full stop.
function Sentences(message) {
  return message.split(/(?<=\.)\s+/);
}

// The converter's error line: the first that starts with Error. null where
// there is none.
function ErrorLine(messages) {
  return messages.split("\n").find((line) => line.startsWith("Error")) || null;
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
