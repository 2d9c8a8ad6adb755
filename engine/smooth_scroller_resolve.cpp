#include "engine/smooth_scroller.h"

#include "engine/param_reading.h"

#include <QDebug>
#include <QString>

std::wstring SmoothScroller::processFileNameOfWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == 0)
        return {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return {};
    WCHAR buffer[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL ok = QueryFullProcessImageNameW(process, 0, buffer, &size);
    CloseHandle(process);
    if (!ok)
        return {};
    if (size > MAX_PATH)
        size = MAX_PATH;
    const std::wstring path(buffer, size);
    const auto separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

const nlohmann::json *SmoothScroller::resolveParamSet(const std::wstring &fileName,
                                                      const nlohmann::json &snapshot)
{
    const QString name = QString::fromStdWString(fileName);
    const std::string utf8 = name.toUtf8().toStdString();

    std::string chosen = "default";
    if (!utf8.empty() && snapshot.is_object()) {
        // Byte for byte: a set named "App.exe" is not the set of "app.exe".
        const auto parameters = snapshot.find("parameters");
        if (parameters != snapshot.end() && parameters->is_object() && parameters->contains(utf8))
            chosen = utf8;
    }
    s_currentParamSet = chosen;
    qDebug().noquote() << "process name -> " << name;
    return findParamSet(snapshot, chosen);
}
