#include "save_loop.h"

#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"

#include <cstdio>
#include <string>

nlohmann::json smallDocument()
{
    return initialConfig();
}

nlohmann::json largeDocument()
{
    nlohmann::json document = initialConfig();
    document["autorunEnabled"] = true;
    for (int i = 0; i < 300; ++i) {
        nlohmann::json set = defaultParameters();
        set["accelUp"] = i % 20 + 1;
        document["parameters"]["application " + std::to_string(i) + ".exe"] = set;
    }
    return document;
}

int runSaveLoop(const QString &folder)
{
    const QString path = folder + QStringLiteral("/config.json");
    const std::string texts[] = {configFileText(smallDocument()), configFileText(largeDocument())};
    for (unsigned long long i = 0;; ++i) {
        if (!writeConfigFile(path, texts[i % 2]))
            return 1;
        if (i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
