// The plot view: the picture of the file shown, which the worker draws as
// wide as its frame, again when the frame's width changes.

// The widths TarvelinPlot draws at.
const LeastPlotWidth = 240;
const MostPlotWidth = 4000;

// The picture is drawn as wide as its frame, so that it is shown at its own
// size: its text as large as it was drawn, and nothing to scroll sideways.
// Measured on the figure's container, which is shown even while the figure
// is not.
function PlotWidth() {
  const frame = getComputedStyle($("plot-frame"));
  const room = $("plot").parentElement.clientWidth - parseFloat(frame.borderLeftWidth) -
      parseFloat(frame.borderRightWidth);
  return Math.min(MostPlotWidth, Math.max(LeastPlotWidth, Math.floor(room)));
}

// Only a frame that scrolls (on a screen narrower than the narrowest
// picture) is a tab stop, so that the keyboard can scroll it, and says so.
function FitFrame() {
  const frame = $("plot-frame");
  const scrolls = frame.scrollWidth > frame.clientWidth;
  if (scrolls) {
    frame.setAttribute("tabindex", "0");
  } else {
    frame.removeAttribute("tabindex");
  }
  $("plot-scrolls").hidden = !scrolls;
}

function ShowPicture(svg, width, index) {
  // Drawn a moment later, in a task of its own: the browser reads an SVG
  // picture on this thread, and would add that to laying out the rest.
  const url = Url(new Blob([svg], { type: "image/svg+xml" }));
  const previous = shownPlot;
  shownPlot = { job: currentJob, width, url, index };
  setTimeout(() => {
    if (urls.includes(url)) {
      $("plot-image").src = url;
    }
    if (previous !== null && previous.url !== url) {
      URL.revokeObjectURL(previous.url);
      urls = urls.filter((each) => each !== previous.url);
    }
  }, 20);
}

function ShowPlotWords(result) {
  const texts = PlotTexts(result.names, current.batch);
  $("plot-image").alt = texts.alt;
  $("plot-caption").textContent = texts.caption;
}

// Asks for the plot of the file shown.
function AskPlot(index) {
  Post(Request(Ask.Show, currentJob, Language(), { index, width: PlotWidth() }));
}

function Shown(data) {
  if (current === null || current.selected !== data.index) {
    return;
  }
  const result = current.data.results[data.index];
  if (data.svg === null) {
    current.plotMessages += data.messages;
    $("messages").textContent += data.messages;
    return;
  }
  ShowPicture(data.svg, data.width, data.index);
  ShowPlotWords(result);
  $("plot").hidden = false;
  Replot();
}

// A frame that changed its width (a phone turned, a window resized) gets the
// picture drawn again for it, one drawing at a time.
function Replot() {
  if (shownPlot === null || busy || replotting || worker === null ||
      shownPlot.job !== currentJob || PlotWidth() === shownPlot.width) {
    return;
  }
  replotting = Post(Request(Ask.Replot, currentJob, Language(), { width: PlotWidth() }));
}

// A picture that could not be drawn again leaves the one shown, which the
// frame scrolls if it must, and is not asked for again.
function Replotted(data) {
  replotting = false;
  if (data.job !== currentJob || shownPlot === null || data.index !== shownPlot.index) {
    return;
  }
  if (data.svg === null) {
    shownPlot.width = data.width;
  } else {
    ShowPicture(data.svg, data.width, data.index);
  }
  Replot();
}

function WirePlot() {
  let replotTimer = 0;
  new ResizeObserver(() => {
    FitFrame();
    clearTimeout(replotTimer);
    replotTimer = setTimeout(Replot, 150);
  }).observe($("plot").parentElement);
  $("plot-image").addEventListener("load", FitFrame);
}
