#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "DlgKerfmate.h"
#include "HostContext.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

void UseEngine(IGeometryEngine* pEngine)
{
    HostContext.pEngine = pEngine;
}

DialogFixture::DialogFixture() = default;
DialogFixture::~DialogFixture() = default;

void DialogFixture::SetUp()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QMetaObject::connectSlotsByName")));
    m_config = std::make_unique<TempConfig>();
    m_engine = RecordingEngine();
    UseEngine(&m_engine);
    m_nShapes = CShape::LiveCount();
    m_nLists = CShapeList::LiveCount();
}

void DialogFixture::TearDown()
{
    m_dlg.reset();
    // Range tips are the toolkit's own windows and close on a timer.
    for (QWidget* pWindow : QApplication::topLevelWidgets())
        QVERIFY2(pWindow->windowType() == Qt::ToolTip, qPrintable(pWindow->objectName()));
    QCOMPARE(CShape::LiveCount(), m_nShapes);
    QCOMPARE(CShapeList::LiveCount(), m_nLists);
    m_config.reset();
}

bool DialogFixture::Open(int nPage)
{
    m_dlg.reset(); // one dialog at a time
    m_dlg = std::make_unique<DlgKerfmate>(nullptr);
    m_dlg->show();
    if (!QTest::qWaitForWindowActive(m_dlg.get()))
        return false;
    auto* pSwitch = m_dlg->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    for (int i = 0; i < nPage; ++i)
        QTest::keyClick(pSwitch, Qt::Key_Down);
    return pSwitch->currentIndex() == nPage;
}

void DialogFixture::Settle()
{
    m_config->clearLog();
    m_engine.builds.clear();
}

QWidget* DialogFixture::Widget(const QString& name) const
{
    return m_dlg ? m_dlg->findChild<QWidget*>(name) : nullptr;
}

bool DialogFixture::ConfirmWithOk()
{
    QWidget* pOk = Widget(QStringLiteral("pushButton_ok"));
    if (pOk)
        QTest::mouseClick(pOk, Qt::LeftButton);
    return pOk;
}
