// A nest run off the caller's thread: its progress comes back as signals on
// the caller's thread, and Stop or Cancel reach the nest at its next report.
#pragma once

#include "Nesting.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

class NestJob : public QObject
{
    Q_OBJECT

public:
    explicit NestJob(NestRequest request, QObject* pParent = nullptr);
    ~NestJob() override; // waits for the nest: it reads the request

    void Start();
    // Ends the search and keeps the best layout so far.
    void Stop() { m_step = int(NestStep::Stop); }
    // Ends the nest; its outcome is then not done.
    void Cancel() { m_step = int(NestStep::Cancel); }
    const NestOutcome& Outcome() const { return m_outcome; } // once Finished

signals:
    void Progress(const NestStatus& status);
    void Finished();

private:
    NestRequest m_request;
    NestOutcome m_outcome;
    std::atomic<int> m_step{int(NestStep::Go)};
    std::unique_ptr<QThread> m_pThread;
};
