// The module in the place of the command-line program, for the comparison
// with the native one: takes the program's four paths, hands the files'
// bytes to convertCalibration under the same names, prints its messages and
// writes MyMicOut as the program would, and exits with its status.
//
//   TARVELIN_MODULE=build/web/tarvelin.mjs node convert_files.mjs FROM TO IN OUT
//
// A run that files in memory cannot stand for (a missing file, a folder, a
// path through folders, two paths to one file) exits 77 and says why.

import { existsSync, readFileSync, realpathSync, statSync, writeFileSync } from "node:fs";
import { basename, resolve } from "node:path";
import { pathToFileURL } from "node:url";

const NotInMemory = 77;

function Excluded(reason) {
  process.stdout.write(`not in memory: ${reason}\n`);
  process.exit(NotInMemory);
}

const paths = process.argv.slice(2);
if (paths.length !== 4) {
  Excluded("the module always has four files");
}
for (const path of paths) {
  if (basename(path) !== path) {
    Excluded(`${path} goes through a folder`);
  }
}
const inputs = paths.slice(0, 3);
for (const path of inputs) {
  if (!existsSync(path) || !statSync(path).isFile()) {
    Excluded(`${path} is no file`);
  }
}
const real = inputs.map((path) => realpathSync(path));
if (new Set(real).size !== real.length || new Set(paths).size !== paths.length ||
    (existsSync(paths[3]) && (!statSync(paths[3]).isFile() ||
                              real.includes(realpathSync(paths[3]))))) {
  Excluded("two paths name one file, or MyMicOut is no file");
}

const { convertCalibration } = await import(pathToFileURL(resolve(process.env.TARVELIN_MODULE)));
const [refMicFrom, refMicTo, myMicIn] = inputs.map((path) => new Uint8Array(readFileSync(path)));
const result = await convertCalibration({
  refMicFrom, refMicTo, myMicIn,
  names: { refMicFrom: paths[0], refMicTo: paths[1], myMicIn: paths[2], myMicOut: paths[3] },
});
if (result.myMicOut !== null) {
  writeFileSync(paths[3], result.myMicOut);
}
process.stdout.write(result.messages);
process.exitCode = result.status & 0xff;
