#include "config/parameter_keys.h"

// The start duration falls back to 200 in the panel, not the 100 of a fresh set. The two
// duration rows have no place in the panel; their texts and ranges serve the editor alone.
const std::array<ParameterKey, 10> kParameterKeys = {{
    {"accelUp", false, 10, 10, "倍", "总距离「越大滚动越远」", 1, 20, 1},
    {"accelDown", false, 10, 10, "倍", "总距离「越大滚动越远」", 1, 20, 1},
    {"rapidIntervalUp", false, 5, 5, "ms", "单次滚动刷新「越小越好」", 1, 500, 1},
    {"rapidIntervalDown", false, 5, 5, "ms", "单次滚动刷新「越小越好」", 1, 500, 1},
    {"accelDurationStart", false, 100, 200, "ms", "设置滚动加速开始时间", 5, 1000, 5},
    {"accelDurationEnd", false, 100, 100, "ms", "设置滚动加速结束时间", 5, 1000, 5},
    {"scrollDistanceUp", false, 4, 4, "%", "单次滚动距离「越小越丝滑」", 1, 100, 1},
    {"scrollDistanceDown", false, 4, 4, "%", "单次滚动距离「越小越丝滑」", 1, 100, 1},
    {"scrollDirectionNormal", true, 1, 1, nullptr, nullptr, 0, 0, 0},
    {"smoothScrollEnabled", true, 1, 1, nullptr, nullptr, 0, 0, 0},
}};
