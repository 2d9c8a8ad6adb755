#include "engine/smooth_scroller.h"

#include "config/param_reading.h"
#include "engine/engine_log.h"
#include "engine/window_process.h"

#include <QString>

std::wstring SmoothScroller::processFileNameOfWindow(HWND hwnd)
{
    return windowProcess(hwnd).fileName;
}

const nlohmann::json *SmoothScroller::resolveParamSet(const std::wstring &fileName,
                                                      const nlohmann::json &snapshot,
                                                      WheelAxis axis)
{
    const QString name = QString::fromStdWString(fileName);
    const std::string utf8 = name.toUtf8().toStdString();

    std::string chosen = kDefaultSetName;
    if (!utf8.empty() && snapshot.is_object()) {
        // Byte for byte: a set named "App.exe" is not the set of "app.exe".
        const auto parameters = snapshot.find("parameters");
        if (parameters != snapshot.end() && parameters->is_object() && parameters->contains(utf8))
            chosen = utf8;
    }
    animation(axis).paramSet = chosen;
    EngineLog::write(EngineLine::ProcessName, fileName);
    return findParamSet(snapshot, chosen);
}
