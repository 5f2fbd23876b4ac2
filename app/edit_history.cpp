#include "edit_history.h"

void EditHistory::Record(EditStep step) {
  if (step.empty()) return;
  m_steps.resize(m_done);
  m_steps.push_back(std::move(step));
  m_done = m_steps.size();
}

std::optional<EditStep> EditHistory::Undo() {
  if (m_done == 0) return std::nullopt;
  return m_steps.at(--m_done);
}

std::optional<EditStep> EditHistory::Redo() {
  if (m_done == m_steps.size()) return std::nullopt;
  return m_steps.at(m_done++);
}

void EditHistory::Clear() {
  m_steps.clear();
  m_done = 0;
}
