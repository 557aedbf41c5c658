// A message-box service for tests: answers from a script, records every box, and can run code
// while a box is "open" (so a timer can fire underneath it, as it does on the real desktop).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/device/message_box.h"

struct RecordedBox {
    void* owner;
    std::string text;
    std::string caption;
    unsigned flags;
    int depth;  // 1 for a box opened directly, 2 for one opened while another was open, ...
};

class ScriptedMessageBoxes : public MessageBoxService {
public:
    // Installs itself as the process's service; the destructor removes it again.
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes() override;
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    // The next box is answered with `answer`, after running `whileOpen` (if any) as though the
    // user had left the box open meanwhile. Unscripted boxes are answered IDOK.
    void Answer(int answer, std::function<void()> whileOpen = {});

    int Show(void* owner, const char* text, const char* caption, unsigned flags) override;

    const std::vector<RecordedBox>& Boxes() const { return m_boxes; }
    std::vector<std::string> Texts() const;

private:
    struct Step {
        int answer;
        std::function<void()> whileOpen;
    };
    std::deque<Step> m_script;
    std::vector<RecordedBox> m_boxes;
    int m_depth = 0;
};
