#include "app/shell/resume_watcher.h"

namespace {
constexpr const char* kLogin1Service = "org.freedesktop.login1";
constexpr const char* kLogin1Path = "/org/freedesktop/login1";
constexpr const char* kLogin1Manager = "org.freedesktop.login1.Manager";
}  // namespace

ResumeWatcher::ResumeWatcher(const QDBusConnection& bus, std::function<void()> onResume)
    : m_onResume(std::move(onResume)) {
    QDBusConnection connection(bus);
    m_bListening =
        connection.isConnected() &&
        connection.connect(QString::fromLatin1(kLogin1Service), QString::fromLatin1(kLogin1Path),
                           QString::fromLatin1(kLogin1Manager), QStringLiteral("PrepareForSleep"),
                           this, SLOT(OnPrepareForSleep(bool)));
}

void ResumeWatcher::OnPrepareForSleep(bool bStarting) {
    if (!bStarting && m_onResume) {
        m_onResume();
    }
}
