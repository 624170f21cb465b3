#include "FindingWords.h"

#include "Catalogue.h"
#include "ConversionFindingWords.h"
#include "FileFindingWords.h"

std::string FindingTitle(const Finding& finding) {
    switch (finding.Code) {
    case FindingCode::FileUnreadable:
        return Say("File cannot be read");
    case FindingCode::TooFewPoints:
        return Say("Too few points");
    case FindingCode::NoDataLines:
        return Say("No data lines");
    case FindingCode::Utf16:
        return Say("UTF-16 text");
    case FindingCode::QuotedNumbers:
        return Say("Quoted numbers");
    case FindingCode::CommaSeparated:
        return Say("Spreadsheet CSV");
    case FindingCode::DecimalComma:
        return Say("Decimal commas");
    case FindingCode::UnquotedHeader:
        return Say("Header line without its quote");
    case FindingCode::UnreadableNumber:
        return Say("Unreadable number");
    case FindingCode::CutOff:
        return Say("File cut off");
    case FindingCode::CutAtEofMark:
        return Say("End-of-file mark");
    case FindingCode::FrequencyInKhz:
        return Say("Looks like kHz");
    case FindingCode::LinearResponse:
        return Say("Linear values, not dB");
    case FindingCode::PhaseAsResponse:
        return Say("Phase as the response");
    case FindingCode::Outlier:
        return Say("Lone point");
    case FindingCode::ImpossibleResponse:
        return Say("Impossible level");
    case FindingCode::DroppedPoint:
        return Say("Point dropped");
    case FindingCode::PartlyRead:
        return Say("Numbers read in part");
    case FindingCode::DigitGrouping:
        return Say("Grouped digits");
    case FindingCode::TwoReadings:
        return Say("Two readings");
    case FindingCode::ColumnsSwapped:
        return Say("Columns swapped");
    case FindingCode::NotAscending:
        return Say("Frequencies not rising");
    case FindingCode::WrongSegment:
        return Say("Wrong reference segment");
    case FindingCode::IdenticalReferences:
        return Say("Same reference twice");
    case FindingCode::InputIsReference:
        return Say("A reference as MyMicIn");
    case FindingCode::DifferentSerialNumbers:
        return Say("Two microphones");
    case FindingCode::DifferentAngles:
        return Say("Two angles");
    case FindingCode::LargeCorrection:
        return Say("Large correction");
    case FindingCode::FarExtrapolation:
        return Say("Far beyond the references");
    case FindingCode::NonFinite:
        return Say("Infinite value");
    case FindingCode::Extrapolated:
        return Say("Beyond the references");
    case FindingCode::RepeatedFrequency:
        return Say("Repeated frequency");
    case FindingCode::DroppedLines:
        return Say("Lines dropped");
    case FindingCode::LongLine:
        return Say("Long line");
    case FindingCode::ExtraValues:
        return Say("Extra numbers");
    case FindingCode::SensitivityChanged:
        return Say("Sensitivity changed");
    }
    return Say("Finding");
}

std::string FindingFix(const Finding& finding) {
    switch (finding.Code) {
    case FindingCode::FileUnreadable:
        return Say("Check the path, and that the file is there.");
    case FindingCode::TooFewPoints:
        return Say("Give the reference's calibration file, with at least two data lines.");
    case FindingCode::NoDataLines:
        return Say("A data line is a frequency and a response, separated by blanks or tabs.");
    case FindingCode::Utf16:
        return Say("Save it as UTF-8 or ANSI text.");
    case FindingCode::QuotedNumbers:
        return Say("Save it without quotes around the numbers.");
    case FindingCode::CommaSeparated:
        return Say("Save it as tab-separated text with full stops as decimal points.");
    case FindingCode::DecimalComma:
        return Say("Save it with full stops as decimal points.");
    case FindingCode::UnquotedHeader:
        return Say("Put a double quote at the very start of the line.");
    case FindingCode::UnreadableNumber:
        return Say("Correct the numbers on that line.");
    case FindingCode::CutOff:
        return Say("Get the whole file again from where it came.");
    case FindingCode::CutAtEofMark:
        return Say("Remove the 0x1A byte if points follow it.");
    case FindingCode::FrequencyInKhz:
        return Say("If they are kHz, multiply the frequencies by 1000.");
    case FindingCode::LinearResponse:
        return Say("Export the calibration in dB.");
    case FindingCode::PhaseAsResponse:
        return Say("Put the level in the second column.");
    case FindingCode::Outlier:
        return Say("Check the numbers on that line.");
    case FindingCode::ImpossibleResponse:
        return Say("Check the numbers on that line.");
    case FindingCode::DroppedPoint:
        return Say("Write the line as a frequency and a response, separated by blanks or tabs.");
    case FindingCode::PartlyRead:
        return Say(
            "Write the numbers with full stops as decimal points and blanks or tabs between them.");
    case FindingCode::DigitGrouping:
        return Say("Write the numbers without marks between their digits.");
    case FindingCode::TwoReadings:
        return Say("Write the numbers with full stops as decimal points and no marks between their "
                   "digits.");
    case FindingCode::ColumnsSwapped:
        return Say("Put the frequency first and the response second.");
    case FindingCode::NotAscending:
        return Say("Sort the file from low to high frequency.");
    case FindingCode::WrongSegment:
        return Say("Sort the reference from low to high frequency.");
    case FindingCode::IdenticalReferences:
        return Say("Give the reference's old calibration, then its new one.");
    case FindingCode::InputIsReference:
        return Say("Give your own microphone's calibration as MyMicIn.");
    case FindingCode::DifferentSerialNumbers:
        return Say("Give two calibrations of the same reference microphone.");
    case FindingCode::DifferentAngles:
        return Say("Give two calibrations of the same angle.");
    case FindingCode::LargeCorrection:
        return Say("Check that both references are calibrations of the same microphone.");
    case FindingCode::FarExtrapolation:
        return Say("Use references that cover those frequencies.");
    case FindingCode::NonFinite:
        return Say("Check the numbers.");
    case FindingCode::Extrapolated:
        return std::string();
    case FindingCode::RepeatedFrequency:
        return std::string();
    case FindingCode::DroppedLines:
        return std::string();
    case FindingCode::LongLine:
        return std::string();
    case FindingCode::ExtraValues:
        return std::string();
    case FindingCode::SensitivityChanged:
        return std::string();
    }
    return std::string();
}

std::string FindingMessage(const Finding& finding) {
    std::string message;
    if (!SayConversionFinding(finding, message)) {
        SayFileFinding(finding, message);
    }
    return message;
}
