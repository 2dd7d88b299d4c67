// The smallest laser-program host for the Kerfmate module: loads it, hands
// it an engine, runs its dialog and takes what comes back.
//   minimal-host [--cancel]   --cancel closes the dialog as soon as it shows
#include "CShapeList.h"
#include "IKerfmate.h"
#include "ReferenceEngine.h"

#include <QApplication>
#include <QLibrary>
#include <QMetaObject>
#include <QWidget>
#include <cstdio>

namespace {
// A laser program passes its own engine. This one is the reference engine,
// telling which builds the module asks for.
class TellingEngine : public CReferenceEngine
{
public:
    bool CreateRectBox(SRectBoxParam p, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override
    {
        std::printf("build: box %g x %g x %g mm\n", p.dWidth, p.dDepth, p.dHeight);
        return CReferenceEngine::CreateRectBox(p, pMain, pAux, pLabels);
    }
    bool CreateFilletBox(SFilletBoxParam p, CShapeList* pMain, CShapeList* pAux) override
    {
        std::printf("build: rounded box %g x %g x %g mm\n", p.dWidth, p.dDepth, p.dHeight);
        return CReferenceEngine::CreateFilletBox(p, pMain, pAux);
    }
    bool CreateGear(SGearBoxParam p, CShapeList* pMain) override
    {
        std::printf("build: gear pair, module %g\n", p.dModulus);
        return CReferenceEngine::CreateGear(p, pMain);
    }
    bool CreateSeal(SSealBoxParam p, CShapeList* pMain) override
    {
        std::printf("build: badge %g mm\n", p.D1);
        return CReferenceEngine::CreateSeal(p, pMain);
    }
};

// Closes the first modal window that shows, as its close button would.
class CloseOnShow : public QObject
{
protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        auto* pWidget = qobject_cast<QWidget*>(pObject);
        if (pEvent->type() == QEvent::Show && pWidget && pWidget->isWindow() && pWidget->isModal())
            QMetaObject::invokeMethod(pWidget, &QWidget::close, Qt::QueuedConnection);
        return false;
    }
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CloseOnShow closer;
    if (QApplication::arguments().contains(QStringLiteral("--cancel")))
        app.installEventFilter(&closer);

    QLibrary module(QStringLiteral(KERFMATE_MODULE_FILE));
    auto newInterface = reinterpret_cast<IKerfmate* (*)()>(module.resolve("NewInterface"));
    auto releaseInterface = reinterpret_cast<void (*)(IKerfmate*)>(module.resolve("ReleaseInterface"));
    if (!newInterface || !releaseInterface) {
        std::fprintf(stderr, "minimal-host: %s\n", qPrintable(module.errorString()));
        return 3;
    }
    IKerfmate* pPlugin = newInterface();
    TellingEngine engine;
    CShapeList* pPart = pPlugin->Create(&engine, nullptr, nullptr);
    if (pPart) {
        std::printf("part: %u outlines\n", pPart->GetCount());
        pPart->DeleteAll(); // the host owns the list and its shapes
        CShapeList::Release(pPart);
    } else {
        std::printf("cancelled\n");
    }
    releaseInterface(pPlugin);
    return 0;
}
