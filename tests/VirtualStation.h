#pragma once

// The station dialogue on virtual time: a line to the simulated station's
// model and the dialogue timer, sharing one clock that advances a
// millisecond with every pass of a wait. No test waits for real time.

#include "texts/Texts.h"
#include "protocol/Dialogue.h"
#include "sim/StationModel.h"
#include "sim/VirtualLine.h"

#include <QStringList>

#include <functional>
#include <vector>

class VirtualStation : public zel::sim::VirtualLine {
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

    bool open() override
    {
        ++opens;
        if (onOpen)
            onOpen();
        return !failOpen && VirtualLine::open();
    }
    bool send(const QByteArray& bytes) override
    {
        if (!isOpen())
            return false;
        sent.push_back({bytes, tickMs()});
        std::int64_t t = std::max(nowUs(), lastArrivalUs());
        const bool trickle = trickleUs > 0 && bytes.startsWith("$UD");
        for (const auto& segment : m_model.feed(bytes)) {
            t += std::int64_t(segment.delayMs) * 1000;
            for (const char c : segment.bytes) {
                t += trickle ? trickleUs : m_byteUs;
                if (m_hangUpUs < 0 || t <= m_hangUpUs)
                    deliver(t, c);
            }
            if (segment.hangUp && m_hangUpUs < 0)
                m_hangUpUs = t;
        }
        return true;
    }
    // The rest of an answer of an earlier dialogue, still coming in: a byte
    // every `everyUs` from now until `untilMs`.
    void leftover(std::int64_t untilMs, std::int64_t everyUs = 100)
    {
        for (std::int64_t t = nowUs() + everyUs; t <= untilMs * 1000; t += everyUs)
            deliver(t, char(0x05 + (t / everyUs) % 2 * 0x67));  // link codes' bytes among them
    }
    // A pass of a wait takes a millisecond.
    void processEvents() override
    {
        ++passes;
        advanceTo(nowUs() + 1000);
        if (onPass)
            onPass(tickMs());
    }
    bool cancelled() const override { return cancel || stop; }
    bool stopRequested() const override { return stop; }
    zel::milliseconds lineTime(qint64 bytes) const override { return zel::milliseconds(bytes * m_byteUs / 1000); }

    // What the program sent, one entry per SendString.
    std::vector<Sent> sent;
    bool failOpen = false;
    bool cancel = false;
    bool stop = false;  // the user's Stop
    std::int64_t trickleUs = 0;  // > 0: the data answer's bytes come this far apart, whatever the speed
    int opens = 0;
    std::int64_t passes = 0;
    std::function<void(std::int64_t nowMs)> onPass;
    std::function<void()> onOpen;  // while the port opens (its dialogs run events)

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
    std::int64_t m_hangUpUs = -1;
};

// Collects the lines a dialogue adds to the list.
class RecordingReport : public zel::DialogueReport {
public:
    QStringList lines;
    QString stamp = QStringLiteral("07.12.2026 10:11:12");
    void addLine(const zel::ReportLine& line) override { lines << zel::texts::lineText(line); }
    QString timeStamp() override { return stamp; }
};
