#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// The configuration's states for Undo and Redo, each kept as the document's bytes after one step. One edit
// may change all four sheets, so a whole state per step is simple and exact (a document is about 47 KB).
class CUndoHistory {
public:
    using State = std::vector<std::uint8_t>;
    static constexpr std::size_t MAX_STATES = 128; // the oldest states go first

    // Forgets every step: `state` is the only one, and it is the saved one.
    void Reset(State state);
    // A step after the current state; the steps that Redo could bring back are dropped. Returns false (and
    // keeps nothing) when `state` equals the current state.
    bool Record(State state);
    // The state before (after) the current one, which becomes current; null when there is none.
    const State* Undo();
    const State* Redo();
    const State* Current() const { return m_states.empty() ? nullptr : &m_states[m_nCurrent]; }
    bool CanUndo() const { return m_nCurrent > 0; }
    bool CanRedo() const { return m_nCurrent + 1 < m_states.size(); }
    // The current state is the one on disk; IsSaved tells whether Undo or Redo came back to it.
    void MarkSaved() { m_nSaved = static_cast<long>(m_nCurrent); }
    bool IsSaved() const { return m_nSaved == static_cast<long>(m_nCurrent); }
    std::size_t GetCount() const { return m_states.size(); }

private:
    std::deque<State> m_states;
    std::size_t m_nCurrent = 0;
    long m_nSaved = -1; // -1: the saved state is not in the history any more
};
