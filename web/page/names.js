// Names of files, which the page and its worker give alike: each is put
// before both of them.

// Two files may well share a name (two folders' calibration.txt); the
// converter names files in its messages, so each gets a name of its own, and
// the boxes show the same one.
function Distinct(name, used) {
  const extension = name.slice(Stem(name).length);
  let candidate = name;
  for (let copy = 2; used.has(candidate); ++copy) {
    candidate = `${Stem(name)} (${copy})${extension}`;
  }
  used.add(candidate);
  return candidate;
}

// MyMic.txt has the stem MyMic.
function Stem(name) {
  const dot = name.lastIndexOf(".");
  return dot > 0 ? name.slice(0, dot) : name;
}

// MyMic.txt becomes MyMic-converted.txt.
function ConvertedName(name) {
  return `${Stem(name)}-converted${name.slice(Stem(name).length)}`;
}

// A calibration made from the measurement MyMic.csv is MyMic-calibration.txt.
function CalibrationName(name) {
  return `${Stem(name)}-calibration.txt`;
}
