// The module as a page uses it: many calls in one process, each of which must
// give what a fresh run of the program gives. Conversion A has a reference
// whose frequencies go back and forth, so that its result depends on where
// the segment walk starts; B, in between, leaves the shared segment memory
// far along a long curve, and a failing call leaves one curve loaded. A must
// come out the same every time, and so must its plot. The derivation gives
// the native TarvelinDerive's bytes, when one is given, and the examples'.
//
//   node module_test.mjs build/web/tarvelin.mjs [build/ci/TarvelinDerive]

import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { fileURLToPath, pathToFileURL } from "node:url";
import { dirname, resolve } from "node:path";

const { checkCalibration, convertCalibration, deriveCalibration, exportCalibration,
        plotCalibration, repairCalibration } =
    await import(pathToFileURL(resolve(process.argv[2])));
const Bytes = (text) => new TextEncoder().encode(text);
const Text = (bytes) => (bytes === null ? "null" : new TextDecoder().decode(bytes));

const A = {
  refMicFrom: Bytes("100 0\n300 1\n200 5\n400 2\n"),
  refMicTo: Bytes("100 0\n400 0\n"),
  myMicIn: Bytes("250 1\n350 2\n"),
};
const B = {
  refMicFrom: Bytes("100 0\n200 0\n300 0\n400 0\n500 0\n"),
  refMicTo: Bytes("100 1\n200 1\n300 1\n400 1\n500 1\n"),
  myMicIn: Bytes("450 1\n"),
};
const Failing = { ...A, refMicTo: Bytes("1000 0.5\n") };

const failures = [];
function Expect(what, actual, expected) {
  if (actual !== expected) {
    const Show = (value) => JSON.stringify(value).slice(0, 300);
    failures.push(`${what}: expected ${Show(expected)}, got ${Show(actual)}`);
  }
}

async function Both(files) {
  const converted = await convertCalibration(files);
  const plotted = converted.myMicOut === null
      ? null
      : await plotCalibration({ ...files, myMicOut: converted.myMicOut });
  return { converted, plotted };
}

// An export on a grid evaluates the curve as the conversion does.
const Grid = { file: Bytes("100 1 10\n300 2\n1000 0 -5\n"), to: "tsv", pointsPerOctave: 2 };
const firstExport = await exportCalibration(Grid);
const first = await Both(A);
Expect("A's first status", first.converted.status, 0);
Expect("A's first plot status", first.plotted.status, 0);
// Walked from the first segment, 250 falls between 100 and 300.
Expect("A's first MyMicOut", Text(first.converted.myMicOut),
       "250.000000 0.250000\r\n350.000000 -0.750000\r\n");

for (const [name, files] of [["B", B], ["the failing call", Failing]]) {
  await Both(files);
  const again = await Both(A);
  Expect(`A's messages after ${name}`, again.converted.messages, first.converted.messages);
  Expect(`A's MyMicOut after ${name}`, Text(again.converted.myMicOut),
         Text(first.converted.myMicOut));
  Expect(`A's plot after ${name}`, again.plotted.svg, first.plotted.svg);
  Expect(`the export after ${name}`, Text((await exportCalibration(Grid)).exported),
         Text(firstExport.exported));
}

// The picture is as wide as asked, 960 when not; a file named like an
// option is a file all the same.
const Width = (svg) => (svg === null ? null : /<svg [^>]*width="([0-9.]+)"/.exec(svg)[1]);
Expect("A's plot's width", Width(first.plotted.svg), "960.00");
const narrow = await plotCalibration({ ...A, myMicOut: first.converted.myMicOut, width: 390,
                                       names: { myMicIn: "-in.txt" } });
Expect("a phone's plot's status", narrow.status, 0);
Expect("a phone's plot's width", Width(narrow.svg), "390.00");
Expect("a plot of -in.txt names it", narrow.svg !== null && narrow.svg.includes("-in.txt: 2 points"),
       true);

const failed = await convertCalibration({ ...Failing, names: { refMicTo: "Ω one point.txt" } });
Expect("the failing call's status", failed.status, -1);
Expect("the failing call's messages", failed.messages,
       "\nTarvelin\n\nError - invalid file Ω one point.txt\n");
Expect("the failing call's MyMicOut", failed.myMicOut, null);

Expect("the export's first lines", Text(firstExport.exported).split("\r\n", 3).join("|"),
       "100\t1\t10|141.42136\t1.2071068\t7.928932|200\t1.5\t5");
const refused = await exportCalibration({ ...Grid, file: Bytes("300 1\n100 2\n") });
Expect("the refused export's status", refused.status, 2);
Expect("the refused export's file", refused.exported, null);
Expect("the refused export's refusal", refused.messages.endsWith(refused.refusal + "\n"), true);
Expect("the export's notes", JSON.stringify(firstExport.notes), "[]");

// The check in the module: the same report as TarvelinCheck --json.
const checked = await checkCalibration(Failing);
Expect("the failing call's check status", checked.status, 2);
Expect("the failing call's first finding", checked.findings[0].code,
       "too-few-points");
const checkedA = await checkCalibration(A);
// RefMicFrom's frequencies fall at its third point.
Expect("A's check status", checkedA.status, 1);
Expect("A's first finding", checkedA.findings[0].code, "not-ascending");
Expect("A's data lines in the check", checkedA.files[2].dataLines, 2);

// The repair in the module: the golden case's report and copy, between the
// other calls.
const Golden = resolve(dirname(fileURLToPath(import.meta.url)), "../repair/golden");
const german = (name) => readFileSync(`${Golden}/semicolons-and-decimal-commas/${name}`);
const repaired = await repairCalibration({ file: new Uint8Array(german("in/MyMic.csv")),
                                           name: "MyMic.csv", repairedName: "MyMic.txt" });
Expect("the repair's status", repaired.status, Number(german("status").toString()));
Expect("the repair's messages", repaired.messages, german("stdout").toString());
Expect("the repaired copy", Text(repaired.repaired), german("expected").toString());
// What the report says, as data, is the same words as the console's.
Expect("the repair's parts", [repaired.heading, ...repaired.changes.map((change) => "  " + change),
                              ...repaired.notes.map((note) => "  " + note), repaired.closing,
                              ""].join("\n"),
       german("stdout").toString().replace(/^\nTarvelinRepair\n\n/, ""));
Expect("the repair's refusal", repaired.refusal, null);
const named = await repairCalibration({ file: Bytes("20,5,-0,85\n"), name: "Two ways.csv" });
Expect("a line with two readings", named.status, 2);
Expect("its copy", named.repaired, null);
Expect("its refusal", named.refusal !== null && named.messages.endsWith(named.refusal + "\n"),
       true);
Expect("its changes", JSON.stringify(named.changes), "[]");
Expect("the copy's name", named.messages.includes("Two ways.csv"), true);
const again = await Both(A);
Expect("A's MyMicOut after the repair", Text(again.converted.myMicOut),
       Text(first.converted.myMicOut));

// The derivation in the module: the examples' MyMicCal, which the native
// program made, byte for byte, between the other calls; its warnings and
// its refusal as data, in the words it prints.
const Examples = resolve(dirname(fileURLToPath(import.meta.url)), "../../examples/derive");
const example = (name) => new Uint8Array(readFileSync(`${Examples}/${name}`));
const Measured = { refMicCal: example("RefMicCal.txt"),
                   refMicMeasured: example("RefMicMeasured.txt"),
                   myMicMeasured: example("MyMicMeasured.txt"),
                   names: { refMicCal: "RefMicCal.txt", refMicMeasured: "RefMicMeasured.txt",
                            myMicMeasured: "MyMicMeasured.txt" } };
const derived = await deriveCalibration({ ...Measured, plotWidth: 390 });
Expect("the derivation's status", derived.status, 0);
Expect("the derivation's MyMicCal", Text(derived.myMicCal),
       Text(example("expected/MyMicCal.txt")));
if (process.argv[3]) {
  const folder = mkdtempSync(`${tmpdir()}/derive-`);
  try {
    execFileSync(resolve(process.argv[3]), ["RefMicCal.txt", "RefMicMeasured.txt",
                                            "MyMicMeasured.txt", `${folder}/MyMicCal.txt`],
                 { cwd: Examples, stdio: "ignore" });
    Expect("the native MyMicCal", Text(derived.myMicCal),
           Text(readFileSync(`${folder}/MyMicCal.txt`)));
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}
Expect("its name", derived.name, "MyMicMeasured-calibration.txt");
Expect("its sentence", derived.messages.endsWith(derived.written + "\n"), true);
Expect("its curves, one value per point",
       ["frequencies", "rawDifference", "smoothedDifference", "reference", "result"]
           .map((curve) => derived.curves[curve].length).join(), "522,522,522,522,522");
Expect("its plot's width", Width(derived.svg), "390.00");
// 30 dB more, on the whole decibels before the decimal comma.
const Louder = Bytes(Text(Measured.myMicMeasured).replace(/^(\d+,\d+);(\d+)/gm,
                                                         (all, f, level) => `${f};${+level + 30}`));
const warned = await deriveCalibration({ ...Measured, myMicMeasured: Louder, smoothing: "1/6",
                                         levelAt: "none", plotWidth: null });
Expect("a louder MyMicMeasured's status", warned.status, 1);
Expect("its warnings", warned.warnings.map(({ code, role }) => `${code} ${role}`).join(),
       "levels-differ MyMicMeasured");
Expect("their sentences", warned.warnings.every(
    (warning) => warning.line > 0 && warned.messages.includes(warning.sentence + "\n")), true);
Expect("no plot asked for", warned.svg, null);
const refusedDerivation = await deriveCalibration({ ...Measured, refMicCal: Bytes("1000 0\n") });
Expect("a one-point RefMicCal's status", refusedDerivation.status, 2);
Expect("its MyMicCal", refusedDerivation.myMicCal, null);
Expect("its refusal", refusedDerivation.refusal !== null &&
       refusedDerivation.messages.endsWith(refusedDerivation.refusal + "\n"), true);
Expect("A's MyMicOut after the derivation", Text((await Both(A)).converted.myMicOut),
       Text(first.converted.myMicOut));

for (const failure of failures) {
  console.log("FAIL " + failure);
}
process.exitCode = failures.length === 0 ? 0 : 1;
