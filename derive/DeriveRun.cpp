#include "DeriveRun.h"

#include "Catalogue.h"
#include "CompanionCommandLine.h"
#include "Derivation.h"
#include "FloatText.h"
#include "LogarithmicGrid.h"
#include "Messages.h"
#include "OverwriteGuard.h"
#include "PointConversion.h"

#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr int Written = 0;
constexpr int WrittenWithWarnings = 1;
constexpr int NotWritten = 2;

constexpr const char* Forms[] = {
    "[--smoothing 1/N|none] [--level-at F|none] [--points-per-octave N|none] [--range LOW HIGH] "
    "<RefMicCal> <RefMicMeasured> <MyMicMeasured> <MyMicCal>"};
constexpr CommandOption Options[] = {
    {"--smoothing", 1, "1/N",
     Words("smooth the difference over 1/N octave, N from 1 to 96 (default 1/12)")},
    {"--level-at", 1, "F",
     Words("shift the result to 0 dB at F Hz (default 1000), or keep its level")},
    {"--points-per-octave", 1, "N",
     Words("a logarithmic grid of N points per octave (default 48), or RefMicCal's own points")},
    {"--range", 2, "LOW HIGH",
     Words("the first and last frequency, in Hz, within all three files")},
};
constexpr CommandLineSyntax Syntax = {"TarvelinDerive", Forms, Options};

// A whole number, from least to most, for an int.
bool ReadWholeInt(std::string_view text, int least, int most, int& value) {
    std::uint64_t number = 0;
    if (!ReadWholeNumber(text, static_cast<std::uint64_t>(least), static_cast<std::uint64_t>(most),
                         number)) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

// The options' values; what is wrong has been put in problem.
bool ReadRequest(const CommandLine& commandLine, DerivationRequest& request, std::string& problem) {
    if (const GivenOption* given = FindOption(commandLine, "--smoothing")) {
        const std::string_view text = given->Values[0];
        if (text == "none") {
            request.Smoothing = 0;
        } else if (!text.starts_with("1/") ||
                   !ReadWholeInt(text.substr(2), 1, MostSmoothing, request.Smoothing)) {
            // TRANSLATORS: {given} is what was given after the option; "none"
            // stays as it is.
            problem = Say("--smoothing {given}: give 1/N, N a whole number from 1 to {most} "
                          "(--smoothing 1/12), or none",
                          {{"given", given->Values[0]}, {"most", std::to_string(MostSmoothing)}});
            return false;
        }
    }
    if (const GivenOption* given = FindOption(commandLine, "--level-at")) {
        const std::string_view text = given->Values[0];
        if (text == "none") {
            request.Levelled = false;
        } else if (!ReadFrequency(text, request.LevelFrequency) ||
                   !(request.LevelFrequency > 0.0f)) {
            // TRANSLATORS: {given} is what was given after the option; the
            // frequency is read with a full stop whatever the language.
            problem = Say("--level-at {given}: give a frequency in Hz above 0, with a full stop "
                          "as the decimal point (--level-at 1000), or none",
                          {{"given", given->Values[0]}});
            return false;
        }
    }
    if (const GivenOption* given = FindOption(commandLine, "--points-per-octave")) {
        const std::string_view text = given->Values[0];
        if (text == "none") {
            request.PointsPerOctave = 0;
        } else if (!ReadWholeInt(text, 1, MostPointsPerOctave, request.PointsPerOctave)) {
            // TRANSLATORS: {given} is what was given after the option; "none"
            // stays as it is.
            problem =
                Say("--points-per-octave {given}: give a whole number from 1 to {most}, or "
                    "none",
                    {{"given", given->Values[0]}, {"most", std::to_string(MostPointsPerOctave)}});
            return false;
        }
    }
    return ReadRangeOption(commandLine, request.HasRange, request.Low, request.High, problem);
}

struct Paths {
    const char* RefMicCal;
    const char* RefMicMeasured;
    const char* MyMicMeasured;
    const char* MyMicCal;
};

const char* PathOf(const Paths& paths, DerivationFile file) {
    switch (file) {
    case DerivationFile::RefMicCal:
        return paths.RefMicCal;
    case DerivationFile::RefMicMeasured:
        return paths.RefMicMeasured;
    case DerivationFile::MyMicMeasured:
        return paths.MyMicMeasured;
    case DerivationFile::MyMicCal:
        break;
    }
    return paths.MyMicCal;
}

std::string WarningSentence(const DerivationWarning& warning, const Paths& paths) {
    const std::string file = PathOf(paths, warning.File);
    const std::string line = std::to_string(warning.Line);
    switch (warning.Code) {
    case DerivationWarningCode::StraysFromZero:
        // TRANSLATORS: {file} is MyMicCal's name as given; {value} is the
        // result at {frequency} Hz, in dB with its sign.
        return Say("Warning - line {line} of {file}: at {frequency} Hz the result is {value} dB, "
                   "more than 10 dB from 0 dB, where between 100 Hz and 10 kHz a microphone "
                   "stays close to it. The measurements disagree there (reflections, noise, or "
                   "the microphones not at the same place): measure both again, at the same "
                   "place, gated or close to the loudspeaker.",
                   {{"line", line},
                    {"file", file},
                    {"frequency", ShownNumber(warning.Frequency)},
                    {"value", ShownDecibels(warning.Value)}});
    case DerivationWarningCode::LooksLikeCalibration:
        if (warning.Frequency == 0.0f) {
            // TRANSLATORS: {file} is a measurement's name as given; the four
            // names of the files stay as they are.
            return Say("Warning - line {line} of {file} names a sensitivity or a serial number, "
                       "as a calibration file does, not a measurement. Check that the files are "
                       "given in the order RefMicCal RefMicMeasured MyMicMeasured MyMicCal.",
                       {{"line", line}, {"file", file}});
        }
        // TRANSLATORS: as before; from line {line} on, every level of
        // {file} between 100 Hz and 10 kHz lies within 3 dB of 0 dB.
        return Say("Warning - from line {line} on, {file} stays within 3 dB of 0 dB between 100 "
                   "Hz and 10 kHz, as a calibration file does, not a measurement of a "
                   "loudspeaker. Check that the files are given in the order RefMicCal "
                   "RefMicMeasured MyMicMeasured MyMicCal.",
                   {{"line", line}, {"file", file}});
    case DerivationWarningCode::LevelsDiffer:
        // TRANSLATORS: {value} is MyMicMeasured minus RefMicMeasured at
        // {frequency} Hz, in dB with its sign; {file} is MyMicMeasured.
        return Say("Warning - at {frequency} Hz (line {line} of {file}) the two measurements "
                   "differ by {value} dB, more than 20 dB: they were not made at the same level or "
                   "with the same gain. Measure both again with the same loudspeaker level and "
                   "the same input gain.",
                   {{"frequency", ShownNumber(warning.Frequency)},
                    {"line", line},
                    {"file", file},
                    {"value", ShownDecibels(warning.Value)}});
    case DerivationWarningCode::PhaseSecond:
        break;
    }
    if (warning.Value == 0.0f) {
        // TRANSLATORS: {file} is a measurement's name as given.
        return Say("Warning - line {line} of {file} names a phase as the second column, which "
                   "was read as the level. Export the measurement with the level in dB as the "
                   "second column.",
                   {{"line", line}, {"file", file}});
    }
    // TRANSLATORS: {step} is in degrees, with its sign; every value of the
    // second column lies within -180 to 180.
    return Say("Warning - at line {line} the second column of {file} jumps by {step} degrees, and "
               "all of it lies within -180 to 180 degrees: it looks like a phase, read as the "
               "level. Export the measurement with the level in dB as the second column.",
               {{"line", line}, {"file", file}, {"step", ShownSigned(warning.Value)}});
}

void Report(const Derivation& derivation, const Paths& paths, DeriveSaid& said) {
    const std::size_t count = derivation.Frequencies.size();
    // TRANSLATORS: {file} is MyMicCal's name as given.
    said.Written = SayCount("{file} written: {count} point from {low} Hz to {high} Hz.",
                            "{file} written: {count} points from {low} Hz to {high} Hz.", count,
                            {{"file", paths.MyMicCal},
                             {"low", ShownNumber(derivation.Low)},
                             {"high", ShownNumber(derivation.High)}});
    PrintText(said.Written + "\n");
    if (derivation.RangeNarrowed) {
        said.Narrowed =
            Say("The range was narrowed to {low} Hz to {high} Hz, which all three files "
                "cover: nothing is extrapolated.",
                {{"low", ShownNumber(derivation.Low)}, {"high", ShownNumber(derivation.High)}});
        PrintText(said.Narrowed + "\n");
    }
    for (const DerivationWarning& warning : derivation.Warnings) {
        said.Warnings.push_back(WarningSentence(warning, paths));
        PrintText(said.Warnings.back() + "\n");
    }
}

} // namespace

int RunDerive(int argumentCount, const char* const* arguments, DeriveSaid* said) {
    CommandLine commandLine;
    if (!StartCompanionRun(Syntax, argumentCount, arguments, commandLine)) {
        return Written;
    }
    DerivationRequest request;
    std::string problem = commandLine.Problem;
    if (commandLine.Request == CommandRequest::Wrong || commandLine.Operands.size() != 4 ||
        !ReadRequest(commandLine, request, problem)) {
        PrintUsageError(Syntax, problem);
        return NotWritten;
    }
    const Paths paths = {commandLine.Operands[0], commandLine.Operands[1], commandLine.Operands[2],
                         commandLine.Operands[3]};
    // A module that runs many derivations starts each from a fresh state.
    ResetConversionState();
    if (WouldOverwriteInput(paths.MyMicCal,
                            {paths.RefMicCal, paths.RefMicMeasured, paths.MyMicMeasured})) {
        return NotWritten;
    }
    DeriveSaid unasked;
    DeriveSaid& told = said == nullptr ? unasked : *said;
    Derivation derivation;
    if (!DeriveFromFiles(paths.RefMicCal, paths.RefMicMeasured, paths.MyMicMeasured, request,
                         derivation) ||
        !WriteDerivation(paths.MyMicCal, derivation)) {
        return NotWritten;
    }
    Report(derivation, paths, told);
    const bool warned = !derivation.Warnings.empty();
    told.Made = std::move(derivation);
    return warned ? WrittenWithWarnings : Written;
}
