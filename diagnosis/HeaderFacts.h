#pragma once

#include <string>
#include <string_view>

// What header and comment lines say about their microphone and their
// columns. Each looks at one line's text.

// The sensitivity in dB of a "Sens Factor =-0.8dB" line, quoted or not;
// false when the line holds none.
bool SensitivityOf(std::string_view text, float& decibels);

// The serial number that a line names: "SERNO: 7100500", "serial number
// 14308", "S/N 2298J", "SN 2298J". False when it names none.
bool SerialNumberOf(std::string_view text, std::string& serial);

// The angle of incidence a line says a calibration is for: a number of
// degrees ("90deg", "90 degrees", "90°"), or random incidence. A temperature
// ("23 °C") is no angle.
enum class IncidenceKind { None, Degrees, Random };
struct Incidence {
    IncidenceKind Kind = IncidenceKind::None;
    int Degrees = 0;
};

Incidence IncidenceOf(std::string_view text);

// A line of column names whose second column is a phase: "Freq(Hz)
// Phase(deg) SPL(dB)".
bool NamesPhaseSecond(std::string_view text);
