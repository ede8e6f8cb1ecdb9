#include "cli/progress_display.h"

#include "cli/json_lines.h"
#include "cli/progress.h"
#include "cli/shown_text.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

constexpr int kPlainLineStepPercent = 10;

struct Slot {
    std::optional<std::string> adapter;
    bool started = false;
    bool finished = false;
    ProgressClock::time_point start{};
    ProgressState state;
};

// The slots and their lock; the forms below decide what a change shows.
class SlotTable : public ProgressDisplay {
public:
    SlotTable(StandardStreams& streams, const Texts& texts, std::vector<std::optional<std::string>> adapters)
        : m_streams(streams), m_texts(texts)
    {
        for (auto& adapter : adapters) {
            Slot slot;
            slot.adapter = std::move(adapter);
            m_slots.push_back(std::move(slot));
        }
    }

    void Start(std::size_t slot, std::uint32_t blocks) override
    {
        const std::lock_guard lock(m_mutex);
        Slot& changed = m_slots.at(slot);
        changed.started = true;
        changed.start = ProgressClock::now();
        changed.state = ProgressState();
        changed.state.blocks = blocks;
        Changed(slot, false);
    }

    void Advance(std::size_t slot, std::uint32_t blocksDone) override
    {
        const std::lock_guard lock(m_mutex);
        Slot& changed = m_slots.at(slot);
        changed.state.blocksDone = blocksDone;
        changed.state.elapsed = ProgressClock::now() - changed.start;
        Changed(slot, false);
    }

    void Finish(std::size_t slot) override
    {
        // The wait for the next report is spent outside the lock, so that the
        // other adapters' reports go on meanwhile.
        std::this_thread::sleep_for(TimeUntilDue(slot));
        const std::lock_guard lock(m_mutex);
        m_slots.at(slot).finished = true;
        Changed(slot, true);
    }

protected:
    // Called with the lock held; `final` when the slot's work has ended.
    virtual void Changed(std::size_t slot, bool final) = 0;
    virtual ProgressClock::duration TimeUntilDue(std::size_t slot) = 0;

    // "SERIAL: " before a line, where the adapter is known, its control bytes
    // shown as blanks.
    std::string Prefix(const Slot& slot) const
    {
        return slot.adapter ? ShownListedText(*slot.adapter) + ": " : std::string();
    }

    StandardStreams& m_streams;
    const Texts& m_texts;
    std::mutex m_mutex;
    std::vector<Slot> m_slots;
};

// One line per adapter, redrawn in place: the cursor goes back up over the
// lines drawn last time. The lines end once every adapter has finished.
class TerminalBars final : public SlotTable {
public:
    using SlotTable::SlotTable;

private:
    // Only the drawing that ends the lines is not held to the throttle: every
    // adapter's last state shows, after a wait of at most one interval.
    void Changed(std::size_t, bool) override
    {
        const bool allFinished = std::ranges::all_of(m_slots, [](const Slot& slot) { return slot.finished; });
        const bool anyStarted = std::ranges::any_of(m_slots, [](const Slot& slot) { return slot.started; });
        if (!anyStarted || m_ended)
            return;
        if (!m_throttle.TakeIfDue(ProgressClock::now()) && !allFinished)
            return;
        std::string text = "\r";
        if (m_drawn && m_slots.size() > 1)
            text += "\x1b[" + std::to_string(m_slots.size() - 1) + "A";
        for (std::size_t i = 0; i < m_slots.size(); ++i) {
            const Slot& slot = m_slots[i];
            text += "\x1b[2K" + Prefix(slot) + StateText(slot);
            if (i + 1 < m_slots.size())
                text += '\n';
        }
        if (allFinished) {
            text += '\n';
            m_ended = true;
        }
        m_drawn = true;
        m_streams.Error(text);
    }

    ProgressClock::duration TimeUntilDue(std::size_t) override
    {
        const std::lock_guard lock(m_mutex);
        return m_throttle.TimeUntilDue(ProgressClock::now());
    }

    std::string StateText(const Slot& slot) const
    {
        if (slot.started)
            return ProgressBarLine(slot.state, m_texts);
        return std::string(m_texts(slot.finished ? MessageId::ProgressNothingSent : MessageId::ProgressOpening));
    }

    ReportThrottle m_throttle;
    bool m_drawn = false;
    bool m_ended = false;
};

// For a log: a line when a transfer starts, at every tenth of it, and at its end.
class PlainLines final : public SlotTable {
public:
    PlainLines(StandardStreams& streams, const Texts& texts, std::vector<std::optional<std::string>> adapters)
        : SlotTable(streams, texts, std::move(adapters)), m_percentShown(m_slots.size(), -1)
    {
    }

private:
    void Changed(std::size_t slot, bool final) override
    {
        const Slot& changed = m_slots[slot];
        if (!changed.started)
            return;
        const int percent = PercentDone(changed.state);
        const int step = percent / kPlainLineStepPercent * kPlainLineStepPercent;
        if (step <= m_percentShown[slot] && !(final && percent > m_percentShown[slot]))
            return;
        m_percentShown[slot] = final ? percent : step;
        m_streams.Error(Prefix(changed) +
                        m_texts(MessageId::ProgressLine, {std::to_string(changed.state.blocksDone),
                                                          std::to_string(changed.state.blocks),
                                                          std::to_string(percent)}) +
                        '\n');
    }

    ProgressClock::duration TimeUntilDue(std::size_t) override { return {}; }

    std::vector<int> m_percentShown;
};

// Progress events on standard output, each adapter throttled on its own.
class JsonEvents final : public SlotTable {
public:
    JsonEvents(StandardStreams& streams, const Texts& texts, std::vector<std::optional<std::string>> adapters)
        : SlotTable(streams, texts, std::move(adapters)), m_throttles(m_slots.size()), m_blocksShown(m_slots.size())
    {
    }

private:
    void Changed(std::size_t slot, bool final) override
    {
        const Slot& changed = m_slots[slot];
        if (!changed.started)
            return;
        if (final && m_blocksShown[slot] == changed.state.blocksDone)
            return;
        if (!m_throttles[slot].TakeIfDue(ProgressClock::now()) && !final)
            return;
        m_blocksShown[slot] = changed.state.blocksDone;
        m_streams.Out(ProgressEventLine(changed.adapter, changed.state.blocksDone, changed.state.blocks));
    }

    ProgressClock::duration TimeUntilDue(std::size_t slot) override
    {
        const std::lock_guard lock(m_mutex);
        return m_throttles.at(slot).TimeUntilDue(ProgressClock::now());
    }

    std::vector<ReportThrottle> m_throttles;
    std::vector<std::optional<std::uint32_t>> m_blocksShown;
};

}  // namespace

std::unique_ptr<ProgressDisplay> MakeProgressDisplay(ProgressForm form, StandardStreams& streams, const Texts& texts,
                                                     std::vector<std::optional<std::string>> adapters)
{
    switch (form) {
    case ProgressForm::TerminalBars:
        return std::make_unique<TerminalBars>(streams, texts, std::move(adapters));
    case ProgressForm::PlainLines:
        return std::make_unique<PlainLines>(streams, texts, std::move(adapters));
    case ProgressForm::JsonEvents:
        break;
    }
    return std::make_unique<JsonEvents>(streams, texts, std::move(adapters));
}
