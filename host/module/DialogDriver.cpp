#include "DialogDriver.h"

#include "HostConfig.h"
#include "HostEngine.h"
#include "HostTrace.h"
#include "Parameters.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPushButton>
#include <QScreen>

namespace {
// Only for a dialog that never draws nor builds; everything else is decided
// by what the dialog does.
constexpr int kLastResortMs = 30000;
} // namespace

DialogDriver::DialogDriver(HostEngine& engine, QObject* pParent)
    : QObject(pParent)
    , m_engine(engine)
{
    m_lastResort.setSingleShot(true);
    m_lastResort.setInterval(kLastResortMs);
    connect(&m_lastResort, &QTimer::timeout, this, [this] {
        m_strError = QStringLiteral("the dialog did not get ready in time");
        Finish(TimedOut);
    });
    qApp->installEventFilter(this);
}

void DialogDriver::Arm(const DialogPlan& plan)
{
    m_plan = plan;
    m_bArmed = true;
    m_outcome = Waiting;
    m_strError.clear();
    m_bScreenshotFailed = false;
}

bool DialogDriver::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // The dialog is shown before its event loop first runs: nothing has been
    // drawn yet, so the first drawing after the edits below is of them.
    if (m_bArmed && pEvent->type() == QEvent::Show && pWatched->isWidgetType()
        && pWatched->objectName() == QLatin1String("DlgKerfmate")) {
        if (auto* pDialog = qobject_cast<QDialog*>(pWatched)) {
            m_bArmed = false;
            Drive(pDialog);
        }
    }
    // The preview reaches the screen with its first paint that shows an
    // outline; the picture is taken once that paint has been handed over.
    if (m_pPreview && pWatched == m_pPreview && pEvent->type() == QEvent::Paint) {
        auto* pView = qobject_cast<QGraphicsView*>(m_pPreview->parent());
        if (pView && pView->scene() && !pView->scene()->items().isEmpty()) {
            m_pPreview = nullptr;
            QMetaObject::invokeMethod(this, [this] { Finish(Confirmed); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}

void DialogDriver::Drive(QDialog* pDialog)
{
    HostTrace("dialog shown");
    m_pDialog = pDialog;
    m_lastResort.start();
    const int generator = GeneratorOf(m_plan);
    if (auto* pSwitch = pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch")))
        pSwitch->setCurrentIndex(generator);

    const bool bInch = HostConfig::IsInch(HostConfig::ReadRulerUnit());
    for (const auto& [name, value] : m_plan.sets) {
        const ParamSpec* pSpec = FindParameter(generator, name);
        QString error = QStringLiteral("%1: not a parameter of the %2").arg(name, QLatin1String(GeneratorName(generator)));
        if (!pSpec || !ApplyParameter(pDialog, *pSpec, value, bInch, &error)) {
            m_strError = error;
            if (m_plan.bLeaveOpen) // the user sees what was taken and goes on
                continue;
            // After the dialog has finished showing; nothing is saved.
            QMetaObject::invokeMethod(this, [this] { Finish(Refused); }, Qt::QueuedConnection);
            return;
        }
    }

    HostTrace("parameters typed");
    if (m_plan.bLeaveOpen) {
        m_lastResort.stop();
        m_pDialog = nullptr;
        emit Typed(pDialog);
        return;
    }
    const BuildNote& last = m_engine.LastBuild();
    if (last.nGenerator != generator || last.nShapes == 0) {
        m_strError = last.nGenerator == generator && last.report.status == EngineReport::Refused
                         ? BuildMessage(last, false)
                         : QStringLiteral("the %1 built nothing").arg(QLatin1String(GeneratorName(generator)));
        QMetaObject::invokeMethod(this, [this] { Finish(Empty); }, Qt::QueuedConnection);
        return;
    }

    auto* pView = pDialog->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview"));
    if (!pView || !pView->scene()) {
        m_strError = QStringLiteral("the dialog has no preview");
        QMetaObject::invokeMethod(this, [this] { Finish(TimedOut); }, Qt::QueuedConnection);
        return;
    }
    m_pPreview = pView->viewport();
}

bool SaveScreenPicture(QWidget& window, const QString& path)
{
    return window.screen()->grabWindow(window.winId()).save(path);
}

void DialogDriver::Finish(Outcome outcome)
{
    HostTrace("preview drawn");
    m_lastResort.stop();
    QDialog* pDialog = m_pDialog;
    m_pDialog = nullptr;
    m_pPreview = nullptr;
    if (!pDialog)
        return;
    if (!m_plan.strScreenshot.isEmpty() && outcome != Refused && !SaveScreenPicture(*pDialog, m_plan.strScreenshot)) {
        m_strError = QStringLiteral("could not write the screenshot %1").arg(m_plan.strScreenshot);
        m_bScreenshotFailed = true;
    }
    // A refused build is cancelled, as a user would, so that the settings
    // saved stay the last ones the engine took.
    const bool confirm = m_plan.bAccept && outcome == Confirmed;
    m_outcome = confirm || outcome != Confirmed ? outcome : Closed;
    auto* pOk = pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok"));
    if (confirm && pOk)
        pOk->click();
    else
        pDialog->reject();
}
