#include "engine/engine_log.h"

#include <QDebug>
#include <QString>

#include <algorithm>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// How each line reads: its level, its text, the value (if it carries one) and what follows
// the value, streamed as the message log's stream spaces them.
struct LineText {
    QtMsgType level;
    const char *text;
    const char *tail;
};

constexpr LineText kTexts[] = {
    {QtDebugMsg, "[LLMouseProc] Restarting timer for accumulated scroll.", nullptr},
    {QtCriticalMsg, "[LLMouseProc] SetTimer FAILED! (Restart for accumulation)", nullptr},
    {QtDebugMsg, "[LLMouseProc] New animation or window change. Target:", nullptr},
    {QtDebugMsg, "[LLMouseProc] Stopping previous timer for new animation setup.", nullptr},
    {QtDebugMsg, "[LLMouseProc] Initiating new animation instance. Target pos:", nullptr},
    {QtDebugMsg, "[LLMouseProc] New timer SET with ID:", nullptr},
    {QtCriticalMsg, "[LLMouseProc] SetTimer FAILED for new animation! Animation will be inactive. Error:",
     nullptr},
    {QtCriticalMsg, "[LLMouseProc] Main window handle is invalid, cannot set timer for new animation.",
     nullptr},
    {QtDebugMsg, "[LLMouseProc] Fine-grained wheel input. Stopping active animation.", nullptr},
    {QtDebugMsg, "[LLMouseProc] Modifier key (Shift/Ctrl/Alt) is down. Bypassing custom scroll.", nullptr},
    {QtDebugMsg, "[LLMouseProc] Slight opposite scroll (raw:", "). Stopping current animation."},
    {QtDebugMsg, "[LLMouseProc] Significant opposite scroll (raw:", "). Reversing animation."},
    {QtDebugMsg,
     "[LLMouseProc] Target window changed. Previous animation on other window will be effectively stopped.",
     nullptr},
    {QtDebugMsg, "[LLMouseProc] Mouse button pressed. Stopping active animation.", nullptr},
    {QtDebugMsg, "process name -> ", nullptr},
    {QtInfoMsg,
     "[LLMouseProc] Posting to the target window was refused (access denied). Wheel events over the "
     "windows of its process pass on while it runs.",
     nullptr},
    {QtCriticalMsg, "[LLMouseProc] SendInput FAILED! Stopping animation. Error:", nullptr},
    {QtInfoMsg, "[SmoothScroller] Mouse hook was removed by the system. Hook reinstalled.", nullptr},
    {QtCriticalMsg, "[SmoothScroller] Failed to reinstall mouse hook! Error: ", nullptr},
    {QtCriticalMsg, "[SmoothScroller] Failed to get module handle in start().", nullptr},
    {QtCriticalMsg, "[SmoothScroller] Failed to create hidden window. Cannot start smooth scrolling.", nullptr},
    {QtCriticalMsg, "[SmoothScroller] Failed to install mouse hook! Error: ", nullptr},
    {QtInfoMsg, "[SmoothScroller] SmoothScroll started. Hook installed. Waiting for scroll events...", nullptr},
    {QtInfoMsg, "[SmoothScroller] Stopping SmoothScroll...", nullptr},
    {QtInfoMsg, "[SmoothScroller] Mouse hook uninstalled.", nullptr},
    {QtInfoMsg, "[SmoothScroller] Active animation timer killed.", nullptr},
    {QtInfoMsg, "[SmoothScroller] Hidden window destroyed.", nullptr},
    {QtInfoMsg, "[SmoothScroller] SmoothScroll stopped.", nullptr},
    {QtCriticalMsg, "[SmoothScroller] createWindow: s_hInstance is NULL.", nullptr},
    {QtCriticalMsg, "[SmoothScroller] Window Registration Failed! Error:", nullptr},
    {QtCriticalMsg, "[SmoothScroller] Window Creation Failed (even for Alt)! Error: ", nullptr},
    {QtInfoMsg, "[SmoothScroller] The display's frames cannot pace the glide. Following the interval clock.",
     nullptr},
    {QtDebugMsg, "[SmoothScroller] Paced glides wake at each frame by", nullptr},
};
static_assert(std::size(kTexts) == static_cast<std::size_t>(EngineLine::Count), "one text per line");

} // namespace

// The queue and its writer. Never destroyed, like the engine's own thread: the writer may be
// waiting on it when the process ends.
class EngineLogWriter {
public:
    using Value = EngineLog::Value;
    using Kind = EngineLog::Kind;

    struct Record {
        unsigned long long sequence = 0;
        EngineLine line = EngineLine::Count;
        Value value;
        unsigned short nameLength = 0;
        wchar_t name[EngineLog::kNameChars];
    };

    static EngineLogWriter &instance()
    {
        static auto *writer = new EngineLogWriter;
        return *writer;
    }

    void put(EngineLine line, const Value &value, const wchar_t *name, std::size_t nameLength) noexcept
    {
        bool wake = false;
        try {
            std::lock_guard<std::mutex> lock(m_mutex);
            // Every line takes a number, a dropped one too: the writer finds the gaps.
            const unsigned long long sequence = ++m_made;
            if (m_count == EngineLog::kCapacity)
                return;
            Record &r = m_ring[(m_head + m_count) % EngineLog::kCapacity];
            ++m_count;
            r.sequence = sequence;
            r.line = line;
            r.value = value;
            r.nameLength = static_cast<unsigned short>(std::min<std::size_t>(nameLength, EngineLog::kNameChars));
            std::copy(name, name + r.nameLength, r.name);
            // Between hook calls the engine's loop wakes the writer; this is for lines made where
            // no loop follows (tests drive the hook on their own thread) and for bursts.
            wake = m_writerWaits && m_count == EngineLog::kCapacity / 2;
        } catch (...) {
            return; // a lock the system cannot take: the line is lost, the hook goes on
        }
        if (wake)
            m_wake.notify_one(); // outside the lock: the writer takes it as it wakes
    }

    void wake() noexcept
    {
        bool wake = false;
        try {
            std::lock_guard<std::mutex> lock(m_mutex);
            wake = m_writerWaits && m_made > m_written;
        } catch (...) {
            return;
        }
        if (wake)
            m_wake.notify_one();
    }

    bool start()
    {
        std::lock_guard<std::mutex> lock(m_startMutex);
        if (m_started)
            return true;
        try {
            static auto *thread = new std::thread;
            *thread = std::thread([this] { run(); });
        } catch (const std::system_error &) {
            return false;
        }
        m_started = true;
        return true;
    }

    bool flush(std::chrono::milliseconds limit)
    {
        if (!start())
            return false;
        std::unique_lock<std::mutex> lock(m_mutex);
        const unsigned long long made = m_made;
        m_wake.notify_one();
        return m_flushed.wait_for(lock, limit, [&] { return m_written >= made; });
    }

private:
    EngineLogWriter() = default;

    [[noreturn]] void run()
    {
        unsigned long long written = 0;
        Record record;
        for (;;) {
            bool have = false;
            unsigned long long made = 0;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_writerWaits = true;
                m_wake.wait(lock, [&] { return m_count > 0 || m_made > written; });
                m_writerWaits = false;
                made = m_made;
                if (m_count > 0) {
                    record = m_ring[m_head];
                    m_head = (m_head + 1) % EngineLog::kCapacity;
                    --m_count;
                    have = true;
                }
            }
            // The line is written with the lock free: a monitor that holds the message log
            // holds no line that is being made.
            if (have) {
                if (record.sequence > written + 1)
                    writeDropped(record.sequence - written - 1);
                writeRecord(record);
                written = record.sequence;
            } else {
                writeDropped(made - written);
                written = made;
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_written = written;
            }
            m_flushed.notify_all();
        }
    }

    static QDebug streamAt(QtMsgType level)
    {
        QMessageLogger logger;
        switch (level) {
        case QtInfoMsg:
            return logger.info();
        case QtWarningMsg:
            return logger.warning();
        case QtCriticalMsg:
            return logger.critical();
        default:
            return logger.debug();
        }
    }

    static void writeRecord(const Record &r)
    {
        const LineText &t = kTexts[static_cast<std::size_t>(r.line)];
        QDebug out = streamAt(t.level);
        if (r.line == EngineLine::ProcessName) {
            out.noquote() << t.text << QString::fromWCharArray(r.name, r.nameLength);
            return;
        }
        out << t.text;
        switch (r.value.kind) {
        case Kind::Signed:
            out << r.value.i;
            break;
        case Kind::Unsigned:
            out << r.value.u;
            break;
        case Kind::Real:
            out << r.value.d;
            break;
        case Kind::Text:
            out << r.value.text;
            break;
        case Kind::None:
            break;
        }
        if (t.tail)
            out << t.tail;
    }

    static void writeDropped(unsigned long long count)
    {
        qWarning() << "[SmoothScroller] The log could not keep up:" << count << "lines were dropped.";
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_flushed;
    Record m_ring[EngineLog::kCapacity];
    int m_head = 0;
    int m_count = 0;
    unsigned long long m_made = 0;
    unsigned long long m_written = 0;
    bool m_writerWaits = false;

    std::mutex m_startMutex;
    bool m_started = false;
};

void EngineLog::put(EngineLine line, const Value &value, const wchar_t *name, std::size_t nameLength) noexcept
{
    EngineLogWriter::instance().put(line, value, name, nameLength);
}

void EngineLog::write(EngineLine line, const std::wstring &name) noexcept
{
    put(line, Value{}, name.data(), name.size());
}

void EngineLog::wakeWriter() noexcept
{
    EngineLogWriter::instance().wake();
}

bool EngineLog::startWriter()
{
    return EngineLogWriter::instance().start();
}

bool EngineLog::flush(std::chrono::milliseconds limit)
{
    return EngineLogWriter::instance().flush(limit);
}
