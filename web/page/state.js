// The page's state and wiring: gathers the files chosen (choosing.js), hands
// them to the worker that runs the converter (worker.js, made from the text
// of #worker-source), and shows what comes back: the outcome, led by its
// cause, the findings (findings.js), the downloads (downloads.js) and the
// plot (plot.js). A repair asked for goes to the worker too. This thread
// never runs the converter, so that the page answers while it works. Every
// sentence is said through words.js, and said again when the language
// changes. The mode that makes a calibration by comparison has its own view
// (deriving.js) and shares the worker.

const chosen = { refMicFrom: [], refMicTo: [], myMicIn: [] };
let worker = null;
let busy = false;
let currentJob = 0;
let urls = [];
// The result shown: what the worker sent, whether it is a batch, the index
// of the MyMicIn whose plot, summary and messages are shown, and what the
// plot program printed for it.
let current = null;
// The picture shown, the file and the width it was drawn for; a replot under
// way.
let shownPlot = null;
let replotting = false;
// What the worker is doing, for the outcome line: Ask.Convert or Ask.Repair.
let working = Ask.Convert;
// What the outcome line, the drop message, the download control and the
// save message say, each as a function that says it in the language chosen.
let outcomeWords = () => Plain(Say("Waiting for three files."), "");
let dropWords = null;
let offerWords = null;
let saveWords = null;

const $ = (id) => document.getElementById(id);

function Make(tag, className, ...children) {
  const element = document.createElement(tag);
  if (className) {
    element.className = className;
  }
  element.append(...children);
  return element;
}

// An icon beside a word that says the same, so that colour is never the only
// sign: hidden from screen readers, which read the word.
function Icon(symbol) {
  const icon = Make("span", "icon", symbol);
  icon.setAttribute("aria-hidden", "true");
  return icon;
}

function Plain(text, kind) {
  return { strong: null, sentences: [text], kind };
}

// ---- The words of the page itself -------------------------------------------

function ShowPageWords() {
  const Text = (id, text) => {
    $(id).textContent = text;
  };
  const Program = (name) => Make("code", "", name);
  document.title = Say("Tarvelin: convert a microphone calibration");
  Text("language-label", Say("Language"));
  Text("about", Say("Converts your measurement microphone's calibration from one reference to another: at each frequency of your file it adds the change from the old reference calibration to the new one."));
  Text("privacy", Say("Your files never leave your computer. This page runs the converter itself, in your browser, and is not allowed to make any network connection."));
  Text("files-help", Say("Choose or drop the three calibration files; the conversion runs as soon as all three are there. Give MyMicIn several files to convert every microphone calibrated against the same reference at once."));
  Text("refMicFrom-what", Say("old reference calibration"));
  Text("refMicTo-what", Say("new reference calibration"));
  Text("myMicIn-what", Say("your microphone's calibration, or several"));
  Text("refMicFrom-choose", Say("Choose file"));
  Text("refMicTo-choose", Say("Choose file"));
  Text("myMicIn-choose", Say("Choose files"));
  Text("myMicIn-names-summary", Say("Their names"));
  Text("result-heading", Say("Result"));
  $("progress").setAttribute("aria-label", Say("Progress of the conversion"));
  Text("save-as-label", Say("Save as"));
  const forms = {
    "": Say("Tarvelin's own form, as converted"),
    tsv: Say("Tab-separated text, tsv (.txt)"),
    frd: Say("FRD: frequency, level, phase (.frd)"),
    csv: Say("CSV with full stops (.csv)"),
    "csv-decimal-comma": Say("CSV, semicolons, decimal commas (.csv)"),
  };
  for (const option of $("save-as").options) {
    option.textContent = forms[option.value];
  }
  $("repair-printed").replaceChildren(...[Say("What {program} printed.",
                                              { program: Program("TarvelinRepair") })].flat());
  $("messages-help").replaceChildren(...[Say("The same as {program} prints in a terminal for the command shown: its name, then a line for each error. On success it prints nothing more.", { program: Program("Tarvelin") })].flat());
  Text("summary-points-label", Say("Points read"));
  Text("summary-range-label", Say("Frequency range of MyMicIn"));
  Text("summary-correction-label", Say("Correction (new minus old reference)"));
  Text("plot-scrolls", Say("Scroll the plot sideways to see all of it."));
  // Before a result these say what they will hold.
  if (current === null) {
    Text("repair-heading", Say("What the repair changed"));
    Text("repair-help", Say("Your own file is as it was; the conversion used the copy."));
    Text("findings-heading", Say("Findings"));
    Text("messages-heading", Say("What the converter printed"));
    Text("summary-heading", Say("Summary"));
    Text("plot-caption", Say("The curves of the four files and the correction, as TarvelinPlot draws them."));
  }
  // The outcome's box says warning or failure to a screen reader in words.
  document.documentElement.style.setProperty("--warning-word", JSON.stringify(Say("Warning: ")));
  document.documentElement.style.setProperty("--failure-word", JSON.stringify(Say("Failed: ")));
}

// ---- The language -----------------------------------------------------------

function StoredLanguage() {
  try {
    return localStorage.getItem(LanguageKey);
  } catch (error) {
    return null; // storage refused: the browser's languages decide
  }
}

function ChooseLanguage(code) {
  SetLanguage(code);
  try {
    localStorage.setItem(LanguageKey, Language());
  } catch (error) {
    // Not remembered, but used all the same.
  }
  Rewrite();
}

// Everything shown, said again in the language chosen; the converted files
// and the picture stay as they are.
function Rewrite() {
  document.documentElement.lang = Language();
  $("language").value = Language();
  ShowPageWords();
  ShowDeriveWords();
  ShowChosen();
  ShowDropMessage();
  RenderOutcome();
  if (current !== null) {
    ShowFindings();
    ShowSelectedWords();
    ShowOfferWords();
  }
}

function WireLanguage() {
  const menu = $("language");
  menu.replaceChildren(...Languages.map(({ code, name }) => {
    const option = Make("option", "", name);
    option.value = code;
    option.lang = code;
    return option;
  }));
  menu.addEventListener("change", () => ChooseLanguage(menu.value));
  SetLanguage(PreferredLanguage(StoredLanguage(), navigator.languages || [navigator.language]));
}

// ---- The worker -------------------------------------------------------------

const workerUrl = URL.createObjectURL(
    new Blob([$("worker-source").textContent], { type: "text/javascript" }));

function StartWorker() {
  replotting = false;
  try {
    worker = new Worker(workerUrl);
  } catch (error) {
    worker = null;
    ShowOutcome(() => Plain(Say("The converter cannot start in this browser ({error}).",
                                { error: String(error) }), "failed"));
    return;
  }
  worker.onmessage = ({ data }) => Receive(data);
  worker.onerror = (event) => {
    event.preventDefault();
    // A worker that failed so takes no more requests: the next choice
    // starts another, instead of waiting on this one for ever.
    worker.terminate();
    worker = null;
    busy = false;
    HideProgress();
    const error = event.message;
    ShowOutcome(() => Plain(error
        ? Say("Not converted: the converter stopped ({error}).", { error })
        : Say("Not converted: the converter stopped (it could not start)."), "failed"));
  };
}

// Sends a request to the worker; false where there is none to send it to.
function Post(message) {
  if (worker === null) {
    return false;
  }
  worker.postMessage(message);
  return true;
}

// A new choice while a conversion runs ends it: the result shown is always
// the one for the files shown.
function Run() {
  if (!Keys.every((key) => chosen[key].length > 0)) {
    return;
  }
  if (busy || worker === null) {
    if (worker !== null) {
      worker.terminate();
    }
    StartWorker();
    if (worker === null) {
      return;
    }
  }
  busy = true;
  const job = ++currentJob;
  ClearResult();
  working = Ask.Convert;
  ShowOutcome(() => Plain(Say("Converting…"), ""));
  ShowProgress({ done: 0, total: 1 });
  Post(Request(Ask.Convert, job, Language(), {
    refMicFrom: chosen.refMicFrom[0], refMicTo: chosen.refMicTo[0], myMicIn: chosen.myMicIn,
    names: NamesOf() }));
}

function Receive(data) {
  const derivation = DeriveRoute(data, deriveJob);
  if (derivation !== null) {
    ReceiveDerived(data, derivation);
    return;
  }
  switch (Route(data, currentJob)) {
    case Answer.Ready:
      document.body.dataset.converterReady = "yes";
      break;
    case Answer.Replotted:
      Replotted(data);
      break;
    case Answer.Progress:
      ShowProgress(data);
      break;
    case Answer.Shown:
      Shown(data);
      break;
    case Answer.Saved:
      Saved(data);
      break;
    case Answer.Unrepaired:
      Unrepaired(data);
      break;
    case "save-failed":
      SaveFailed(data.error);
      break;
    case "failed":
      busy = false;
      HideProgress();
      ShowOutcome(() => Plain(Say("Not converted: the converter stopped ({error}).",
                                  { error: data.error }), "failed"));
      break;
    case Answer.Done:
      busy = false;
      HideProgress();
      ShowResult(data);
      break;
    default:
      break; // an answer for a job superseded
  }
}

// ---- Showing the result -----------------------------------------------------

// words: a function that gives the outcome as { strong, sentences, kind }.
function ShowOutcome(words) {
  outcomeWords = words;
  RenderOutcome();
}

function RenderOutcome() {
  const { strong, sentences, kind } = outcomeWords();
  const nodes = strong === null ? [] : [Make("strong", "", strong)];
  for (const sentence of sentences) {
    nodes.push(nodes.length > 0 ? ` ${sentence}` : sentence);
  }
  const outcome = $("outcome");
  outcome.replaceChildren(...nodes);
  outcome.className = kind;
}

function ShowResultOutcome() {
  const shown = current;
  ShowOutcome(() => shown.batch ? BatchOutcome(shown.data)
                                : OneOutcome(shown.data.results[0], shown.data));
}

function ShowProgress(data) {
  const progress = $("progress");
  progress.max = data.total;
  progress.value = Math.min(data.done, data.total);
  progress.hidden = false;
  if (data.step) {
    const doing = working;
    ShowOutcome(() => Plain(ProgressText(doing, data), ""));
  }
}

function HideProgress() {
  $("progress").hidden = true;
}

function ClearResult() {
  for (const url of urls) {
    URL.revokeObjectURL(url);
  }
  urls = [];
  for (const id of ["offer", "repair-part", "findings-part", "messages-part", "summary",
                    "plot"]) {
    $(id).hidden = true;
  }
  current = null;
  shownPlot = null;
  offerWords = null;
  $("findings").replaceChildren();
  $("repaired-downloads").replaceChildren();
  SayOfSaving(null);
  $("messages").textContent = "";
  $("messages").classList.remove("failed");
  delete document.body.dataset.conversionMilliseconds;
}

function Url(blob) {
  const url = URL.createObjectURL(blob);
  urls.push(url);
  return url;
}

function ShowResult(data) {
  if (data.unreadable) {
    Forget(data.unreadable.key);
    ShowOutcome(() => UnreadableOutcome(data.unreadable));
    return;
  }
  const repeated = current !== null;
  const results = data.results;
  ClearResult();
  current = { data, batch: results.length > 1, selected: null, plotMessages: "" };
  if (!current.batch && results[0].unreadable) {
    Forget("myMicIn");
  }
  ShowResultOutcome();
  ShowOffer(data);
  ShowFindings();
  const timed = results.find((result) => result.milliseconds !== null);
  if (timed) {
    document.body.dataset.conversionMilliseconds = timed.milliseconds.toFixed(1);
  }
  Select(FirstShown(results));
  if (repeated) {
    // After a repair the button pressed is gone: the outcome says what
    // became of it.
    $("outcome").focus();
  }
}

// One MyMicIn of the result: its row marked, what the converter printed for
// it, its summary and its plot, which the worker draws.
function Select(index) {
  current.selected = index;
  current.plotMessages = "";
  shownPlot = null;
  MarkSelected();
  ShowSelectedWords();
  $("plot").hidden = true;
  if (current.data.results[index].output) {
    AskPlot(index);
  }
}

// ---- Start --------------------------------------------------------------------

function Start() {
  WireLanguage();
  WireChoosing();
  WireDownloads();
  WirePlot();
  WireDeriving();
  ShowMode("convert");
  $("outcome").tabIndex = -1;
  $("repair-heading").tabIndex = -1;
  Rewrite();
  // The browser sets up its drawing of SVG pictures, text and all, on the
  // first one, which costs this thread some tens of milliseconds: better now
  // than while a result is shown.
  new Image().src = "data:image/svg+xml," + encodeURIComponent(
      '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8" font-family="sans-serif">' +
      '<path d="M0,0L8,8" stroke="#000"/><text y="8" font-size="8">0</text></svg>');
  StartWorker();
}

Start();
