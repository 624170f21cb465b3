#include "CompanionCommandLine.h"

#include "Catalogue.h"
#include "FloatText.h"
#include "ShownText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr CommandOption CommonOptions[] = {
    {"--help", 0, "", Words("print this help and end")},
    {"--version", 0, "", Words("print the program's name and version and end")},
};

const CommandOption* FindSyntaxOption(const CommandLineSyntax& syntax, std::string_view name) {
    const auto found =
        std::find_if(syntax.Options.begin(), syntax.Options.end(),
                     [name](const CommandOption& option) { return option.Name == name; });
    return found == syntax.Options.end() ? nullptr : &*found;
}

CommandLine Asking(CommandRequest request, std::string problem = {}) {
    CommandLine commandLine;
    commandLine.Request = request;
    commandLine.Problem = std::move(problem);
    return commandLine;
}

} // namespace

CommandLine ParseCommandLine(const CommandLineSyntax& syntax, int argumentCount,
                             const char* const* arguments) {
    CommandLine commandLine;
    // The first mistake is the one said; the options after it are still
    // read, so that a program knows how it was asked to answer (--json).
    const auto wrong = [&commandLine](std::string problem) {
        if (commandLine.Request != CommandRequest::Wrong) {
            commandLine.Request = CommandRequest::Wrong;
            commandLine.Problem = std::move(problem);
        }
    };
    bool optionsEnded = false;
    for (int i = 1; i < argumentCount; ++i) {
        const std::string_view argument = arguments[i];
        // A lone "-" is a name like any other.
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            commandLine.Operands.push_back(arguments[i]);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if ((argument == "--help" || argument == "--version") &&
            commandLine.Request != CommandRequest::Wrong) {
            return Asking(argument == "--help" ? CommandRequest::Help : CommandRequest::Version);
        }
        const CommandOption* option = FindSyntaxOption(syntax, argument);
        if (option == nullptr) {
            wrong(Say("unknown option {option}", {{"option", std::string(argument)}}));
            continue;
        }
        if (FindOption(commandLine, argument) != nullptr) {
            wrong(Say("option {option} given twice", {{"option", std::string(argument)}}));
            continue;
        }
        if (argumentCount - 1 - i < option->ValueCount) {
            // TRANSLATORS: {values} is how the help names the option's
            // values, such as N or LOW HIGH.
            wrong(Say("option {option} needs {values}",
                      {{"option", std::string(argument)}, {"values", option->Values}}));
            break;
        }
        GivenOption given{option->Name, {}};
        for (int value = 0; value < option->ValueCount; ++value) {
            given.Values.push_back(arguments[++i]);
        }
        commandLine.Options.push_back(std::move(given));
    }
    return commandLine;
}

const GivenOption* FindOption(const CommandLine& commandLine, std::string_view name) {
    const auto found =
        std::find_if(commandLine.Options.begin(), commandLine.Options.end(),
                     [name](const GivenOption& given) { return given.Name == name; });
    return found == commandLine.Options.end() ? nullptr : &*found;
}

bool ReadWholeNumber(std::string_view text, std::uint64_t least, std::uint64_t most,
                     std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= least &&
           value <= most;
}

bool ReadFrequency(std::string_view text, float& value) {
    const auto [end, error] = ParseFloat(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

bool ReadRangeOption(const CommandLine& commandLine, bool& given, float& low, float& high,
                     std::string& problem) {
    const GivenOption* range = FindOption(commandLine, "--range");
    given = range != nullptr;
    if (!given) {
        return true;
    }
    if (!ReadFrequency(range->Values[0], low) || !ReadFrequency(range->Values[1], high) ||
        !(low >= 0.0f) || !(high > low)) {
        // TRANSLATORS: {low} and {high} are the two values given after
        // --range; the frequencies are read with a full stop whatever the
        // language.
        problem = Say("--range {low} {high}: give two frequencies in Hz, the lower first, 0 "
                      "or more, with a full stop as the decimal point (--range 0 24000)",
                      {{"low", range->Values[0]}, {"high", range->Values[1]}});
        return false;
    }
    low = low == 0.0f ? 0.0f : low;
    return true;
}

std::string FormsText(const CommandLineSyntax& syntax) {
    std::string text;
    for (const char* form : syntax.Forms) {
        text += std::string(syntax.Program) + " " + form + "\n";
    }
    return text;
}

std::string UsageText(const CommandLineSyntax& syntax) {
    return Say("usage:") + "\n" + FormsText(syntax) + "\n";
}

std::string HelpText(const CommandLineSyntax& syntax) {
    std::string text = UsageText(syntax) + Say("options:") + "\n";
    const auto left = [](std::string_view name, std::string_view values) {
        std::string shown = "  ";
        shown += name;
        if (!values.empty()) {
            shown += ' ';
            shown += values;
        }
        return shown;
    };
    // Every help text starts in one column, past the widest option.
    std::size_t column = 24;
    for (const std::span<const CommandOption> options :
         {syntax.Options, std::span<const CommandOption>(CommonOptions)}) {
        for (const CommandOption& option : options) {
            column = std::max(column, left(option.Name, option.Values).size() + 2);
        }
    }
    const auto line = [&](std::string_view name, std::string_view values, std::string_view help) {
        std::string shown = left(name, values);
        shown.resize(column, ' ');
        text += shown + Say(help) + "\n";
    };
    for (const CommandOption& option : syntax.Options) {
        line(option.Name, option.Values, option.Help);
    }
    for (const CommandOption& option : CommonOptions) {
        line(option.Name, option.Values, option.Help);
    }
    line("--", "", Say("end of the options: a name after it is a file's, even one like -x"));
    return text;
}

std::string VersionText(const CommandLineSyntax& syntax) {
    return std::string(syntax.Program) + " " TARVELIN_VERSION "\n";
}

void PrintText(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintBanner(const CommandLineSyntax& syntax) {
    PrintText("\n");
    PrintText(syntax.Program);
    PrintText("\n\n");
}

bool AnswerHelpOrVersion(const CommandLineSyntax& syntax, const CommandLine& commandLine) {
    if (commandLine.Request == CommandRequest::Help) {
        PrintText(HelpText(syntax));
        return true;
    }
    if (commandLine.Request == CommandRequest::Version) {
        PrintText(VersionText(syntax));
        return true;
    }
    return false;
}

void PrintUsageError(const CommandLineSyntax& syntax, std::string_view problem) {
    if (!problem.empty()) {
        std::string shown;
        AppendShownText(shown, problem);
        // TRANSLATORS: {problem} says what is wrong with the command line,
        // such as "unknown option --wide".
        PrintText(Say("Error - {problem}", {{"problem", shown}}) + "\n");
    }
    PrintText(UsageText(syntax));
}

bool StartCompanionRun(const CommandLineSyntax& syntax, int argumentCount,
                       const char* const* arguments, CommandLine& commandLine,
                       std::string_view quietOption) {
    // First, since what the reading of the command line finds wrong is said.
    SetLanguage(UsersLanguage());
    commandLine = ParseCommandLine(syntax, argumentCount, arguments);
    if (AnswerHelpOrVersion(syntax, commandLine)) {
        return false;
    }
    if (quietOption.empty() || FindOption(commandLine, quietOption) == nullptr) {
        PrintBanner(syntax);
    }
    return true;
}
