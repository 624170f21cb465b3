#include "PlotLayout.h"

namespace {

// A phone's picture is narrower than this; a desktop's frame is wider.
constexpr int CompactBelow = 600;

// The layout the program has always drawn, at any width.
PlotLayout WideLayout(int width) {
    PlotLayout layout;
    layout.Width = width;
    layout.TextLeft = 76.0;
    layout.TextRight = 24.0;
    layout.PanelLeft = 76.0;
    layout.PanelRight = 24.0;
    layout.TitleBaseline = 32.0;
    layout.TitleSize = 18.0;
    layout.TitleGap = 24.0;
    layout.HeaderSize = 12.0;
    layout.HeaderLineHeight = 16.0;
    layout.HeaderGap = 8.0;
    layout.ResponsePanelHeight = 380.0;
    layout.PanelGap = 14.0;
    layout.CorrectionPanelHeight = 150.0;
    layout.TickSize = 11.0;
    layout.FrequencyLabelDrop = 16.0;
    layout.LevelLabelGap = 6.0;
    layout.AxisTitleSize = 12.0;
    layout.FrequencyTitleDrop = 34.0;
    layout.LevelTitleX = 20.0;
    layout.LegendSize = 12.0;
    layout.LegendGap = 64.0;
    layout.LegendEntryHeight = 20.0;
    layout.LegendLineHeight = 16.0;
    layout.SwatchLength = 36.0;
    layout.LegendTextIndent = 44.0;
    return layout;
}

// The text takes the whole width, and only the panels keep a margin for the
// level axes; a header line takes two lines rather than lose its end (where
// a serial number tends to be), and the legend's entries are wrapped.
PlotLayout CompactLayout(int width) {
    PlotLayout layout;
    layout.Width = width;
    layout.TextLeft = 12.0;
    layout.TextRight = 12.0;
    layout.PanelLeft = 54.0;
    layout.PanelRight = 20.0;
    layout.TitleBaseline = 24.0;
    layout.TitleSize = 16.0;
    layout.TitleGap = 20.0;
    layout.HeaderSize = 10.0;
    layout.HeaderLineHeight = 13.0;
    layout.HeaderRows = 2;
    layout.HeaderIndent = 10.0;
    layout.HeaderGap = 8.0;
    layout.ResponsePanelHeight = 240.0;
    layout.PanelGap = 10.0;
    layout.CorrectionPanelHeight = 100.0;
    layout.TickSize = 10.0;
    layout.FrequencyLabelDrop = 14.0;
    layout.LevelLabelGap = 4.0;
    layout.AxisTitleSize = 11.0;
    layout.FrequencyTitleDrop = 30.0;
    layout.LevelTitleX = 13.0;
    layout.LegendSize = 11.0;
    layout.LegendGap = 56.0;
    layout.LegendEntryHeight = 18.0;
    layout.LegendLineHeight = 14.0;
    layout.SwatchLength = 30.0;
    layout.LegendTextIndent = 36.0;
    return layout;
}

} // namespace

PlotLayout ChoosePlotLayout(int width) {
    return width < CompactBelow ? CompactLayout(width) : WideLayout(width);
}
