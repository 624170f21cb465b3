#pragma once

// The widths a picture may be drawn at, in pixels, which are its SVG user
// units. The usual one is what the program has always drawn; the least
// leaves room to spare in the frame that a 320-pixel phone gives the
// picture on the page; beyond the most, the picture's two decimals would
// start to show.
constexpr int UsualPlotWidth = 960;
constexpr int LeastPlotWidth = 240;
constexpr int MostPlotWidth = 4000;

// Where everything goes in a picture of a given width, in its user units.
// Below a breakpoint the picture is laid out for a phone: narrower margins,
// lower panels, and text no smaller than 10 units, which the page shows at
// 10 CSS pixels.
struct PlotLayout {
    double Width = 0.0;
    // The margins of the title, the header lines and the legend.
    double TextLeft = 0.0;
    double TextRight = 0.0;
    // The panels' margins: the left one holds the level axes' labels and
    // titles.
    double PanelLeft = 0.0;
    double PanelRight = 0.0;

    double TitleBaseline = 0.0;
    double TitleSize = 0.0;
    // From the title's baseline to the first header line's.
    double TitleGap = 0.0;
    double HeaderSize = 0.0;
    double HeaderLineHeight = 0.0;
    // A header line too long for one line of the picture goes on over this
    // many, indented after the first, and is cut at the end of the last.
    int HeaderRows = 1;
    double HeaderIndent = 0.0;
    // From below the last header line to the top of the upper panel.
    double HeaderGap = 0.0;

    double ResponsePanelHeight = 0.0;
    double PanelGap = 0.0;
    double CorrectionPanelHeight = 0.0;
    // The axes' labels; those of the frequencies stand this far below the
    // lower panel, those of the levels this far left of the panels.
    double TickSize = 0.0;
    double FrequencyLabelDrop = 0.0;
    double LevelLabelGap = 0.0;
    double AxisTitleSize = 0.0;
    double FrequencyTitleDrop = 0.0;
    // The rotated titles of the level axes stand on this x.
    double LevelTitleX = 0.0;

    double LegendSize = 0.0;
    // From the lower panel's bottom to the first entry's baseline.
    double LegendGap = 0.0;
    // From one entry's baseline to the next's, and from line to line within
    // an entry too long for one.
    double LegendEntryHeight = 0.0;
    double LegendLineHeight = 0.0;
    // The stretch of line that shows a curve's look, and where the entry's
    // text starts, both from TextLeft.
    double SwatchLength = 0.0;
    double LegendTextIndent = 0.0;
};

// A width from LeastPlotWidth to MostPlotWidth; UsualPlotWidth gives the
// layout the program has always drawn.
PlotLayout ChoosePlotLayout(int width);
