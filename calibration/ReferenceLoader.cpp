#include "ReferenceLoader.h"

#include "Messages.h"

#include <algorithm>

namespace {

struct Loading {
    const char* Path;
    CalibrationCurve* Curve;
    const LineWatcher* Watcher;
};

bool AppendPoint(void* context, const TextReader& reader, const TextLine& line,
                 const JudgedLine& judged) {
    const auto& loading = *static_cast<const Loading*>(context);
    if (judged.Kind == LineKind::Data &&
        !AppendCurvePoint(*loading.Curve, judged.Values[0], judged.Values[1], loading.Path)) {
        return false;
    }
    return loading.Watcher == nullptr ||
           loading.Watcher->Seen(loading.Watcher->Context, reader, line, judged);
}

void Finish(void* context, TextReader& reader) {
    const auto& loading = *static_cast<const Loading*>(context);
    if (loading.Watcher != nullptr && loading.Watcher->Finished != nullptr) {
        loading.Watcher->Finished(loading.Watcher->Context, reader);
    }
}

} // namespace

bool LoadReferenceCurve(const char* path, CalibrationCurve& curve, const LineWatcher* watcher) {
    Loading loading = {path, &curve, watcher};
    if (!ScanCalibrationFile(path, ReferenceValueCount, {AppendPoint, &loading, Finish})) {
        return false;
    }
    if (curve.Frequencies.size() < LeastCurvePoints) {
        PrintMessage("Error - invalid file %s\n", path);
        return false;
    }
    curve.FrequenciesNeverDecrease =
        std::adjacent_find(curve.Frequencies.begin(), curve.Frequencies.end(), FrequencyFalls) ==
        curve.Frequencies.end();
    return true;
}
