// The mode that makes a calibration by comparison: the calibrated
// microphone's file and two measurements of one loudspeaker, the smoothing
// and the level, and what comes back from the worker that runs the
// derivation: the outcome in the program's words, its warnings, the
// calibration made to download or save in another form, and its plot, drawn
// again when its frame changes width. The conversion's mode stays as it is;
// only one of the two is shown.

let mode = "convert";
const deriveChosen = { refMicCal: null, refMicMeasured: null, myMicMeasured: null };
let deriveJob = 0;
// The answer shown, and the picture shown with the width it was drawn for.
let derived = null;
let derivedPlot = null;
let deriveReplotting = false;
let deriveUrls = [];
let deriveOutcomeWords = () => Plain(Say("Waiting for three files."), "");
let deriveOfferWords = null;
let deriveSaveWords = null;

function ShowMode(chosenMode) {
  mode = chosenMode === "derive" ? "derive" : "convert";
  $("convert-mode").hidden = mode !== "convert";
  $("derive-mode").hidden = mode !== "derive";
  $(`mode-${mode}`).checked = true;
  document.body.dataset.mode = mode;
  if (mode === "derive") {
    ReplotDerived();
  } else {
    Replot();
  }
}

function DeriveFileNames() {
  return Object.fromEntries(DeriveKeys.map((key) => [key, deriveChosen[key] === null
                                                               ? null : deriveChosen[key].name]));
}

function ShowDeriveChosen() {
  const names = DeriveNames(DeriveFileNames());
  for (const key of DeriveKeys) {
    $(`${key}-chosen`).textContent = DeriveChosenText(names[key]);
    document.querySelector(`.drop[data-derive-key="${key}"]`).classList
        .toggle("ready", names[key] !== null);
  }
}

function ShowDeriveWords() {
  const Text = (id, text) => {
    $(id).textContent = text;
  };
  Text("mode-label", Say("What to do"));
  Text("mode-convert-label", Say("Convert a calibration"));
  Text("mode-derive-label", Say("Make a calibration"));
  Text("derive-help", Say("Measure the same loudspeaker at the same place and level with both microphones, export both measurements as text, and choose the three files: the calibration is made as soon as all three are there."));
  Text("refMicCal-what", Say("the calibrated microphone's calibration file"));
  Text("refMicMeasured-what", Say("its measurement of the loudspeaker"));
  Text("myMicMeasured-what", Say("the other microphone's measurement"));
  for (const key of DeriveKeys) {
    Text(`${key}-choose`, Say("Choose file"));
  }
  Text("smoothing-label", Say("Smoothing"));
  for (const option of $("smoothing").options) {
    option.textContent = SmoothingText(Number(option.value));
  }
  Text("levelled-label", Say("0 dB at 1 kHz"));
  Text("derive-result-heading", Say("Result"));
  $("derive-progress").setAttribute("aria-label", Say("Making the calibration…"));
  Text("derive-save-as-label", Say("Save as"));
  const forms = {
    "": Say("Tarvelin's own form, as made"),
    tsv: Say("Tab-separated text, tsv (.txt)"),
    frd: Say("FRD: frequency, level, phase (.frd)"),
    csv: Say("CSV with full stops (.csv)"),
    "csv-decimal-comma": Say("CSV, semicolons, decimal commas (.csv)"),
  };
  for (const option of $("derive-save-as").options) {
    option.textContent = forms[option.value];
  }
  const caption = Say("The calibration made beside RefMicCal above, and the difference of the two measurements, raw and smoothed, below.");
  Text("derive-plot-caption", caption);
  $("derive-plot-image").alt = caption;
  ShowDeriveChosen();
  RenderDeriveOutcome();
  ShowDeriveWarnings();
  if (deriveOfferWords !== null) {
    deriveOfferWords();
  }
  ShowDeriveSaveMessage();
}

// ---- Running it ---------------------------------------------------------------

function DerivePlotWidth() {
  const frame = getComputedStyle($("derive-plot-frame"));
  const room = $("derive-plot").parentElement.clientWidth - parseFloat(frame.borderLeftWidth) -
      parseFloat(frame.borderRightWidth);
  return Math.min(MostPlotWidth, Math.max(LeastPlotWidth, Math.floor(room)));
}

function DeriveUrl(blob) {
  const url = URL.createObjectURL(blob);
  deriveUrls.push(url);
  return url;
}

function ClearDerived() {
  for (const url of deriveUrls) {
    URL.revokeObjectURL(url);
  }
  deriveUrls = [];
  derived = null;
  derivedPlot = null;
  deriveOfferWords = null;
  deriveSaveWords = null;
  $("derive-offer").hidden = true;
  $("derive-plot").hidden = true;
  $("derive-warnings").hidden = true;
  $("derive-warnings").replaceChildren();
  $("derive-save-as").value = "";
  ShowDeriveSaveMessage();
}

// Each change of a file or an option makes the calibration again, once all
// three files are there; an answer for an earlier one is dropped.
function Derive() {
  if (!DeriveKeys.every((key) => deriveChosen[key] !== null)) {
    return;
  }
  if (worker === null) {
    StartWorker();
    if (worker === null) {
      return;
    }
  }
  const job = ++deriveJob;
  ClearDerived();
  ShowDeriveOutcome(() => Plain(Say("Making the calibration…"), ""));
  $("derive-progress").hidden = false;
  $("derive-progress").removeAttribute("value");
  Post(Request(Ask.Derive, job, Language(), {
    refMicCal: deriveChosen.refMicCal, refMicMeasured: deriveChosen.refMicMeasured,
    myMicMeasured: deriveChosen.myMicMeasured, names: DeriveNames(DeriveFileNames()),
    options: DeriveOptions(Number($("smoothing").value), $("levelled").checked),
    width: DerivePlotWidth() }));
}

function ReceiveDerived(data, route) {
  switch (route) {
    case Answer.Derived:
      $("derive-progress").hidden = true;
      ShowDerived(data);
      break;
    case Answer.DerivedReplotted:
      DerivedReplotted(data);
      break;
    case Answer.DerivedSaved:
      DerivedSaved(data);
      break;
    case "save-failed":
      $("derive-download").hidden = true;
      deriveOfferWords = null;
      SayOfDeriveSaving(() => Say("Not saved: the export stopped ({error}).",
                                  { error: data.error }));
      break;
    case "failed":
      $("derive-progress").hidden = true;
      deriveReplotting = false;
      ShowDeriveOutcome(() => Plain(Say("Not made: the program stopped ({error}).",
                                        { error: data.error }), "failed"));
      break;
    default:
      break; // an answer for a derivation superseded
  }
}

// ---- Showing it ---------------------------------------------------------------

function ShowDeriveOutcome(words) {
  deriveOutcomeWords = words;
  RenderDeriveOutcome();
}

function RenderDeriveOutcome() {
  const { strong, sentences, kind } = deriveOutcomeWords();
  const nodes = strong === null ? [] : [Make("strong", "", strong)];
  for (const sentence of sentences) {
    nodes.push(nodes.length > 0 ? ` ${sentence}` : sentence);
  }
  const outcome = $("derive-outcome");
  outcome.replaceChildren(...nodes);
  outcome.className = kind;
}

// The warnings are the program's sentences, in the language it spoke when
// it made the file; each names its file and line.
function ShowDeriveWarnings() {
  const list = $("derive-warnings");
  const warnings = derived === null || derived.unreadable ? [] : derived.warnings;
  list.replaceChildren(...warnings.map((warning) => {
    const item = Make("li", "finding warning", warning.sentence);
    item.dataset.code = warning.code;
    item.dataset.role = warning.role;
    item.dataset.line = String(warning.line);
    return item;
  }));
  list.hidden = warnings.length === 0;
}

function ShowDerived(data) {
  derived = data;
  if (data.unreadable) {
    deriveChosen[data.unreadable.key] = null;
    ShowDeriveChosen();
  }
  ShowDeriveOutcome(() => DerivedOutcome(data));
  ShowDeriveWarnings();
  if (!data.unreadable && data.blob !== null) {
    OfferDerived(data.blob, data.name, data.warnings.length > 0);
    $("derive-offer").hidden = false;
    if (data.svg !== null) {
      ShowDerivedPicture(data.svg, data.width);
      $("derive-plot").hidden = false;
    }
  }
}

function OfferDerived(blob, name, warned) {
  const download = $("derive-download");
  download.href = DeriveUrl(blob);
  download.download = name;
  download.removeAttribute("aria-disabled");
  download.classList.toggle("anyway", warned);
  download.hidden = false;
  deriveOfferWords = () => download.replaceChildren(
      ...(warned ? [Icon("⚠"), " ", OfferText(name, true)] : [OfferText(name, false)]));
  deriveOfferWords();
}

function ShowDerivedPicture(svg, width) {
  const url = DeriveUrl(new Blob([svg], { type: "image/svg+xml" }));
  const previous = derivedPlot;
  derivedPlot = { job: deriveJob, width, url };
  $("derive-plot-image").src = url;
  if (previous !== null && previous.url !== url) {
    URL.revokeObjectURL(previous.url);
    deriveUrls = deriveUrls.filter((each) => each !== previous.url);
  }
}

// A frame that changed its width gets the picture drawn again for it, one
// drawing at a time; a picture that cannot be drawn leaves the one shown.
function ReplotDerived() {
  if (mode !== "derive" || derivedPlot === null || deriveReplotting || worker === null ||
      derivedPlot.job !== deriveJob || DerivePlotWidth() === derivedPlot.width) {
    return;
  }
  deriveReplotting = Post(Request(Ask.ReplotDerived, deriveJob, Language(),
                                  { width: DerivePlotWidth() }));
}

function DerivedReplotted(data) {
  deriveReplotting = false;
  if (derivedPlot === null) {
    return;
  }
  if (data.svg === null) {
    derivedPlot.width = data.width;
  } else {
    ShowDerivedPicture(data.svg, data.width);
  }
  ReplotDerived();
}

// ---- Saving it in another form --------------------------------------------------

function SayOfDeriveSaving(words) {
  deriveSaveWords = words;
  ShowDeriveSaveMessage();
}

function ShowDeriveSaveMessage() {
  $("derive-save-message").textContent = deriveSaveWords === null ? "" : deriveSaveWords();
}

function SaveDerivedAs() {
  const profile = $("derive-save-as").value;
  SayOfDeriveSaving(null);
  if (derived === null || derived.unreadable || derived.blob === null) {
    return;
  }
  if (profile === "") {
    OfferDerived(derived.blob, derived.name, derived.warnings.length > 0);
    return;
  }
  if (!Post(Request(Ask.SaveDerived, deriveJob, Language(), { profile }))) {
    return;
  }
  const download = $("derive-download");
  download.removeAttribute("href");
  download.setAttribute("aria-disabled", "true");
  deriveOfferWords = () => download.replaceChildren(Say("Preparing the file…"));
  deriveOfferWords();
}

function DerivedSaved(data) {
  if ($("derive-save-as").value !== data.profile || derived === null) {
    return;
  }
  const saved = SavedOffer(data);
  if (saved.name === null) {
    $("derive-download").hidden = true;
    deriveOfferWords = null;
  } else {
    OfferDerived(data.blob, saved.name, derived.warnings.length > 0);
  }
  SayOfDeriveSaving(() => SavedOffer(data).message);
}

// ---- Choosing -----------------------------------------------------------------

function ChooseForDerivation(key, file) {
  deriveChosen[key] = file;
  ShowDeriveChosen();
  Derive();
}

// A drop on a box is that box's file; a drop beside the boxes fills the
// empty ones in their order.
function DeriveDrop(event) {
  event.preventDefault();
  ShowOver(null);
  const files = Array.from(event.dataTransfer ? event.dataTransfer.files : []);
  const zone = event.target instanceof Element ? event.target.closest(".drop") : null;
  if (files.length === 0) {
    return;
  }
  if (zone !== null && zone.dataset.deriveKey) {
    ChooseForDerivation(zone.dataset.deriveKey, files[0]);
    return;
  }
  const empty = DeriveKeys.filter((key) => deriveChosen[key] === null);
  empty.slice(0, files.length).forEach((key, index) => {
    deriveChosen[key] = files[index];
  });
  ShowDeriveChosen();
  Derive();
}

function WireDeriving() {
  for (const input of document.querySelectorAll('input[name="mode"]')) {
    input.addEventListener("change", () => ShowMode(input.value));
  }
  $("smoothing").replaceChildren(...Smoothings.map((smoothing) => {
    const option = Make("option", "", "");
    option.value = String(smoothing);
    option.selected = smoothing === DefaultSmoothingChoice;
    return option;
  }));
  for (const key of DeriveKeys) {
    const input = $(key);
    input.addEventListener("change", () => {
      const file = input.files.length > 0 ? input.files[0] : null;
      input.value = "";
      if (file !== null) {
        ChooseForDerivation(key, file);
      }
    });
  }
  $("smoothing").addEventListener("change", Derive);
  $("levelled").addEventListener("change", Derive);
  $("derive-download").addEventListener("keydown", PressWithSpace);
  $("derive-save-as").addEventListener("change", SaveDerivedAs);
  $("derive-outcome").tabIndex = -1;
  let replotTimer = 0;
  new ResizeObserver(() => {
    clearTimeout(replotTimer);
    replotTimer = setTimeout(ReplotDerived, 150);
  }).observe($("derive-plot").parentElement);
}
