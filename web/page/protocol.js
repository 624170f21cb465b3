// What the page and its worker say to each other, written once for both:
// each side is built with this before its own part.

// The page asks...
const Ask = Object.freeze({
  Convert: "convert", // the files chosen: convert and check each MyMicIn
  Repair: "repair", // the files targets names, or "all" that can be
  Show: "show", // the plot of one MyMicIn, for a width
  Replot: "replot", // the plot shown, again for another width
  Save: "save", // each MyMicOut in another program's form
  Derive: "derive", // a calibration made by comparison, and its plot, for a width
  ReplotDerived: "replot-derived", // the derivation's plot, again for another width
  SaveDerived: "save-derived", // the calibration made, in another program's form
});

// ...and the worker answers.
const Answer = Object.freeze({
  Ready: "ready", // the module is compiled and warm
  Progress: "progress", // a step of a job, as { step, name, index, count, done, total }
  Done: "done", // a conversion, or a repair that made a copy, and its results
  Unrepaired: "unrepaired", // a repair that wrote nothing
  Shown: "shown",
  Replotted: "replotted",
  Saved: "saved",
  Derived: "derived", // a derivation, written or refused, with its words and plot
  DerivedReplotted: "derived-replotted",
  DerivedSaved: "derived-saved",
  Failed: "failed", // a request that threw, with request and error
});

// The steps a progress answer names, which the page puts in words.
const Step = Object.freeze({
  Convert: "convert",
  Check: "check",
  Zip: "zip",
  Repair: "repair",
});

// Every request carries the language the page speaks, so that what the
// worker puts in words can be in it too.
function Request(type, job, language, fields) {
  return { type, job, language, ...fields };
}
