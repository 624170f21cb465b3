#pragma once

#include "CalibrationCurve.h"

#include <cstdint>
#include <string>
#include <vector>

// A calibration made by comparison: two measurements of one loudspeaker, one
// with a calibrated microphone and one with the microphone to calibrate, and
// the calibrated microphone's own file. At each frequency the new
// calibration is the calibrated one plus the difference of the two
// measurements, smoothed and levelled.

constexpr int MostSmoothing = 96;    // 1/96 octave is the finest smoothing
constexpr int DefaultSmoothing = 12; // 1/12 octave
constexpr int DefaultPointsPerOctave = 48;
constexpr float DefaultLevelFrequency = 1000.0f;

// What the command line (or the page) asks for.
struct DerivationRequest {
    int Smoothing = DefaultSmoothing; // N of 1/N octave; 0 smooths nothing
    bool Levelled = true;             // false: --level-at none
    float LevelFrequency = DefaultLevelFrequency;
    int PointsPerOctave = DefaultPointsPerOctave; // 0: RefMicCal's own frequencies
    bool HasRange = false;
    float Low = 0.0f;
    float High = 0.0f;
};

// Which of the four files a finding is about.
enum class DerivationFile { RefMicCal, RefMicMeasured, MyMicMeasured, MyMicCal };

// Why a derivation is written but ends with status 1.
enum class DerivationWarningCode {
    // The result lies more than 10 dB from 0 dB somewhere between 100 Hz and
    // 10 kHz: Line is that point's line of MyMicCal.
    StraysFromZero,
    // A measurement names a sensitivity or a serial number, as calibration
    // files do (Line is that line), or its responses between 100 Hz and
    // 10 kHz all lie within 3 dB of 0 dB (Line is the first of them).
    LooksLikeCalibration,
    // The two measurements differ by more than 20 dB at the level frequency:
    // Line is MyMicMeasured's first line at or above it.
    LevelsDiffer,
    // A measurement's second column looks like a phase: a line names the
    // phase as its second column, or every second value lies within
    // -180..180 and one step between neighbouring points jumps by more than
    // 300 (a phase wrapping round). Line is that line.
    PhaseSecond,
};

struct DerivationWarning {
    DerivationWarningCode Code = DerivationWarningCode::StraysFromZero;
    DerivationFile File = DerivationFile::MyMicCal;
    std::uint64_t Line = 0;
    // Where it shows, and the result, the difference, the level or the
    // phase's step there; both 0 for a line that names a sensitivity, a
    // serial number or a phase.
    float Frequency = 0.0f;
    float Value = 0.0f;
};

// A measurement as read: its points in rising order, and the line of each.
struct MeasuredCurve {
    CalibrationCurve Curve;
    std::vector<std::uint64_t> Lines;
    // A quoted header line naming a sensitivity or a serial number, as a
    // calibration file's header does; 0 for none.
    std::uint64_t CalibrationLikeLine = 0;
    // Where the second column looks like a phase, 0 for nowhere: the line
    // naming it, or the line of the first wrap and its step in degrees.
    std::uint64_t PhaseLine = 0;
    bool PhaseNamed = false;
    float PhaseStep = 0.0f;
};

// The three inputs, read; the paths as given name them in messages.
struct DerivationInputs {
    const char* RefMicCalPath = "";
    const char* RefMicMeasuredPath = "";
    const char* MyMicMeasuredPath = "";
    CalibrationCurve RefMicCal;
    // The serial number RefMicCal's header names, if it names one.
    std::string Serial;
    MeasuredCurve RefMicMeasured;
    MeasuredCurve MyMicMeasured;
};

// The derivation on its output points, each vector one value per point.
struct Derivation {
    std::vector<float> Frequencies;
    std::vector<float> RawDifference;      // MyMicMeasured - RefMicMeasured
    std::vector<float> SmoothedDifference; // the same as RawDifference unsmoothed
    std::vector<float> Reference;          // RefMicCal
    std::vector<float> Result;             // MyMicCal, as written
    bool Levelled = false;
    float LevelFrequency = 0.0f;
    double LevelShift = 0.0;         // added to every point
    double MeasuredDifferenceAt = 0; // the measurements' raw difference at LevelFrequency
    int Smoothing = 0;               // N of 1/N octave, 0 for none
    std::string Serial;              // RefMicCal's, or empty
    // The quoted header line MyMicCal begins with, without its line end.
    std::string HeaderLine;
    // The range covered: --range within what all three files cover.
    float Low = 0.0f;
    float High = 0.0f;
    bool RangeNarrowed = false; // --range reached beyond the files
    std::vector<DerivationWarning> Warnings;
};

// Reads the three files: RefMicCal as the converter reads a reference, the
// measurements line by line as their writers meant them. A failure (a file
// unreadable, with fewer than two points, or frequencies that do not rise)
// has printed its message.
bool ReadDerivationInputs(const char* refMicCal, const char* refMicMeasured,
                          const char* myMicMeasured, DerivationInputs& inputs);

// The derivation of read inputs. A refusal (the files overlap by less than
// an octave, the range or the level frequency lies beyond them) has printed
// its message.
bool Derive(const DerivationInputs& inputs, const DerivationRequest& request,
            Derivation& derivation);

// Both of the above.
bool DeriveFromFiles(const char* refMicCal, const char* refMicMeasured, const char* myMicMeasured,
                     const DerivationRequest& request, Derivation& derivation);

// Writes the derivation to path, replaced whole: its header line, then one
// "%f %f" line per point. A failure has printed its message and left an
// earlier file as it was.
bool WriteDerivation(const char* path, const Derivation& derivation);
