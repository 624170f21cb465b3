// The converter's side of the page, run in a Web Worker that the page makes
// from its own text, after the module (the same code as tarvelin.mjs) and
// zip.js. It reads the chosen files once and keeps their bytes for the
// session: it converts and checks each MyMicIn with the two references,
// repairs a file when asked and converts again with the copy, plots the file
// the page shows (again when the page's frame takes another width), exports
// MyMicOut in another program's form, and zips a batch. The page only shows
// what comes back. A new choice ends this worker and starts another, so a job
// never outlives the files it was for. It also makes a calibration by
// comparison from three files, which it keeps for that one's plot and "Save
// as". Its requests and answers are those of protocol.js; a request's
// language is the one the programs' words are said in.

// The forms "Save as" offers beside Tarvelin's own, with their extensions.
const SavedExtensions = { tsv: ".txt", frd: ".frd", csv: ".csv", "csv-decimal-comma": ".csv" };
const ZipRepairedFolder = "repaired/";

// The files of the page's current choice, as read; a repaired file's copy
// takes its place. null until the first conversion.
let session = null;

// A file that changed or went away after it was chosen cannot be read; that
// is the user's to fix, so it comes back as a reason, not as a failure.
async function Read(file) {
  try {
    return { bytes: new Uint8Array(await file.arrayBuffer()) };
  } catch (error) {
    return { reason: error && error.message ? error.message : String(error) };
  }
}

// A picture, a PDF or a spreadsheet's own format holds zero bytes, which no
// text file in one byte per character does; UTF-16 text, which does too, the
// check names itself.
function LooksBinary(bytes) {
  return bytes.subarray(0, 65536).includes(0);
}

function Piece(name, bytes) {
  return { name, bytes, repaired: null, failedRepair: null };
}

// What the page needs of a repair: the copy's name, its bytes to download,
// and the program's own words on what it changed, or why it wrote nothing.
function RepairShown(repaired) {
  return repaired === null ? null : {
    from: repaired.from, name: repaired.name, status: repaired.status, said: repaired.said,
    copy: repaired.bytes === null ? null : new Blob([repaired.bytes], { type: "text/plain" }),
  };
}

async function ReadSession({ job, refMicFrom, refMicTo, myMicIn, names }) {
  const references = {};
  for (const [key, file] of [["refMicFrom", refMicFrom], ["refMicTo", refMicTo]]) {
    const read = await Read(file);
    if (read.reason !== undefined) {
      return { unreadable: { key, name: file.name, reason: read.reason } };
    }
    references[key] = Piece(names[key], read.bytes);
  }
  const items = [];
  for (const [index, file] of myMicIn.entries()) {
    const read = await Read(file);
    items.push({
      piece: read.reason === undefined ? Piece(names.myMicIn[index], read.bytes) : null,
      unreadable: read.reason === undefined ? null
                                            : { key: "myMicIn", name: file.name,
                                                reason: read.reason },
      myMicOut: names.myMicOut[index],
      output: null,
      result: null,
    });
  }
  session = { job, references, items, shown: null, plotted: null };
  return { unreadable: null };
}

function Files(item) {
  const { refMicFrom, refMicTo } = session.references;
  return {
    refMicFrom: refMicFrom.bytes, refMicTo: refMicTo.bytes, myMicIn: item.piece.bytes,
    names: { refMicFrom: refMicFrom.name, refMicTo: refMicTo.name, myMicIn: item.piece.name,
             myMicOut: item.myMicOut },
  };
}

// Converts and checks each MyMicIn of the session with the references, and
// zips a batch: what the page shows.
async function ConvertAll(job) {
  const items = session.items;
  const total = items.length * 2 + (items.length > 1 ? 1 : 0);
  let done = 0;
  const Progress = (step, name, index) => postMessage({
    type: Answer.Progress, job, step, name, index: index + 1, count: items.length, done: done++,
    total });
  const results = [];
  for (const [index, item] of items.entries()) {
    const result = {
      names: { refMicFrom: session.references.refMicFrom.name,
               refMicTo: session.references.refMicTo.name,
               myMicIn: item.piece ? item.piece.name : item.unreadable.name,
               myMicOut: item.myMicOut },
      unreadable: item.unreadable, status: null, messages: "", check: null, dataLines: null,
      binary: [], output: null, milliseconds: null,
      repaired: item.piece ? RepairShown(item.piece.repaired) : null,
      failedRepair: item.piece ? item.piece.failedRepair : null,
    };
    results.push(result);
    item.output = null;
    if (item.piece === null) {
      continue;
    }
    Progress(Step.Convert, result.names.myMicIn, index);
    const inputs = Files(item);
    const started = performance.now();
    const converted = await convertCalibration(inputs);
    result.milliseconds = performance.now() - started;
    result.status = converted.status;
    result.messages = converted.messages;
    Progress(Step.Check, result.names.myMicIn, index);
    result.check = await checkCalibration(inputs);
    const file = result.check.files.find((entry) => entry.role === "MyMicIn");
    result.dataLines = file ? file.dataLines : null;
    const bytes = { RefMicFrom: inputs.refMicFrom, RefMicTo: inputs.refMicTo,
                    MyMicIn: inputs.myMicIn };
    result.binary = result.check.files
        .filter((entry) => !entry.utf16 && entry.dataLines < 2 && LooksBinary(bytes[entry.role]))
        .map((entry) => entry.role);
    // Nothing was converted from a file without data lines: nothing to
    // download or to draw.
    if (converted.status === 0 && result.dataLines !== 0) {
      item.output = converted.myMicOut;
      result.output = new Blob([converted.myMicOut], { type: "text/plain" });
    }
    item.result = result;
  }
  let zip = null;
  if (items.length > 1 && items.some((item) => item.output !== null)) {
    Progress(Step.Zip, null, items.length - 1);
    zip = await BatchZip((item) => ({ name: item.myMicOut, bytes: item.output }));
  }
  const references = {};
  const referencesUnrepaired = {};
  for (const key of ["refMicFrom", "refMicTo"]) {
    references[key] = RepairShown(session.references[key].repaired);
    referencesUnrepaired[key] = session.references[key].failedRepair;
  }
  return { unreadable: null, results, zip, references, referencesUnrepaired };
}

// The batch's zip: each MyMicOut as entry(item) gives it (none when it gives
// null), and each repaired copy in a folder of its own.
async function BatchZip(entry) {
  const entries = [];
  const used = new Set();
  for (const item of session.items) {
    const made = item.output === null ? null : entry(item);
    if (made !== null) {
      entries.push({ name: Distinct(made.name, used), bytes: made.bytes });
    }
  }
  const pieces = [session.references.refMicFrom, session.references.refMicTo,
                  ...session.items.map((item) => item.piece)];
  for (const piece of pieces) {
    if (piece !== null && piece.repaired !== null) {
      entries.push({ name: Distinct(ZipRepairedFolder + piece.name, used), bytes: piece.bytes });
    }
  }
  return MakeZip(entries);
}

async function RunJob(data) {
  const read = await ReadSession(data);
  if (read.unreadable !== null) {
    session = null;
    return read;
  }
  return ConvertAll(data.job);
}

function AllNames() {
  const names = new Set([session.references.refMicFrom.name, session.references.refMicTo.name]);
  for (const item of session.items) {
    names.add(item.myMicOut);
    if (item.piece !== null) {
      names.add(item.piece.name);
    }
  }
  return names;
}

// Repairs a file of the session into a copy that takes its place; a repair
// that writes nothing (a line read two ways) leaves the file as it was.
async function RepairPiece(piece) {
  const from = piece.name;
  const name = Distinct(`${Stem(from)}-repaired.txt`, AllNames());
  const repair = await repairCalibration({ file: piece.bytes, name: from, repairedName: name });
  const made = repair.repaired !== null;
  const { heading, changes, notes, closing, remainingHeading, remaining, refusal } = repair;
  const repaired = { from, name, status: repair.status, bytes: made ? repair.repaired : null,
                     said: { heading, changes, notes, closing, remainingHeading, remaining,
                             refusal } };
  if (made) {
    piece.bytes = repair.repaired;
    piece.name = name;
    piece.repaired = repaired;
  }
  return repaired;
}

function Repairable(result, role) {
  return result !== null && result.check !== null &&
         result.check.findings.some((finding) => finding.repairable && finding.role === role);
}

// targets: the files to repair, as [{ key, index }]; or "all", each file
// whose check found something the repair mends.
async function Repair({ job, targets }) {
  const pieces = [];
  const results = session.items.map((item) => item.result);
  for (const key of ["refMicFrom", "refMicTo"]) {
    const role = key === "refMicFrom" ? "RefMicFrom" : "RefMicTo";
    if (targets === "all" ? results.some((result) => Repairable(result, role))
                          : targets.some((target) => target.key === key)) {
      pieces.push(session.references[key]);
    }
  }
  for (const [index, item] of session.items.entries()) {
    if (targets === "all" ? Repairable(item.result, "MyMicIn")
                          : targets.some((target) => target.key === "myMicIn" &&
                                                     target.index === index)) {
      pieces.push(item.piece);
    }
  }
  const failed = [];
  let made = 0;
  for (const [count, piece] of pieces.entries()) {
    // A copy repaired again would be the same; a file the repair wrote
    // nothing for, too.
    if (piece === null || piece.repaired !== null || piece.failedRepair !== null) {
      continue;
    }
    postMessage({ type: Answer.Progress, job, step: Step.Repair, name: piece.name,
                  index: count + 1, count: pieces.length, done: count, total: pieces.length });
    const repaired = await RepairPiece(piece);
    if (repaired.bytes === null) {
      piece.failedRepair = RepairShown(repaired);
      failed.push(piece.failedRepair);
    } else {
      ++made;
    }
  }
  if (made === 0) {
    return { type: Answer.Unrepaired, failed };
  }
  return { type: Answer.Done, ...(await ConvertAll(job)), failed };
}

// The picture of one MyMicIn's conversion, as wide as the page's frame.
async function Plot(index, width) {
  const item = session === null ? undefined : session.items[index];
  if (item === undefined || item.output === null) {
    return { svg: null, messages: "" };
  }
  session.shown = index;
  const picture = await plotCalibration({ ...Files(item), myMicOut: item.output, width });
  return { svg: picture.svg, messages: picture.messages };
}

// MyMicOut in another program's form, named after it with that form's
// extension; for a batch, the zip of them all.
async function Save({ profile }) {
  const extension = SavedExtensions[profile];
  if (extension === undefined || session === null) {
    throw new TypeError(`no such form: ${profile}`);
  }
  const exported = new Map();
  const notes = [];
  for (const item of session.items) {
    if (item.output === null) {
      continue;
    }
    const made = await exportCalibration({ file: item.output, name: item.myMicOut, to: profile });
    notes.push(...made.notes);
    if (made.refusal !== null) {
      notes.push(made.refusal);
    }
    if (made.exported !== null) {
      exported.set(item, made.exported);
    }
  }
  const messages = notes.join("\n");
  if (session.items.length === 1) {
    const item = session.items[0];
    const bytes = exported.get(item);
    return { name: Stem(item.myMicOut) + extension, messages,
             blob: bytes === undefined ? null : new Blob([bytes], { type: "text/plain" }) };
  }
  const zip = exported.size === 0 ? null : await BatchZip((item) => (exported.has(item)
      ? { name: Stem(item.myMicOut) + extension, bytes: exported.get(item) } : null));
  return { name: null, messages, blob: zip, left: session.items.filter(
      (item) => item.output !== null && !exported.has(item)).map((item) => item.myMicOut) };
}

// The derivation shown: its files' bytes and names, its options, and the
// calibration made (null where it was refused), for a plot at another width
// and for "Save as". null until the first.
let derivation = null;

// A calibration made by comparison: the three files read, the derivation
// run, and its picture as wide as the page's frame.
async function Derive({ refMicCal, refMicMeasured, myMicMeasured, names, options, width }) {
  derivation = null;
  const files = {};
  for (const [key, file] of [["refMicCal", refMicCal], ["refMicMeasured", refMicMeasured],
                             ["myMicMeasured", myMicMeasured]]) {
    const read = await Read(file);
    if (read.reason !== undefined) {
      return { unreadable: { key, name: names[key], reason: read.reason } };
    }
    files[key] = read.bytes;
  }
  const made = await deriveCalibration({ ...files, names, ...options, plotWidth: width });
  derivation = { files, names, options, made: made.myMicCal };
  return {
    unreadable: null, status: made.status, name: made.name, written: made.written,
    narrowed: made.narrowed, warnings: made.warnings, refusal: made.refusal,
    messages: made.messages, svg: made.svg, width,
    blob: made.myMicCal === null ? null : new Blob([made.myMicCal], { type: "text/plain" }),
  };
}

async function ReplotDerived(width) {
  if (derivation === null || derivation.made === null) {
    return { svg: null, width };
  }
  const made = await deriveCalibration({ ...derivation.files, names: derivation.names,
                                         ...derivation.options, plotWidth: width });
  return { svg: made.svg, width };
}

// The calibration made, in another program's form, named after it.
async function SaveDerived({ profile }) {
  const extension = SavedExtensions[profile];
  if (extension === undefined || derivation === null || derivation.made === null) {
    throw new TypeError(`no such form: ${profile}`);
  }
  const name = derivation.names.myMicCal;
  const made = await exportCalibration({ file: derivation.made, name, to: profile });
  const notes = made.refusal === null ? made.notes : [...made.notes, made.refusal];
  return { name: Stem(name) + extension, messages: notes.join("\n"),
           blob: made.exported === null ? null : new Blob([made.exported],
                                                          { type: "text/plain" }) };
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

async function Handle(data) {
  const job = data.job;
  setLanguage(data.language || "en");
  try {
    await warmedUp;
    if (data.type === Ask.Derive) {
      postMessage({ type: Answer.Derived, job, ...(await Derive(data)) });
    } else if (data.type === Ask.ReplotDerived) {
      // A picture that cannot be drawn again leaves the one shown.
      let picture = { svg: null, width: data.width };
      try {
        picture = await ReplotDerived(data.width);
      } catch (error) {
        // the one shown stays
      }
      postMessage({ type: Answer.DerivedReplotted, job, ...picture });
    } else if (data.type === Ask.SaveDerived) {
      postMessage({ type: Answer.DerivedSaved, job, profile: data.profile,
                    ...(await SaveDerived(data)) });
    } else if (data.type === Ask.Show || data.type === Ask.Replot) {
      // A picture that cannot be drawn again leaves the one shown.
      const index = data.type === Ask.Show ? data.index : session && session.shown;
      let picture = { svg: null, messages: "" };
      try {
        picture = index === null ? picture : await Plot(index, data.width);
      } catch (error) {
        picture.messages = data.type === Ask.Show ? String(error) : "";
      }
      postMessage({ type: data.type === Ask.Show ? Answer.Shown : Answer.Replotted, job, index,
                    width: data.width, ...picture });
    } else if (data.type === Ask.Save) {
      postMessage({ type: Answer.Saved, job, profile: data.profile, ...(await Save(data)) });
    } else if (data.type === Ask.Repair) {
      const outcome = await Repair(data);
      postMessage({ job, ...outcome });
    } else {
      postMessage({ type: Answer.Done, job, ...(await RunJob(data)) });
    }
  } catch (error) {
    postMessage({ type: Answer.Failed, job, request: data.type || Ask.Convert,
                  error: String(error) });
  }
}

// One request at a time, in the order they came: a picture asked for before
// a repair is drawn from the files it was asked for.
let queue = Promise.resolve();
self.onmessage = ({ data }) => {
  queue = queue.then(() => Handle(data));
};
warmedUp.then(() => postMessage({ type: Answer.Ready }),
              (error) => postMessage({ type: Answer.Failed, job: null, error: String(error) }));
