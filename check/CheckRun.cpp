#include "CheckRun.h"

#include "CheckCalibration.h"
#include "ReportJson.h"
#include "ReportText.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr int WrongCommandLine = 2;

} // namespace

int RunCheck(int argumentCount, const char* const* arguments) {
    const bool json = argumentCount > 1 && std::string_view(arguments[1]) == "--json";
    const int first = json ? 2 : 1;
    const int files = argumentCount - first;
    if (!json) {
        std::fputs("\nTarvelinCheck\n\n", stdout);
    }
    if (files != 1 && files != 3) {
        std::fputs("usage:\n", stdout);
        std::fputs("TarvelinCheck [--json] <RefMicFrom> <RefMicTo> <MyMicIn>\n", stdout);
        std::fputs("TarvelinCheck [--json] <CalibrationFile>\n\n", stdout);
        return WrongCommandLine;
    }
    const CheckReport report =
        files == 3 ? CheckConversion(arguments[first], arguments[first + 1], arguments[first + 2])
                   : CheckCalibrationFile(arguments[first]);
    const std::string shown = json ? ReportAsJson(report) : ReportAsText(report);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return ReportStatus(report);
}
