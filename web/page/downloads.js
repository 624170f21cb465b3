// Downloads: MyMicOut or the zip, in the form chosen in "Save as", and the
// repaired copies. The converted file's bytes are offered as the worker made
// them; only the words around them follow the language.

// The download control offers blob as name; offerWords says so.
function Offer(blob, name, warned) {
  const download = $("download");
  download.href = Url(blob);
  download.download = name;
  download.removeAttribute("aria-disabled");
  download.classList.toggle("anyway", warned);
  download.hidden = false;
  offerWords = () => download.replaceChildren(
      ...(warned ? [Icon("⚠"), " ", OfferText(name, true)] : [OfferText(name, false)]));
  offerWords();
}

function ShowOffer(data) {
  $("save-as").value = "";
  const offered = Offered(data);
  if (offered === null) {
    return;
  }
  $("offer").dataset.warned = offered.warned ? "yes" : "no";
  Offer(offered.blob, offered.name, offered.warned);
  $("repaired-downloads").replaceChildren(...offered.copies.map((copy) => {
    const link = Make("a", "button secondary", Say("Download {name}", { name: copy.name }));
    link.href = Url(copy.copy);
    link.download = copy.name;
    link.setAttribute("role", "button");
    link.addEventListener("keydown", PressWithSpace);
    return link;
  }));
  $("offer").hidden = false;
}

// The copies' links say their words again in another language.
function ShowOfferWords() {
  if (offerWords !== null) {
    offerWords();
  }
  for (const link of $("repaired-downloads").querySelectorAll("a")) {
    link.textContent = Say("Download {name}", { name: link.download });
  }
  ShowSaveMessage();
}

function SayOfSaving(words) {
  saveWords = words;
  ShowSaveMessage();
}

function ShowSaveMessage() {
  $("save-message").textContent = saveWords === null ? "" : saveWords();
}

function SaveAs() {
  const profile = $("save-as").value;
  SayOfSaving(null);
  if (current === null) {
    return;
  }
  if (profile === "") {
    ShowOffer(current.data);
    return;
  }
  if (!Post(Request(Ask.Save, currentJob, Language(), { profile }))) {
    return;
  }
  const download = $("download");
  download.removeAttribute("href");
  download.setAttribute("aria-disabled", "true");
  offerWords = () => download.replaceChildren(Say("Preparing the file…"));
  offerWords();
}

function Saved(data) {
  if ($("save-as").value !== data.profile || current === null) {
    return;
  }
  const saved = SavedOffer(data);
  if (saved.name === null) {
    $("download").hidden = true;
    offerWords = null;
  } else {
    Offer(data.blob, saved.name, $("offer").dataset.warned === "yes");
  }
  SayOfSaving(() => SavedOffer(data).message);
}

function SaveFailed(error) {
  $("download").hidden = true;
  offerWords = null;
  SayOfSaving(() => Say("Not saved: the export stopped ({error}).", { error }));
}

// A download looks like a button, so it acts on Space as well as Enter.
function PressWithSpace(event) {
  if (event.key === " ") {
    event.preventDefault();
    event.currentTarget.click();
  }
}

function WireDownloads() {
  $("download").addEventListener("keydown", PressWithSpace);
  $("save-as").addEventListener("change", SaveAs);
}
