#include "ConversionFindingWords.h"

#include "Catalogue.h"

#include <cstdio>
#include <string_view>

namespace {

std::string NumberOf(const Finding& finding, std::string_view name) {
    return ShownNumber(static_cast<float>(NumberNamed(finding, name)));
}

std::string DecibelsOf(const Finding& finding, std::string_view name) {
    return ShownDecibels(NumberNamed(finding, name));
}

std::string CountOf(const Finding& finding, std::string_view name) {
    return std::to_string(CountNamed(finding, name));
}

// Octaves are said to a tenth, with the language's decimal mark, which the
// catalogue's own way of showing a half tells.
std::string Tenths(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string shown = text;
    const std::string half = ShownNumber(0.5f);
    const std::size_t point = shown.find('.');
    if (point != std::string::npos && half.size() > 2 && half.front() == '0' &&
        half.back() == '5') {
        shown.replace(point, 1, half.substr(1, half.size() - 2));
    }
    return shown;
}

// Below a twentieth of an octave, a tenth would overstate it.
bool BarelyBeyond(const Finding& finding) {
    return NumberNamed(finding, "octaves") < 0.05;
}

std::string SayFarExtrapolation(const Finding& finding) {
    // TRANSLATORS: {fromLowest} to {toHighest} are the frequencies that each
    // reference spans; {octaves} is a number such as 1.5.
    return SayCount("{count} point of MyMicIn lies more than an octave below or above the "
                    "frequencies of RefMicFrom ({fromLowest} Hz to {fromHighest} Hz) or RefMicTo "
                    "({toLowest} Hz to {toHighest} Hz), up to {octaves} octaves beyond (line "
                    "{firstLine}, {frequency} Hz): there the correction is the reference's first "
                    "or last segment drawn on as a straight line, far from any point measured, "
                    "and MyMicOut's values can be far off. Use references that cover those "
                    "frequencies, or do not rely on MyMicOut there.",
                    "{count} points of MyMicIn lie more than an octave below or above the "
                    "frequencies of RefMicFrom ({fromLowest} Hz to {fromHighest} Hz) or RefMicTo "
                    "({toLowest} Hz to {toHighest} Hz), up to {octaves} octaves beyond (the first "
                    "at line {firstLine}, {frequency} Hz): there the correction is the "
                    "reference's first or last segment drawn on as a straight line, far from any "
                    "point measured, and MyMicOut's values can be far off. Use references that "
                    "cover those frequencies, or do not rely on MyMicOut there.",
                    CountNamed(finding, "points"),
                    {{"fromLowest", NumberOf(finding, "fromLowest")},
                     {"fromHighest", NumberOf(finding, "fromHighest")},
                     {"toLowest", NumberOf(finding, "toLowest")},
                     {"toHighest", NumberOf(finding, "toHighest")},
                     {"octaves", Tenths(NumberNamed(finding, "octaves"))},
                     {"firstLine", CountOf(finding, "firstLine")},
                     {"frequency", NumberOf(finding, "frequency")}});
}

std::string SayExtrapolated(const Finding& finding) {
    const std::uint64_t points = CountNamed(finding, "points");
    if (BarelyBeyond(finding)) {
        // TRANSLATORS: {count} of MyMicIn's {total} points; {fromLowest} to
        // {toHighest} are the frequencies that each reference spans.
        return SayCount("{count} of MyMicIn's {total} points lies below or above the frequencies "
                        "of RefMicFrom ({fromLowest} Hz to {fromHighest} Hz) or RefMicTo "
                        "({toLowest} Hz to {toHighest} Hz), less than 0.1 octaves beyond; there "
                        "the correction extends the reference's first or last segment as a "
                        "straight line, which is a guess.",
                        "{count} of MyMicIn's {total} points lie below or above the frequencies "
                        "of RefMicFrom ({fromLowest} Hz to {fromHighest} Hz) or RefMicTo "
                        "({toLowest} Hz to {toHighest} Hz), less than 0.1 octaves beyond; there "
                        "the correction extends the reference's first or last segment as a "
                        "straight line, which is a guess.",
                        points,
                        {{"total", CountOf(finding, "total")},
                         {"fromLowest", NumberOf(finding, "fromLowest")},
                         {"fromHighest", NumberOf(finding, "fromHighest")},
                         {"toLowest", NumberOf(finding, "toLowest")},
                         {"toHighest", NumberOf(finding, "toHighest")}});
    }
    // TRANSLATORS: {count} of MyMicIn's {total} points; {octaves} is a number
    // such as 0.5.
    return SayCount("{count} of MyMicIn's {total} points lies below or above the frequencies of "
                    "RefMicFrom ({fromLowest} Hz to {fromHighest} Hz) or RefMicTo ({toLowest} Hz "
                    "to {toHighest} Hz), up to {octaves} octaves beyond; there the correction "
                    "extends the reference's first or last segment as a straight line, which is "
                    "a guess.",
                    "{count} of MyMicIn's {total} points lie below or above the frequencies of "
                    "RefMicFrom ({fromLowest} Hz to {fromHighest} Hz) or RefMicTo ({toLowest} Hz "
                    "to {toHighest} Hz), up to {octaves} octaves beyond; there the correction "
                    "extends the reference's first or last segment as a straight line, which is "
                    "a guess.",
                    points,
                    {{"total", CountOf(finding, "total")},
                     {"fromLowest", NumberOf(finding, "fromLowest")},
                     {"fromHighest", NumberOf(finding, "fromHighest")},
                     {"toLowest", NumberOf(finding, "toLowest")},
                     {"toHighest", NumberOf(finding, "toHighest")},
                     {"octaves", Tenths(NumberNamed(finding, "octaves"))}});
}

bool BothReferences(const Finding& finding) {
    return TextNamed(finding, "reference") == "both";
}

std::string SayWrongSegment(const Finding& finding) {
    const std::uint64_t points = CountNamed(finding, "points");
    const std::string line = CountOf(finding, "firstLine");
    const std::string frequency = NumberOf(finding, "frequency");
    if (BothReferences(finding)) {
        return SayCount("{count} point of MyMicIn gets its correction from a segment of "
                        "RefMicFrom and RefMicTo that does not hold its frequency (line "
                        "{firstLine}, {frequency} Hz), because the reference's frequencies do "
                        "not rise. Sort RefMicFrom and RefMicTo from low to high frequency and "
                        "convert again.",
                        "{count} points of MyMicIn get their correction from a segment of "
                        "RefMicFrom and RefMicTo that does not hold their frequency (the first at "
                        "line {firstLine}, {frequency} Hz), because the reference's frequencies "
                        "do not rise. Sort RefMicFrom and RefMicTo from low to high frequency and "
                        "convert again.",
                        points, {{"firstLine", line}, {"frequency", frequency}});
    }
    // TRANSLATORS: {reference} is RefMicFrom or RefMicTo.
    return SayCount("{count} point of MyMicIn gets its correction from a segment of {reference} "
                    "that does not hold its frequency (line {firstLine}, {frequency} Hz), because "
                    "the reference's frequencies do not rise. Sort {reference} from low to high "
                    "frequency and convert again.",
                    "{count} points of MyMicIn get their correction from a segment of {reference} "
                    "that does not hold their frequency (the first at line {firstLine}, "
                    "{frequency} Hz), because the reference's frequencies do not rise. Sort "
                    "{reference} from low to high frequency and convert again.",
                    points,
                    {{"reference", std::string(TextNamed(finding, "reference"))},
                     {"firstLine", line},
                     {"frequency", frequency}});
}

std::string SayLargeCorrection(const Finding& finding) {
    // TRANSLATORS: {difference} is a level difference in dB with its sign,
    // such as +7.5.
    return Say("RefMicTo - RefMicFrom reaches {difference} dB at {frequency} Hz, where both "
               "references hold points. A reference's new calibration changes it by fractions of "
               "a dB; a difference this large comes from references of two microphones, of two "
               "angles, or a file of absolute levels (dB SPL), and MyMicOut would carry it. Check "
               "that RefMicFrom and RefMicTo are the old and the new calibration of the same "
               "microphone.",
               {{"difference", DecibelsOf(finding, "difference")},
                {"frequency", NumberOf(finding, "frequency")}});
}

std::string SayIdenticalReferences(const Finding& finding) {
    return SayCount("RefMicFrom and RefMicTo hold the same {count} point: the correction is zero "
                    "everywhere, and MyMicOut would repeat MyMicIn's values. RefMicFrom is the "
                    "reference's old calibration, RefMicTo its new one.",
                    "RefMicFrom and RefMicTo hold the same {count} points: the correction is zero "
                    "everywhere, and MyMicOut would repeat MyMicIn's values. RefMicFrom is the "
                    "reference's old calibration, RefMicTo its new one.",
                    CountNamed(finding, "points"));
}

std::string SayInputIsReference(const Finding& finding) {
    const bool both = BothReferences(finding);
    const std::string reference(TextNamed(finding, "reference"));
    if (TextNamed(finding, "form") == "serial-number") {
        const std::string serial(TextNamed(finding, "serial"));
        const std::string line = CountOf(finding, "serialLine");
        std::string question;
        if (both) {
            // TRANSLATORS: {serial} is the serial number as the header
            // writes it.
            question = Say("MyMicIn's header names serial number {serial} (line {serialLine}), the "
                           "reference microphone's in RefMicFrom and RefMicTo: was a reference's "
                           "file given as MyMicIn, or were the files given in another order?",
                           {{"serial", serial}, {"serialLine", line}});
        } else {
            // TRANSLATORS: {serial} is the serial number as the header
            // writes it; {reference} is RefMicFrom or RefMicTo.
            question = Say("MyMicIn's header names serial number {serial} (line {serialLine}), the "
                           "reference microphone's in {reference}: was a reference's file given "
                           "as MyMicIn, or were the files given in another order?",
                           {{"serial", serial}, {"serialLine", line}, {"reference", reference}});
        }
        return question + " " +
               Say("MyMicOut would carry the reference's header and serial number. The order is "
                   "RefMicFrom, RefMicTo, then your own microphone's calibration.");
    }
    const std::uint64_t points = CountNamed(finding, "points");
    std::string question;
    if (both) {
        question = SayCount("MyMicIn holds the same {count} point as RefMicFrom and RefMicTo: was "
                            "a reference's file given as MyMicIn?",
                            "MyMicIn holds the same {count} points as RefMicFrom and RefMicTo: was "
                            "a reference's file given as MyMicIn?",
                            points);
    } else {
        // TRANSLATORS: {reference} is RefMicFrom or RefMicTo.
        question = SayCount("MyMicIn holds the same {count} point as {reference}: was a "
                            "reference's file given as MyMicIn?",
                            "MyMicIn holds the same {count} points as {reference}: was a "
                            "reference's file given as MyMicIn?",
                            points, {{"reference", reference}});
    }
    return question + " " + Say("MyMicIn is your own microphone's calibration, the third file.");
}

std::string SayDifferentSerialNumbers(const Finding& finding) {
    // TRANSLATORS: {serialFrom} and {serialTo} are serial numbers as the
    // headers write them.
    return Say("RefMicFrom's header names serial number {serialFrom} (line {serialLineFrom}), "
               "RefMicTo's {serialTo} (line {serialLineTo}): the references should be two "
               "calibrations of one microphone, its old and its new. Between two microphones the "
               "correction is their difference, and MyMicOut would carry it. Check that both "
               "files are the reference microphone's.",
               {{"serialFrom", std::string(TextNamed(finding, "serialFrom"))},
                {"serialLineFrom", CountOf(finding, "serialLineFrom")},
                {"serialTo", std::string(TextNamed(finding, "serialTo"))},
                {"serialLineTo", CountOf(finding, "serialLineTo")}});
}

std::string AngleOf(const Finding& finding, std::string_view word, std::string_view degrees) {
    if (TextNamed(finding, word) == "random") {
        // TRANSLATORS: what a header says of the angle of incidence, as in
        // "RefMicTo's header says random incidence (line 2)".
        return SayIn("angle of incidence", "random incidence");
    }
    // TRANSLATORS: what a header says of the angle of incidence, as in
    // "RefMicTo's header says 90 degrees (line 2)".
    return SayIn("angle of incidence", "{degrees} degrees",
                 {{"degrees", NumberOf(finding, degrees)}});
}

std::string SayDifferentAngles(const Finding& finding) {
    const std::string from = AngleOf(finding, "angleFrom", "degreesFrom");
    const std::string to = AngleOf(finding, "angleTo", "degreesTo");
    const std::string lineFrom = CountOf(finding, "angleLineFrom");
    const std::string lineTo = CountOf(finding, "angleLineTo");
    std::string headers;
    if (TextNamed(finding, "angleFrom") == "none") {
        // TRANSLATORS: {angleTo} is an angle of incidence: "90 degrees" or
        // "random incidence".
        headers = Say("RefMicFrom's header names no angle, so presumably 0 degrees; RefMicTo's "
                      "says {angleTo} (line {angleLineTo}): the references are calibrations for "
                      "different angles of incidence, which differ by several dB at high "
                      "frequencies, and MyMicOut would carry that difference.",
                      {{"angleTo", to}, {"angleLineTo", lineTo}});
    } else if (TextNamed(finding, "angleTo") == "none") {
        // TRANSLATORS: {angleFrom} is an angle of incidence: "90 degrees" or
        // "random incidence".
        headers = Say("RefMicFrom's header says {angleFrom} (line {angleLineFrom}); RefMicTo's "
                      "names no angle, so presumably 0 degrees: the references are calibrations "
                      "for different angles of incidence, which differ by several dB at high "
                      "frequencies, and MyMicOut would carry that difference.",
                      {{"angleFrom", from}, {"angleLineFrom", lineFrom}});
    } else {
        // TRANSLATORS: {angleFrom} and {angleTo} are angles of incidence:
        // "90 degrees" or "random incidence".
        headers = Say("RefMicFrom's header says {angleFrom} (line {angleLineFrom}); RefMicTo's "
                      "says {angleTo} (line {angleLineTo}): the references are calibrations for "
                      "different angles of incidence, which differ by several dB at high "
                      "frequencies, and MyMicOut would carry that difference.",
                      {{"angleFrom", from},
                       {"angleLineFrom", lineFrom},
                       {"angleTo", to},
                       {"angleLineTo", lineTo}});
    }
    return headers + " " +
           Say("If converting your microphone from one angle to the other was meant, the result "
               "is only as good as the assumption that it changes between angles as the "
               "reference does; otherwise use two files of the same angle.");
}

std::string SaySensitivityChanged(const Finding& finding) {
    // TRANSLATORS: {change} is a level difference in dB with its sign, such
    // as -0.07.
    const std::string change =
        Say("RefMicFrom's header gives the reference's Sens Factor as {sensitivityFrom} dB, "
            "RefMicTo's as {sensitivityTo} dB, a change of {change} dB.",
            {{"sensitivityFrom", NumberOf(finding, "sensitivityFrom")},
             {"sensitivityTo", NumberOf(finding, "sensitivityTo")},
             {"change", DecibelsOf(finding, "change")}});
    const std::string_view form = TextNamed(finding, "form");
    std::string own;
    if (form == "kept") {
        own = Say("Tarvelin changes only the responses: MyMicOut keeps MyMicIn's own Sens Factor "
                  "line ({sensitivityIn} dB) as it is; if that sensitivity was measured against "
                  "this reference, it may need the same change.",
                  {{"sensitivityIn", NumberOf(finding, "sensitivityIn")}});
    } else if (form == "dropped") {
        own = Say("Tarvelin changes only the responses: MyMicIn's own Sens Factor line "
                  "({sensitivityIn} dB) lacks its opening quote and is dropped (line "
                  "{sensitivityLine}); if that sensitivity was measured against this reference, "
                  "it may need the same change.",
                  {{"sensitivityIn", NumberOf(finding, "sensitivityIn")},
                   {"sensitivityLine", CountOf(finding, "sensitivityLine")}});
    } else {
        own = Say("Tarvelin changes only the responses: MyMicIn has no Sens Factor line; if the "
                  "microphone's sensitivity was measured against this reference, it may need the "
                  "same change.");
    }
    return change + " " + own;
}

std::string SayNonFiniteCorrection(const Finding& finding) {
    return SayCount("At {count} point of MyMicIn the correction or the converted response is "
                    "infinite or not a number (line {firstLine}): MyMicOut would hold inf or nan "
                    "there. Check the references' values near that frequency.",
                    "At {count} points of MyMicIn the correction or the converted response is "
                    "infinite or not a number (the first at line {firstLine}): MyMicOut would "
                    "hold inf or nan there. Check the references' values near that frequency.",
                    CountNamed(finding, "points"), {{"firstLine", CountOf(finding, "firstLine")}});
}

std::string SayAllInKilohertz(const Finding& finding) {
    // TRANSLATORS: {lowest} and {highest} are MyMicIn's lowest and highest
    // frequency, as the file writes them, without a unit.
    return Say(
        "The frequencies of all three files lie below 50 Hz (MyMicIn's run from {lowest} "
        "to {highest}), so they are probably kHz. The conversion is right as it stands, "
        "since all three use the same unit, but MyMicOut keeps it: a program that reads "
        "MyMicOut may expect Hz.",
        {{"lowest", NumberOf(finding, "lowest")}, {"highest", NumberOf(finding, "highest")}});
}

} // namespace

bool SayConversionFinding(const Finding& finding, std::string& message) {
    switch (finding.Code) {
    case FindingCode::FarExtrapolation:
        message = SayFarExtrapolation(finding);
        return true;
    case FindingCode::Extrapolated:
        message = SayExtrapolated(finding);
        return true;
    case FindingCode::WrongSegment:
        message = SayWrongSegment(finding);
        return true;
    case FindingCode::LargeCorrection:
        message = SayLargeCorrection(finding);
        return true;
    case FindingCode::IdenticalReferences:
        message = SayIdenticalReferences(finding);
        return true;
    case FindingCode::InputIsReference:
        message = SayInputIsReference(finding);
        return true;
    case FindingCode::DifferentSerialNumbers:
        message = SayDifferentSerialNumbers(finding);
        return true;
    case FindingCode::DifferentAngles:
        message = SayDifferentAngles(finding);
        return true;
    case FindingCode::SensitivityChanged:
        message = SaySensitivityChanged(finding);
        return true;
    case FindingCode::NonFinite:
        if (TextNamed(finding, "form") == "correction") {
            message = SayNonFiniteCorrection(finding);
            return true;
        }
        return false;
    case FindingCode::FrequencyInKhz:
        if (TextNamed(finding, "form") == "all-files") {
            message = SayAllInKilohertz(finding);
            return true;
        }
        return false;
    default:
        return false;
    }
}
