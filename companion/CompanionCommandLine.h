#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The command lines of the companion programs (the check, the plot and the
// ones after them; never the converter's, which is fixed), by the usual
// conventions: --help and --version, options anywhere before a "--" that
// ends them, and an unknown option a mistake rather than a file name.

// Marks an English text that a table holds for the catalogue to find; the
// text is said, in the run's language, where it is printed.
constexpr const char* Words(const char* english) {
    return english;
}

struct CommandOption {
    std::string_view Name;   // "--json"
    int ValueCount = 0;      // the arguments that follow it as its values
    const char* Values = ""; // how the help shows them: "N", "LOW HIGH"
    const char* Help = "";   // one line, in English, marked by Words()
};

struct CommandLineSyntax {
    const char* Program = ""; // "TarvelinCheck"
    // The forms of the command line after the program's name.
    std::span<const char* const> Forms;
    std::span<const CommandOption> Options;
};

enum class CommandRequest { Run, Help, Version, Wrong };

struct GivenOption {
    std::string_view Name;
    std::vector<const char*> Values;
};

struct CommandLine {
    CommandRequest Request = CommandRequest::Run;
    std::vector<const char*> Operands;
    std::vector<GivenOption> Options;
    std::string Problem; // with Wrong: what is wrong, in a few words, said
};

// Reads arguments (program name first). --help or --version anywhere
// before "--", and before any mistake, asks for that and nothing else. A
// wrong command line still holds the options it names correctly.
CommandLine ParseCommandLine(const CommandLineSyntax& syntax, int argumentCount,
                             const char* const* arguments);

// The option as given, or nullptr.
const GivenOption* FindOption(const CommandLine& commandLine, std::string_view name);

// An option's value as a whole number written in plain digits, from least
// to most.
bool ReadWholeNumber(std::string_view text, std::uint64_t least, std::uint64_t most,
                     std::uint64_t& value);

// An option's value as a frequency in Hz, written as a calibration file
// writes it, with a full stop, and finite.
bool ReadFrequency(std::string_view text, float& value);

// --range LOW HIGH, where it is given (given says so): two frequencies in Hz,
// the lower first, 0 or more; -0 is 0, so that no frequency is written -0.
// False, with what is wrong in problem, when they are not.
bool ReadRangeOption(const CommandLine& commandLine, bool& given, float& low, float& high,
                     std::string& problem);

// One line per form: the program's name and the form.
std::string FormsText(const CommandLineSyntax& syntax);

// "usage:", one line per form, and a blank line.
std::string UsageText(const CommandLineSyntax& syntax);

// The usage and a line per option.
std::string HelpText(const CommandLineSyntax& syntax);

// "TarvelinCheck 1.2.0".
std::string VersionText(const CommandLineSyntax& syntax);

// Text to standard output, as it is.
void PrintText(std::string_view text);

// "\nTarvelinCheck\n\n", which a program's run prints first.
void PrintBanner(const CommandLineSyntax& syntax);

// Answers --help or --version, printed, and says whether it did: the run is
// then over, with status 0.
bool AnswerHelpOrVersion(const CommandLineSyntax& syntax, const CommandLine& commandLine);

// A wrong command line: "Error - " and what is wrong, where something is
// named, then the usage.
void PrintUsageError(const CommandLineSyntax& syntax, std::string_view problem);

// The start of every companion's run: its words are in the user's language,
// its command line is read, --help and --version are answered, and the
// banner is printed, unless quietOption ("--json") was given, which asks for
// output that a script reads. False when the run is over (it answered, and
// ends with status 0).
bool StartCompanionRun(const CommandLineSyntax& syntax, int argumentCount,
                       const char* const* arguments, CommandLine& commandLine,
                       std::string_view quietOption = {});
