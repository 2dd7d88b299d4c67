#include "NestJob.h"

#include <QThread>

NestJob::NestJob(NestRequest request, QObject* pParent)
    : QObject(pParent)
    , m_request(std::move(request))
{
    qRegisterMetaType<NestStatus>();
}

NestJob::~NestJob()
{
    if (m_pThread) {
        Cancel();
        m_pThread->wait();
    }
}

void NestJob::Start()
{
    m_pThread.reset(QThread::create([this] {
        m_outcome = ::Nest(m_request, [this](const NestStatus& status) {
            emit Progress(status); // queued: the job lives on the caller's thread
            return NestStep(m_step.load());
        });
    }));
    connect(m_pThread.get(), &QThread::finished, this, &NestJob::Finished);
    m_pThread->start();
}
