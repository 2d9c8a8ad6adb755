// Any sequence of hook events, ticks, published documents and desktop changes, run through
// the engine on the simulated desktop (see EngineScript for what is checked).
#include "byte_reader.h"
#include "engine_script.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool installed = (qInstallMessageHandler(quiet), true);
    (void)installed;
    ByteReader in(data, size);
    EngineScript script;
    while (script.step(in)) {
    }
    return 0;
}
