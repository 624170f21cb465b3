// The page's words: every sentence it shows is written here in English, as
// the argument of Say, SayIn or SayCount, and shown in the language chosen
// where TarvelinCatalogue (put before this script by the build, when there
// is one) has it, in English where not. A value goes into a sentence by its
// {name}, never by joining pieces of English, so that a translation can put
// it where its own grammar wants it.
//
// Nothing here touches the document: the outcome's sentences are decided
// under Node too.

const Languages = [
  { code: "en", name: "English" },
  { code: "de", name: "Deutsch" },
  { code: "fr", name: "Français" },
  { code: "es", name: "Español" },
];
const LanguageKey = "tarvelin.language";
const ContextMark = "\u0004";

let language = "en";

function Language() {
  return language;
}

function Known(code) {
  return Languages.some((each) => each.code === code);
}

// A choice made here before wins; otherwise the first of the browser's
// languages that the page speaks, by its main part (de-AT is de).
function PreferredLanguage(stored, wanted) {
  if (Known(stored)) {
    return stored;
  }
  for (const tag of wanted || []) {
    const code = String(tag).toLowerCase().split("-")[0];
    if (Known(code)) {
      return code;
    }
  }
  return "en";
}

function SetLanguage(code) {
  language = Known(code) ? code : "en";
  return language;
}

function Translations() {
  const all = typeof TarvelinCatalogue === "undefined" ? null : TarvelinCatalogue;
  return all && all[language] ? all[language] : null;
}

function Translated(key) {
  const translations = Translations();
  const entries = translations && translations.entries;
  return entries && Object.prototype.hasOwnProperty.call(entries, key) ? entries[key] : undefined;
}

// A number as this language writes it, with every digit that the shortest
// form of the value has, and no grouping: a frequency read from a file keeps
// all its digits, and a count of lines stays one word. 26000 and -0.26325616
// read in English exactly as they always have.
function Numeral(value) {
  const plain = String(value + 0);
  if (!Number.isFinite(value) || /e/i.test(plain)) {
    return plain;
  }
  const digits = plain.replace(/^-/, "").replace(".", "").replace(/^0+/, "").replace(/0+$/, "")
      .length || 1;
  return new Intl.NumberFormat(language, { useGrouping: false, minimumSignificantDigits: digits,
                                           maximumSignificantDigits: digits }).format(value);
}

// Names or titles one after the other, as this language lists them: in
// English with commas alone.
function ListOf(items) {
  return new Intl.ListFormat(language, { type: "unit", style: "short" }).format(items);
}

// text with each {name} replaced by its value: numbers as Numeral writes
// them. A value that is an element (a program's name in code type) stays
// one: the sentence then comes back as the pieces to append.
function Filled(text, values) {
  const pieces = [];
  let elements = false;
  let at = 0;
  for (const match of text.matchAll(/\{(\w+)\}/g)) {
    if (!values || !Object.prototype.hasOwnProperty.call(values, match[1])) {
      continue;
    }
    const value = values[match[1]];
    pieces.push(text.slice(at, match.index));
    if (typeof value === "number") {
      pieces.push(Numeral(value));
    } else if (typeof value === "object" && value !== null) {
      elements = true;
      pieces.push(value);
    } else {
      pieces.push(String(value));
    }
    at = match.index + match[0].length;
  }
  pieces.push(text.slice(at));
  return elements ? pieces.filter((piece) => piece !== "") : pieces.join("");
}

function Say(english, values) {
  const translated = Translated(english);
  return Filled(typeof translated === "string" && translated !== "" ? translated : english, values);
}

// The same English that means two things (a form's name, a heading) is told
// apart by its context.
function SayIn(context, english, values) {
  const translated = Translated(context + ContextMark + english);
  return Filled(typeof translated === "string" && translated !== "" ? translated : english, values);
}

// A sentence about a count, in the form that the language's plural rule
// picks for it; {count} is the count.
function SayCount(singular, plural, count, values) {
  const all = { count, ...values };
  const forms = Translated(singular);
  const translations = Translations();
  if (Array.isArray(forms) && translations && typeof translations.plural === "function") {
    const form = forms[Number(translations.plural(count))];
    if (typeof form === "string" && form !== "") {
      return Filled(form, all);
    }
  }
  return Filled(count === 1 ? singular : plural, all);
}
