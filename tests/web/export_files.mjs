// The module in the place of TarvelinExport, for the comparison with the
// native program: takes the program's arguments, hands the file's bytes to
// exportCalibration under the same name, prints its messages, writes the
// exported file as the program would, and exits with its status.
//
//   TARVELIN_MODULE=build/web/tarvelin.mjs node export_files.mjs --to tsv IN OUT
//
// A run that the module cannot stand for (--help, a file that is missing or
// goes through a folder, two names for one file) exits 77 and says why.

import { existsSync, readFileSync, realpathSync, statSync, writeFileSync } from "node:fs";
import { basename, resolve } from "node:path";
import { pathToFileURL } from "node:url";

function Excluded(reason) {
  process.stdout.write(`not in memory: ${reason}\n`);
  process.exit(77);
}

const options = {};
const files = [];
const given = process.argv.slice(2);
const Values = { "--to": 1, "--points-per-octave": 1, "--range": 2, "--max-points": 1 };
for (let i = 0; i < given.length; ++i) {
  const argument = given[i];
  if (argument === "--") {
    files.push(...given.slice(i + 1));
    break;
  }
  if (argument.startsWith("-") && argument.length > 1) {
    if (!(argument in Values) || argument in options || i + Values[argument] >= given.length) {
      Excluded(`the module takes no ${argument} here`);
    }
    options[argument] = given.slice(i + 1, i + 1 + Values[argument]);
    i += Values[argument];
  } else {
    files.push(argument);
  }
}
if (files.length !== 2) {
  Excluded("the module always has one file and the exported one");
}
const [input, output] = files;
for (const path of files) {
  if (basename(path) !== path) {
    Excluded(`${path} goes through a folder`);
  }
}
if (!existsSync(input) || !statSync(input).isFile() || input === output ||
    (existsSync(output) && (!statSync(output).isFile() ||
                            realpathSync(output) === realpathSync(input)))) {
  Excluded("the file is missing, or the exported file is no file or the file itself");
}

const { exportCalibration } = await import(pathToFileURL(resolve(process.env.TARVELIN_MODULE)));
const One = (name) => (options[name] ? options[name][0] : undefined);
const result = await exportCalibration({
  file: new Uint8Array(readFileSync(input)),
  name: input,
  to: One("--to"),
  pointsPerOctave: One("--points-per-octave"),
  range: options["--range"],
  maxPoints: One("--max-points"),
});
if (result.exported !== null) {
  writeFileSync(output, result.exported);
}
process.stdout.write(result.messages);
process.exitCode = result.status & 0xff;
