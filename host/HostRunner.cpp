#include "HostRunner.h"

#include "CShape.h"
#include "CShapeList.h"
#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "Export.h"
#include "IKerfmate.h"
#include "ReferenceEngine.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLibrary>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {
using NewInterfaceFn = IKerfmate* (*)();
using ReleaseInterfaceFn = void (*)(IKerfmate*);

void Fail(const QString& message)
{
    std::fprintf(stderr, "kerfmate-host: %s\n", qPrintable(message));
}

// Plays the user in front of the dialog: picks the generator, waits for the
// preview, takes the screenshot and confirms or closes.
class DialogDriver : public QObject
{
public:
    explicit DialogDriver(const HostOptions& options)
        : m_options(options)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Step(); });
        m_timer.start(20);
        m_clock.start();
    }

    bool TimedOut() const { return m_bTimedOut; }

private:
    enum class Stage { FindDialog, WaitPreview, Finish, Done };
    static constexpr int kTimeoutMs = 30000;
    static constexpr int kSettleMs = 150; // several preview ticks

    QDialog* FindDialog() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("DlgKerfmate") && w->isVisible())
                return qobject_cast<QDialog*>(w);
        return nullptr;
    }

    void Step()
    {
        if (m_clock.elapsed() > kTimeoutMs && m_stage != Stage::Done) {
            m_bTimedOut = true;
            if (QDialog* dialog = FindDialog())
                dialog->reject();
            m_stage = Stage::Done;
        }
        switch (m_stage) {
        case Stage::FindDialog:
            if ((m_pDialog = FindDialog())) {
                if (m_options.nGenerator >= 0)
                    if (auto* combo = m_pDialog->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch")))
                        combo->setCurrentIndex(m_options.nGenerator);
                m_settle.start();
                m_stage = Stage::WaitPreview;
            }
            break;
        case Stage::WaitPreview: {
            auto* view = m_pDialog->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview"));
            const bool drawn = view && view->scene() && !view->scene()->items().isEmpty();
            if (drawn && m_settle.elapsed() >= kSettleMs)
                m_stage = Stage::Finish;
            break;
        }
        case Stage::Finish:
            Finish();
            m_stage = Stage::Done;
            break;
        case Stage::Done:
            m_timer.stop();
            break;
        }
    }

    void Finish()
    {
        if (!m_options.strScreenshot.isEmpty() && !m_pDialog->grab().save(m_options.strScreenshot))
            Fail(QStringLiteral("could not write the screenshot %1").arg(m_options.strScreenshot));
        if (m_options.bAccept) {
            if (auto* ok = m_pDialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")))
                ok->click();
        } else if (m_options.bHeadless) {
            // Nobody can close it by hand.
            m_pDialog->reject();
        }
    }

    HostOptions m_options;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_settle;
    Stage m_stage = Stage::FindDialog;
    QDialog* m_pDialog = nullptr;
    bool m_bTimedOut = false;
};

int Export(CShapeList& shapes, const HostOptions& options)
{
    QString error;
    if (!options.strSvg.isEmpty()) {
        if (!WriteSvg(shapes, options.strSvg, &error)) {
            Fail(QStringLiteral("could not write %1: %2").arg(options.strSvg, error));
            return ExitWriteFailed;
        }
        std::printf("kerfmate-host: %u shapes written to %s\n", shapes.GetCount(), qPrintable(options.strSvg));
    }
    if (!options.strDxf.isEmpty()) {
        if (!WriteDxf(shapes, options.strDxf, &error)) {
            Fail(QStringLiteral("could not write %1: %2").arg(options.strDxf, error));
            return ExitWriteFailed;
        }
        std::printf("kerfmate-host: %u shapes written to %s\n", shapes.GetCount(), qPrintable(options.strDxf));
    }
    return ExitOk;
}
} // namespace

int RunHost(const HostOptions& options)
{
    QLibrary library(options.strModule);
    if (!library.load()) {
        Fail(QStringLiteral("cannot load the module %1: %2").arg(options.strModule, library.errorString()));
        return ExitModuleMissing;
    }
    auto newInterface = reinterpret_cast<NewInterfaceFn>(library.resolve("NewInterface"));
    auto releaseInterface = reinterpret_cast<ReleaseInterfaceFn>(library.resolve("ReleaseInterface"));
    if (!newInterface || !releaseInterface) {
        Fail(QStringLiteral("the module %1 lacks %2").arg(
            options.strModule, !newInterface ? QStringLiteral("NewInterface") : QStringLiteral("ReleaseInterface")));
        return ExitSymbolMissing;
    }

    if (!options.strTheme.isEmpty())
        CUiPermissionsManager::GetInstance()->SetThemeName(options.strTheme);
    if (!CTranslator::GetInstance()->SetLanguage(options.strLanguage)) {
        Fail(QStringLiteral("unknown language %1 (known: %2)")
                 .arg(options.strLanguage, CTranslator::AvailableLanguages().join(QLatin1String(", "))));
        return ExitUsage;
    }

    CReferenceEngine engine;
    IKerfmate* plugin = newInterface();
    DialogDriver driver(options);
    CShapeList* result = plugin->Create(&engine, nullptr, nullptr);
    releaseInterface(plugin);

    if (driver.TimedOut()) {
        Fail(QStringLiteral("the dialog did not get ready in time"));
        if (result) {
            result->DeleteAll();
            CShapeList::Release(result);
        }
        return ExitDialogTimeout;
    }
    if (!result) {
        std::printf("kerfmate-host: cancelled, nothing exported\n");
        return ExitCancelled;
    }
    const int code = Export(*result, options);
    result->DeleteAll();
    CShapeList::Release(result);
    return code;
}
