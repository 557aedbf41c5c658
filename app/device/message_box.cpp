#include "app/device/message_box.h"

#include <stdio.h>

#include <atomic>

namespace {

// Without a window layer the box becomes a line on standard error, answered as if OK was
// pressed.
class StderrMessageBoxes : public MessageBoxService {
public:
    int Show(void*, const char* text, const char* caption, unsigned) override {
        fprintf(stderr, "%s: %s\n", caption, text);
        return IDOK;
    }
};

StderrMessageBoxes g_stderrBoxes;
std::atomic<MessageBoxService*> g_service{nullptr};
std::atomic<void* (*)()> g_foregroundSource{nullptr};

}  // namespace

void SetMessageBoxService(MessageBoxService* service) {
    g_service.store(service);
}

MessageBoxService& MessageBoxes() {
    MessageBoxService* service = g_service.load();
    return service != nullptr ? *service : g_stderrBoxes;
}

void SetForegroundWindowSource(void* (*source)()) {
    g_foregroundSource.store(source);
}

int ShowMessageBox(const char* text, const char* caption, unsigned flags) {
    void* (*source)() = g_foregroundSource.load();
    return MessageBoxes().Show(source != nullptr ? source() : nullptr, text, caption, flags);
}
