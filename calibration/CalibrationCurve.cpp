#include "CalibrationCurve.h"

CalibrationCurve RefMicFromCurve;
CalibrationCurve RefMicToCurve;
