#include "unit/CUndoHistory.h"

void CUndoHistory::Reset(State state) {
    m_states.clear();
    m_states.push_back(std::move(state));
    m_nCurrent = 0;
    m_nSaved = 0;
}

bool CUndoHistory::Record(State state) {
    if (!m_states.empty() && m_states[m_nCurrent] == state) return false;
    if (!m_states.empty())
        m_states.erase(m_states.begin() + static_cast<long>(m_nCurrent) + 1, m_states.end());
    if (m_nSaved > static_cast<long>(m_states.size()) - 1) m_nSaved = -1; // the saved state was a redo step
    m_states.push_back(std::move(state));
    if (m_states.size() > MAX_STATES) {
        m_states.pop_front();
        if (m_nSaved >= 0) --m_nSaved;
    }
    m_nCurrent = m_states.size() - 1;
    return true;
}

const CUndoHistory::State* CUndoHistory::Undo() {
    if (!CanUndo()) return nullptr;
    return &m_states[--m_nCurrent];
}

const CUndoHistory::State* CUndoHistory::Redo() {
    if (!CanRedo()) return nullptr;
    return &m_states[++m_nCurrent];
}
