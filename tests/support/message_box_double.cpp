#include "tests/support/message_box_double.h"

ScriptedMessageBoxes::ScriptedMessageBoxes() {
    SetMessageBoxService(this);
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
    SetMessageBoxService(nullptr);
}

void ScriptedMessageBoxes::Answer(int answer, std::function<void()> whileOpen) {
    m_script.push_back(Step{answer, std::move(whileOpen)});
}

int ScriptedMessageBoxes::Show(void* owner, const char* text, const char* caption, unsigned flags) {
    ++m_depth;
    m_boxes.push_back(RecordedBox{owner, text != nullptr ? text : "",
                                  caption != nullptr ? caption : "", flags, m_depth});
    Step step{IDOK, {}};
    if (!m_script.empty()) {
        step = std::move(m_script.front());
        m_script.pop_front();
    }
    if (step.whileOpen) {
        step.whileOpen();
    }
    --m_depth;
    return step.answer;
}

std::vector<std::string> ScriptedMessageBoxes::Texts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& b : m_boxes) {
        texts.push_back(b.text);
    }
    return texts;
}
