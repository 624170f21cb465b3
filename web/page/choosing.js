// Choosing files: the three inputs, drops on a box or beside the boxes, and
// the names the files go by here.

// The names of the files chosen so far, in the order of the boxes.
function NamesOf() {
  const used = new Set();
  const names = { myMicIn: [], myMicOut: [] };
  for (const key of ["refMicFrom", "refMicTo"]) {
    names[key] = chosen[key].length > 0 ? Distinct(chosen[key][0].name, used) : null;
  }
  names.myMicIn = chosen.myMicIn.map((file) => Distinct(file.name, used));
  const outputs = new Set(used);
  names.myMicOut = chosen.myMicIn.map((file) => Distinct(ConvertedName(file.name), outputs));
  return names;
}

function ShowChosen() {
  const names = NamesOf();
  for (const key of Keys) {
    const files = chosen[key];
    $(`${key}-chosen`).textContent = ChosenText(key, files, names);
    document.querySelector(`.drop[data-key="${key}"]`).classList.toggle("ready", files.length > 0);
  }
  const many = chosen.myMicIn.length > 1;
  $("myMicIn-names").hidden = !many;
  $("myMicIn-list").replaceChildren(...(many ? chosen.myMicIn.map((file, index) =>
      Make("li", "", Named(file, names.myMicIn[index]))) : []));
}

// words: what the drop says, as a function, so that it can be said again
// in another language; null says nothing.
function SayDropped(words) {
  dropWords = words;
  ShowDropMessage();
}

function ShowDropMessage() {
  $("drop-message").textContent = dropWords === null ? "" : dropWords();
}

// A file that cannot be read is chosen again: its box is emptied, and the
// control takes the same path again.
function Forget(key) {
  chosen[key] = [];
  ShowChosen();
}

function Choose(key, files) {
  if (files.length === 0) {
    return;
  }
  chosen[key] = files;
  ShowChosen();
  Run();
}

function Drop(event) {
  if (mode === "derive") {
    DeriveDrop(event);
    return;
  }
  event.preventDefault();
  ShowOver(null);
  const files = Array.from(event.dataTransfer ? event.dataTransfer.files : []);
  const zone = event.target instanceof Element ? event.target.closest(".drop") : null;
  const empty = Keys.filter((key) => chosen[key].length === 0);
  const plan = DropPlan(zone === null ? null : zone.dataset.key, files.length, empty);
  if (plan.refused !== undefined) {
    SayDropped(() => DropPlan(zone === null ? null : zone.dataset.key, files.length, empty)
        .refused);
    return;
  }
  if (zone !== null) {
    SayDropped(null);
    Choose(plan.keys[0], files);
    return;
  }
  files.forEach((file, index) => {
    chosen[plan.keys[index]] = [file];
  });
  ShowChosen();
  const names = files.map((file) => file.name);
  SayDropped(() => DroppedText(names, plan.keys));
  Run();
}

function ShowOver(zone) {
  for (const each of document.querySelectorAll(".drop")) {
    each.classList.toggle("over", each === zone);
  }
}

function WireChoosing() {
  for (const key of Keys) {
    const input = $(key);
    input.addEventListener("change", () => {
      const files = Array.from(input.files);
      // Emptied at once, so that choosing the same path again (after the
      // file was changed, say) is a change too.
      input.value = "";
      SayDropped(null);
      Choose(key, files);
    });
  }
  window.addEventListener("dragover", (event) => {
    event.preventDefault();
    ShowOver(event.target instanceof Element ? event.target.closest(".drop") : null);
  });
  window.addEventListener("dragleave", (event) => {
    if (event.relatedTarget === null) {
      ShowOver(null);
    }
  });
  window.addEventListener("drop", Drop);
}
