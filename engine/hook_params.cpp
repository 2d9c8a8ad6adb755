#include "engine/hook_params.h"

#include "config/param_reading.h"

std::optional<HookParams> readHookParams(const nlohmann::json *set)
{
    if (!set || !set->is_object())
        return std::nullopt;
    const auto directionNormal = readFlag(*set, "scrollDirectionNormal");
    const auto smoothScrollEnabled = readFlag(*set, "smoothScrollEnabled");
    const auto accelUp = readSigned32(*set, "accelUp");
    const auto accelDown = readSigned32(*set, "accelDown");
    const auto intervalUp = readUnsigned(*set, "rapidIntervalUp");
    const auto intervalDown = readUnsigned(*set, "rapidIntervalDown");
    if (!directionNormal || !smoothScrollEnabled || !accelUp || !accelDown || !intervalUp
        || !intervalDown)
        return std::nullopt;

    HookParams params;
    params.directionNormal = *directionNormal;
    params.smoothScrollEnabled = *smoothScrollEnabled;
    params.accelUp = *accelUp;
    params.accelDown = *accelDown;
    params.intervalUp = static_cast<UINT>(*intervalUp & 0xFFFFFFFFu);
    params.intervalDown = static_cast<UINT>(*intervalDown & 0xFFFFFFFFu);
    params.fastSpinMax = readFastSpinMax(*set);
    return params;
}
