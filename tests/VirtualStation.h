#pragma once

// The station dialogue on virtual time: a line to the simulated station's
// model and the dialogue timer, sharing one clock that advances a
// millisecond with every pass of a wait. No test waits for real time.

#include "protocol/Dialogue.h"
#include "sim/StationModel.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class VirtualStation : public zel::StationLink, public zel::DialogueClock {
public:
    struct Sent {
        QByteArray bytes;
        std::int64_t atMs;
    };

    explicit VirtualStation(zel::sim::StationModel& model, int baud = 115200)
        : m_model(model)
        , m_byteUs(10'000'000 / baud)
    {
    }

    // StationLink
    bool open() override
    {
        ++opens;
        if (failOpen)
            return false;
        m_open = true;
        // The receive queue is discarded at open.
        while (!m_incoming.empty() && m_incoming.front().first <= m_nowUs)
            m_incoming.pop_front();
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const { return m_open; }
    bool send(const QByteArray& bytes) override
    {
        if (!m_open)
            return false;
        sent.push_back({bytes, tickMs()});
        std::int64_t t = std::max(m_nowUs, m_lastArrivalUs);
        for (const auto& segment : m_model.feed(bytes)) {
            t += std::int64_t(segment.delayMs) * 1000;
            for (const char c : segment.bytes) {
                t += m_byteUs;
                if (m_hangUpUs < 0 || t <= m_hangUpUs)
                    m_incoming.push_back({t, c});
            }
            if (segment.hangUp && m_hangUpUs < 0)
                m_hangUpUs = t;
        }
        m_lastArrivalUs = t;
        return true;
    }
    int inCount() override
    {
        if (!m_open)
            return 0;
        int n = 0;
        for (const auto& [at, c] : m_incoming) {
            if (at > m_nowUs)
                break;
            ++n;
        }
        return n;
    }
    QByteArray take() override
    {
        QByteArray bytes;
        const int n = inCount();
        for (int i = 0; i < n; ++i) {
            bytes.append(m_incoming.front().second);
            m_incoming.pop_front();
        }
        return bytes;
    }

    // DialogueClock
    void arm(int ms) override
    {
        m_intervalMs = ms;
        m_deadlineUs = m_nowUs + std::int64_t(ms) * 1000;
        m_running = true;
    }
    void enable() override
    {
        if (!m_running)
            arm(m_intervalMs);
    }
    void disable() override { m_running = false; }
    bool timedOut() const override { return m_flag; }
    void lowerFlag() override { m_flag = false; }
    void processEvents() override
    {
        ++passes;
        m_nowUs += 1000;
        if (m_running && m_nowUs >= m_deadlineUs) {
            m_running = false;  // Timer1Timer: stop, raise the flag
            m_flag = true;
        }
        if (onPass)
            onPass(tickMs());
    }
    std::int64_t tickMs() const override { return m_nowUs / 1000; }
    bool cancelled() const override { return cancel; }

    // What the program sent, one entry per SendString.
    std::vector<Sent> sent;
    bool failOpen = false;
    bool cancel = false;
    int opens = 0;
    std::int64_t passes = 0;
    std::function<void(std::int64_t nowMs)> onPass;

    QByteArrayList sentBytes() const
    {
        QByteArrayList list;
        for (const auto& s : sent)
            list << s.bytes;
        return list;
    }

private:
    zel::sim::StationModel& m_model;
    std::int64_t m_byteUs;
    std::int64_t m_nowUs = 0;
    std::int64_t m_lastArrivalUs = 0;
    std::int64_t m_hangUpUs = -1;
    std::deque<std::pair<std::int64_t, char>> m_incoming;
    bool m_open = false;
    bool m_running = false;
    bool m_flag = false;
    int m_intervalMs = 2000;
    std::int64_t m_deadlineUs = 0;
};

// Collects the lines a dialogue adds to the list.
class RecordingReport : public zel::DialogueReport {
public:
    QStringList lines;
    QString stamp = QStringLiteral("07.12.2026 10:11:12");
    void addLine(const QString& line) override { lines << line; }
    QString timeStamp() override { return stamp; }
};
